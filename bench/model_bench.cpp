// Speed of the model: a whole standard examination, one model step per integration class,
// one call of the lobe solver.

#include <benchmark/benchmark.h>

#include "core/session.h"

using namespace pulmora;

namespace {

std::unique_ptr<Session> startedSession() {
    auto s = std::make_unique<Session>();
    for (auto& record : s->history->records)
        for (float& o : record.options) o = 100.0f;
    StartSession(*s);
    return s;
}

void BM_StandardExamination(benchmark::State& state) {
    auto s = startedSession();
    std::uint64_t evaluations = 0;
    for (auto _ : state) {
        const RunSummary r = PerformRun(*s);
        evaluations += r.evaluations;
        benchmark::DoNotOptimize(r);
    }
    state.counters["solver_evals"] =
        benchmark::Counter(static_cast<double>(evaluations) / state.iterations());
}
BENCHMARK(BM_StandardExamination)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// A model settled at rest, stepped at a fixed class.
void BM_ModelStep(benchmark::State& state) {
    ModelState m;
    InitialiseModel(m);
    const ModelState rest = m;
    int steps = 0;
    for (auto _ : state) {
        m.integrationClass = static_cast<int>(state.range(0));
        ModelStep(m);
        if (++steps == 1000) { // stay near the settled state
            state.PauseTiming();
            m = rest;
            steps = 0;
            state.ResumeTiming();
        }
    }
    state.SetLabel(std::to_string(subStepsOf(static_cast<int>(state.range(0)))) + " sub-steps");
}
BENCHMARK(BM_ModelStep)->DenseRange(1, 7)->Unit(benchmark::kMicrosecond);

void BM_SolveLobeFlows(benchmark::State& state) {
    ModelState m;
    InitialiseModel(m); // alveolar pressures, resistances of a patient at rest
    LobeValues F{}, Rint{};
    LobeFlags Lim{};
    const LobeSolverInputs in{m.Palv, m.Poff.current, m.Rp, m.Rm.current, m.S.current};
    double P = m.Ppl;
    for (auto _ : state) {
        P += 1e-9; // a fresh pressure each call
        benchmark::DoNotOptimize(
            SolveLobeFlows(SolverMode::Update, P, 0.01, 0.012, in, {F, Lim, Rint}));
    }
}
BENCHMARK(BM_SolveLobeFlows);

} // namespace
