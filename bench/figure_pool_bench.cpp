#include <benchmark/benchmark.h>
#include <malloc.h>

#include "figures/figure_pool.h"
#include "figures/random.h"

namespace {

// Heap bytes in use, as the C library counts them.
double heapInUse() { return static_cast<double>(mallinfo2().uordblks); }

// Building every pre-built figure: the show does it before its first frame.
void BuildFigurePool(benchmark::State& state) {
    bool highBudget = state.range(0) != 0;
    double kept = 0;
    std::size_t figures = 0;
    for (auto _ : state) {
        seedRandom(1);
        double before = heapInUse();
        FigurePool pool(highBudget);
        kept = heapInUse() - before;
        figures = pool.figures().size();
        benchmark::DoNotOptimize(pool.figures().data());
    }
    state.counters["figures"] = static_cast<double>(figures);
    state.counters["heap_MB"] = kept / (1024.0 * 1024.0);
}

}  // namespace

BENCHMARK(BuildFigurePool)->ArgName("highBudget")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
