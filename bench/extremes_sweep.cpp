// Runs the examination for every combination of the slider extremes of the "Both lungs" row
// (each settable column at its lowest or highest slider value) and reports the statuses and
// the slowest runs. Each combination starts from a fresh start-up state; the combinations run
// in parallel on all cores.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "core/session.h"

using namespace pulmora;

namespace {

// The columns the "Both lungs" sliders set (the stiffness slider is hidden).
constexpr int kColumns[] = {0, 1, 2, 4, 5, 6, 7};
constexpr int kCombinations = 1 << 7;

struct Outcome {
    int status = 0;
    double seconds = 0;
    double endTime = 0;
    std::uint64_t evaluations = 0;
    double values[8] = {};
};

Outcome runCombination(int combination) {
    Session s;
    for (auto& record : s.history->records)
        for (float& o : record.options) o = 100.0f;
    StartSession(s);
    Outcome o;
    for (int k = 0; k < 7; ++k) {
        const int c = kColumns[k];
        const ColumnSlider& slider = kColumnSliders[c];
        const int position = combination & (1 << k) ? slider.maxPosition : slider.minPosition;
        o.values[c] = valueFromPosition(slider.mapping, position);
        s.parameters.cell(kBothLungs, c) = o.values[c];
    }
    const auto started = std::chrono::steady_clock::now();
    const RunSummary r = PerformRun(s);
    o.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    o.status = r.status;
    o.endTime = r.endTime;
    o.evaluations = r.evaluations;
    return o;
}

} // namespace

int main() {
    std::vector<Outcome> outcomes(kCombinations);
    std::atomic<int> next{0};
    const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> pool;
    const auto started = std::chrono::steady_clock::now();
    for (unsigned w = 0; w < workers; ++w)
        pool.emplace_back([&] {
            for (int i; (i = next++) < kCombinations;) outcomes[i] = runCombination(i);
        });
    for (auto& t : pool) t.join();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    int completed = 0, dead = 0, failed = 0;
    for (const Outcome& o : outcomes) (o.status == 1 ? completed : o.status == 0 ? dead : failed)++;
    std::printf("%d combinations on %u workers in %.1f s: %d completed, %d dead, %d failed\n",
                kCombinations, workers, wall, completed, dead, failed);
    std::vector<int> order(kCombinations);
    for (int i = 0; i < kCombinations; ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](int a, int b) { return outcomes[a].seconds > outcomes[b].seconds; });
    std::printf("slowest runs (R VDc R(mid) R(per) CCC Size Cm in %%):\n");
    for (int k = 0; k < 5; ++k) {
        const Outcome& o = outcomes[order[k]];
        std::printf("  %4.0f %4.0f %5.0f %4.0f %4.0f %4.0f %4.0f  status %2d  %6.2f s  %llu "
                    "solver evaluations, ended at %.1f s\n",
                    o.values[0], o.values[1], o.values[2], o.values[4], o.values[5], o.values[6],
                    o.values[7], o.status, o.seconds,
                    static_cast<unsigned long long>(o.evaluations), o.endTime);
    }
    return 0;
}
