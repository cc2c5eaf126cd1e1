// The entry point of every benchmark program: the heap is set up as the tally executable sets it up,
// since what is measured runs inside it.
#include "app/HeapPolicy.h"

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    app::UseHugePageHeap();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
