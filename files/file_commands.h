#pragma once
// The rules of the file commands that need no window: opening a simulation file safely, the
// run count after loading, and the names the commands show and refuse.

#include <cstdint>
#include <span>
#include <string>

#include "files/simulation_file.h"

namespace pulmora {

struct RunHistory;
struct SimulationRecord;

// Checks a whole file image and only then replaces the five slots: on a wrong size, or when a
// value the program reads is not a finite number (a damaged file), the history is unchanged
// and the error names `path` and the problem. The bookkeeping is left to the caller.
FileResult loadHistoryImage(std::span<const std::uint8_t> image, const std::string& path,
                            RunHistory& history);

// Reads the file whole (never more than one byte beyond a history, so a huge file costs
// nothing) and loads it with loadHistoryImage. A folder, a missing or unreadable file, and a
// read that fails part-way are refused the same way: the history is unchanged.
FileResult openSimulationFile(const std::string& path, RunHistory& history);

// The first float of the record that the program reads and that is NaN or infinite, as a
// byte offset in the record; -1 when there is none. The spare curve and the unused matrix
// floats are only carried, so they are not checked.
long firstNonFiniteValue(const SimulationRecord& record);

// The count after loading a history: the highest slot 1 ... 4 that holds a run, capped at the
// three run rows; the newest run is selected, or none when no slot holds a run.
void CountRunsAfterLoading(RunHistory& history);

// "Save as" refuses the name of the standard file in any letter case, folder ignored.
bool isStandardFileName(const std::string& path);

// The file's name without its folder and without its last extension: "Plik:  " shows this.
std::string fileTitle(const std::string& path);

// A name without an extension gets ".spi", as the file dialogs give it.
std::string withSimulationExtension(const std::string& path);

} // namespace pulmora
