// The benchmarks' main: the application object that painting needs is made once, before any run.
#include <benchmark/benchmark.h>

#include "platform/GuiSession.h"

int main(int argc, char** argv)
{
    const plumwick::TGuiSession session;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
