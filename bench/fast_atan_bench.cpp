// Throughput of the lobe solver's arctangent against std::atan, on batches of the size the
// solver gathers (10 and 30 independent root searches) with arguments in [-20, 20].
#include "core/fast_atan.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstddef>
#include <random>
#include <vector>

namespace {

// Enough distinct batches that the arguments do not repeat within a measurement.
constexpr std::size_t kArgumentPool = 1 << 14;

std::vector<double> solverArguments() {
    std::mt19937_64 rng(20240611);
    std::uniform_real_distribution<double> pick(-20.0, 20.0);
    std::vector<double> args(kArgumentPool);
    for (double& a : args) a = pick(rng);
    return args;
}

void stdAtanLoop(benchmark::State& state) {
    const auto batch = static_cast<std::size_t>(state.range(0));
    const std::vector<double> args = solverArguments();
    std::vector<double> values(batch);
    std::size_t offset = 0;
    for (auto _ : state) {
        const double* in = args.data() + offset;
        for (std::size_t k = 0; k < batch; ++k) values[k] = std::atan(in[k]);
        benchmark::DoNotOptimize(values.data());
        benchmark::ClobberMemory();
        offset = (offset + batch) % (kArgumentPool - batch);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(batch));
}

void accurateAtanBatchLoop(benchmark::State& state) {
    const auto batch = static_cast<int>(state.range(0));
    const std::vector<double> args = solverArguments();
    std::vector<double> values(static_cast<std::size_t>(batch));
    std::size_t offset = 0;
    for (auto _ : state) {
        pulmora::accurateAtanBatch(args.data() + offset, values.data(), batch);
        benchmark::DoNotOptimize(values.data());
        benchmark::ClobberMemory();
        offset = (offset + static_cast<std::size_t>(batch)) % (kArgumentPool - batch);
    }
    state.SetItemsProcessed(state.iterations() * batch);
}

} // namespace

BENCHMARK(stdAtanLoop)->Arg(10)->Arg(30);
BENCHMARK(accurateAtanBatchLoop)->Arg(10)->Arg(30);
