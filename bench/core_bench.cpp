// Time per call of the reduction and the draw check, the two things a keystroke or an Enter
// runs. Run: build/default/bench/core_bench --benchmark_repetitions=10
// --benchmark_report_aggregates_only=true

#include "core/drawcheck.h"
#include "core/reduction.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_ValidateAndReduce(benchmark::State &state)
{
    const std::u16string entries[] = {u"00", u"37", u"99", u"05"};
    std::size_t i = 0;
    for (auto _ : state) {
        const auto draw = corvanel::validateEntry(entries[i++ % 4]);
        auto outcome = corvanel::reduce(*draw);
        benchmark::DoNotOptimize(outcome);
    }
}
BENCHMARK(BM_ValidateAndReduce);

// A typed draw against the ordinary result text: the first, a middle and a missing number.
void BM_CheckDraw(benchmark::State &state)
{
    const std::u16string memo = corvanel::reduce(corvanel::Draw{3, 7}).resultText;
    const std::u16string entries[] = {u"00", u"45", u"52"};
    std::size_t i = 0;
    for (auto _ : state) {
        auto verdict = corvanel::checkDraw(memo, entries[i++ % 3]);
        benchmark::DoNotOptimize(verdict);
    }
}
BENCHMARK(BM_CheckDraw);

// A miss in a pasted memo of the given size in characters: the whole text is searched.
void BM_CheckDrawLargeMemo(benchmark::State &state)
{
    std::u16string memo;
    const std::u16string unit = corvanel::reduce(corvanel::Draw{3, 7}).resultText;
    while (memo.size() < static_cast<std::size_t>(state.range(0))) {
        memo += unit;
    }
    for (auto _ : state) {
        auto verdict = corvanel::checkDraw(memo, u"52");
        benchmark::DoNotOptimize(verdict);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(memo.size() * 2));
}
BENCHMARK(BM_CheckDrawLargeMemo)->Arg(1 << 20);

} // namespace

BENCHMARK_MAIN();
