// Writes the standard history the program starts with: the standard examination (every cell
// and option at 100 %) as the reference in slot 0, the run slots empty.

#include <cstdio>

#include "core/simulation_record.h"
#include "files/simulation_file.h"
#include "tools/teaching_cases.h"

using namespace pulmora;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pulmora-make-standard OUTPUT\n");
        return 2;
    }
    const auto history = recordStandardHistory();
    if (!history) {
        std::fprintf(stderr, "pulmora-make-standard: the standard examination did not complete\n");
        return 1;
    }
    const FileResult saved = writeSimulationFile(argv[1], *history);
    if (!saved.ok) {
        std::fprintf(stderr, "pulmora-make-standard: %s\n", saved.error.c_str());
        return 1;
    }
    return 0;
}
