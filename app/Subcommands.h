#pragma once

#include <functional>

namespace CLI {
class App;
}

namespace plumwick {

// Each subcommand registers its options on the parser and returns the action to run once parsing succeeded;
// the action returns the exit status.
using SubcommandAction = std::function<int()>;

SubcommandAction AddRenderCommand(CLI::App& parser);
SubcommandAction AddExtractCommand(CLI::App& parser);

// Opens the main window and runs it until it is closed.
int RunWindow(int argc, char** argv);

}  // namespace plumwick
