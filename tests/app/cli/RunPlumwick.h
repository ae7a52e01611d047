#pragma once

#include "app/CommandLine.h"

#include <string>
#include <vector>

namespace plumwick::testing {

// Runs the command line in-process with the words after the program name.
inline int RunPlumwick(std::vector<std::string> args)
{
    args.insert(args.begin(), "plumwick");
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    return RunCommandLine(static_cast<int>(argv.size()), argv.data());
}

}  // namespace plumwick::testing
