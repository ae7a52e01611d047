#pragma once

namespace plumwick {

// Runs the program: the window without arguments, otherwise the subcommand named. Returns the exit status.
int RunCommandLine(int argc, char** argv);

}  // namespace plumwick
