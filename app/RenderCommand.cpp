#include "app/Subcommands.h"

namespace plumwick {

// Placeholder until the renderer exists: registers nothing.
SubcommandAction AddRenderCommand(CLI::App&)
{
    return {};
}

}  // namespace plumwick
