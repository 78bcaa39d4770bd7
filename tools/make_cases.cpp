// Writes the teaching cases into a folder, one simulation file each: the standard reference and
// three runs of one pathology, mild, moderate and severe, as the window would save them.

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "core/simulation_record.h"
#include "files/simulation_file.h"
#include "tools/teaching_cases.h"

using namespace pulmora;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pulmora-make-cases OUTDIR\n");
        return 2;
    }
    const std::string folder = argv[1];
    const auto standard = recordStandardHistory();
    if (!standard) {
        std::fprintf(stderr, "pulmora-make-cases: the standard examination did not complete\n");
        return 1;
    }
    // The cases are independent patients: they are recorded side by side, and each file is
    // the same whichever worker writes it.
    std::vector<std::string> errors(kTeachingCases.size());
    std::atomic<std::size_t> next{0};
    auto work = [&] {
        for (std::size_t i = next++; i < kTeachingCases.size(); i = next++) {
            const TeachingCase& teachingCase = kTeachingCases[i];
            const auto history = recordTeachingCase(*standard, teachingCase, errors[i]);
            if (!history) continue;
            const FileResult saved =
                writeSimulationFile(folder + "/" + teachingCase.fileName, *history);
            if (!saved.ok) errors[i] = saved.error;
        }
    };
    const unsigned workers =
        std::clamp(std::thread::hardware_concurrency(), 1u, unsigned{kTeachingCases.size()});
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w)
        threads.emplace_back(work);
    work();
    for (std::thread& t : threads)
        t.join();
    bool failed = false;
    for (const std::string& error : errors) {
        if (error.empty()) continue;
        std::fprintf(stderr, "pulmora-make-cases: %s\n", error.c_str());
        failed = true;
    }
    if (failed) return 1;
    return 0;
}
