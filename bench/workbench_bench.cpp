// Trend store costs at a full hour of data: one append, and the window queries the chart makes.
#include <benchmark/benchmark.h>

#include <chrono>

#include "workbench/TrendStore.h"
#include "workbench/WiringCheck.h"

namespace {

using kt::values::MeasuredBlock;
using kt::values::Quantity;
using kt::workbench::TrendStore;

MeasuredBlock BlockAt(std::chrono::milliseconds t) {
  MeasuredBlock b;
  b.time = std::chrono::system_clock::time_point{} + t;
  for (std::size_t i = 0; i < b.values.size(); ++i) b.values[i] = 100.0 + static_cast<double>(i);
  b[Quantity::Frequency] = 50.0;
  return b;
}

// A full ring: two blocks a second for an hour.
TrendStore FullHour(std::chrono::milliseconds& next) {
  TrendStore store;
  for (std::size_t i = 0; i < store.capacity(); ++i) {
    store.Append(BlockAt(next));
    next += std::chrono::milliseconds(500);
  }
  return store;
}

void BM_AppendToFullHour(benchmark::State& state) {
  std::chrono::milliseconds next{0};
  TrendStore store = FullHour(next);
  MeasuredBlock block = BlockAt(next);
  for (auto _ : state) {
    block.time += std::chrono::milliseconds(500);
    store.Append(block);
    benchmark::DoNotOptimize(store.size());
  }
}
BENCHMARK(BM_AppendToFullHour);

void BM_FindWindowStart(benchmark::State& state) {
  std::chrono::milliseconds next{0};
  const TrendStore store = FullHour(next);
  const auto newest = store.At(store.size() - 1).time;
  for (auto _ : state) {
    benchmark::DoNotOptimize(store.FirstAtOrAfter(newest - std::chrono::minutes(state.range(0))));
  }
}
BENCHMARK(BM_FindWindowStart)->Arg(1)->Arg(10)->Arg(60);

void BM_CheckWiring(benchmark::State& state) {
  const MeasuredBlock block = BlockAt(std::chrono::milliseconds(0));
  for (auto _ : state) benchmark::DoNotOptimize(kt::workbench::CheckWiring(block));
}
BENCHMARK(BM_CheckWiring);

}  // namespace
