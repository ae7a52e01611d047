#include "app/Subcommands.h"

namespace plumwick {

// Placeholder until the extraction job exists: registers nothing.
SubcommandAction AddExtractCommand(CLI::App&)
{
    return {};
}

}  // namespace plumwick
