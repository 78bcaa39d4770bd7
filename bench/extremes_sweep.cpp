// Runs the examination for every combination of the slider extremes of the "Both lungs" row,
// of each lung and of each lobe (each column that row's sliders can set at its lowest or
// highest slider value), and for each of options 1 ... 4 at its ends; reports the statuses and
// the slowest runs. Each combination starts from a fresh start-up state; the combinations run
// in parallel on all cores.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "core/session.h"

using namespace pulmora;

namespace {

// The columns the sliders of a row can set: all but the hidden stiffness; a lobe has no main
// airway, collapsible dead volume or size of its own.
constexpr int kRowColumns[] = {0, 1, 2, 4, 5, 6, 7};
constexpr int kLobeColumns[] = {2, 4, 5, 7};

struct Case {
    int lungPart = 0;   // row whose cells are set (ignored for an option case)
    int mask = 0;       // bit k: column k of the row's list at its highest slider value
    int option = 0;     // 1 ... 4 for an option case, 0 for a row case
    bool optionHigh = false;
};

struct Outcome {
    Case c;
    int status = 0;
    double seconds = 0;
    double endTime = 0;
    std::uint64_t evaluations = 0;
    std::string label;
};

std::vector<Case> allCases() {
    std::vector<Case> cases;
    for (int part : {0, -2, -1, 1, 2, 3, 4, 5}) {
        const int columns = part >= 1 ? 4 : 7;
        for (int mask = 0; mask < (1 << columns); ++mask) cases.push_back({part, mask, 0, false});
    }
    for (int option = 1; option <= 4; ++option)
        for (bool high : {false, true}) cases.push_back({0, 0, option, high});
    return cases;
}

Outcome runCase(const Case& c) {
    Session s;
    for (auto& record : s.history->records)
        for (float& o : record.options) o = 100.0f;
    StartSession(s);
    Outcome o;
    o.c = c;
    char text[160];
    if (c.option > 0) {
        const int position = c.optionHigh ? kOptionSlider.maxPosition : kOptionSlider.minPosition;
        const double v = setOptionFromPosition(s.parameters, c.option, position);
        std::snprintf(text, sizeof text, "option %d at %.0f %%", c.option, v);
    } else {
        const bool lobe = c.lungPart >= 1;
        const int* columns = lobe ? kLobeColumns : kRowColumns;
        const int count = lobe ? 4 : 7;
        int n = std::snprintf(text, sizeof text, "part %2d:", c.lungPart);
        for (int k = 0; k < count; ++k) {
            const ColumnSlider& slider = kColumnSliders[columns[k]];
            const int position = c.mask & (1 << k) ? slider.maxPosition : slider.minPosition;
            const double v = setCellFromPosition(s.parameters, c.lungPart, columns[k], position);
            n += std::snprintf(text + n, sizeof text - n, " c%d=%.0f", columns[k], v);
        }
    }
    o.label = text;
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
    const std::vector<Case> cases = allCases();
    std::vector<Outcome> outcomes(cases.size());
    std::atomic<std::size_t> next{0};
    const unsigned workers = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> pool;
    const auto started = std::chrono::steady_clock::now();
    for (unsigned w = 0; w < workers; ++w)
        pool.emplace_back([&] {
            for (std::size_t i; (i = next++) < cases.size();) outcomes[i] = runCase(cases[i]);
        });
    for (auto& t : pool) t.join();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    // Statuses per group: "Both lungs", each lung, the lobes together, the options.
    struct Group {
        const char* name;
        int completed = 0, dead = 0, failed = 0;
    } groups[] = {{"Both lungs"}, {"Left lung"}, {"Right lung"}, {"lobes 1 ... 5"}, {"options 1 ... 4"}};
    for (const Outcome& o : outcomes) {
        Group& g = o.c.option > 0      ? groups[4]
                   : o.c.lungPart >= 1 ? groups[3]
                   : o.c.lungPart == 0 ? groups[0]
                   : o.c.lungPart == -2 ? groups[1]
                                        : groups[2];
        (o.status == 1 ? g.completed : o.status == 0 ? g.dead : g.failed)++;
    }
    std::printf("%zu runs on %u workers in %.1f s\n", outcomes.size(), workers, wall);
    for (const Group& g : groups)
        std::printf("  %-16s %3d completed, %3d dead, %3d failed\n", g.name, g.completed, g.dead,
                    g.failed);
    std::vector<std::size_t> order(outcomes.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return outcomes[a].seconds > outcomes[b].seconds; });
    std::printf("slowest runs:\n");
    for (std::size_t k = 0; k < 5 && k < order.size(); ++k) {
        const Outcome& o = outcomes[order[k]];
        std::printf("  %-60s status %2d %6.2f s %llu solver evaluations, ended at %.1f s\n",
                    o.label.c_str(), o.status, o.seconds,
                    static_cast<unsigned long long>(o.evaluations), o.endTime);
    }
    return 0;
}
