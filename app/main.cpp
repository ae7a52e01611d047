#include "app/CommandLine.h"

int main(int argc, char** argv)
{
    return plumwick::RunCommandLine(argc, argv);
}
