#pragma once
// Simulation files: the whole history image, 621,360 bytes, no header.

#include <string>

namespace pulmora {

struct RunHistory;

struct FileResult {
    bool ok = false;
    std::string error; // what went wrong, naming the file, when !ok
};

// Reads the file whole and checks its size before anything changes: on any failure the
// history is unchanged. The bookkeeping (run count, selection) is left to the caller.
FileResult readSimulationFile(const std::string& path, RunHistory& history);

// Writes beside the target and renames over it, so a failed write never leaves a damaged
// file in place of a good one.
FileResult writeSimulationFile(const std::string& path, const RunHistory& history);

} // namespace pulmora
