#include "app/Subcommands.h"

#include <cstdio>

namespace plumwick {

// Placeholder until the main window exists.
int RunWindow(int, char**)
{
    std::fputs("plumwick: the window is not built yet; see plumwick --help\n", stderr);
    return 1;
}

}  // namespace plumwick
