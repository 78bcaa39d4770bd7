#pragma once
// The checks that come before the window can work: one instance at a time, the data files
// beside the program, a writable simulations folder. (The stored pictures are read by
// graphics/airway_picture.h.)

#include <QLockFile>
#include <QString>

#include <memory>

class QWidget;

namespace pulmora {

// Held by the running instance for as long as it lives. A lock file with the holder's process
// id: a second instance sees it taken; after a crash the holder is gone, so the next start
// finds the lock stale and takes it over instead of refusing to run.
class SingleInstanceGuard {
  public:
    // The lock "ApplicationTestMap" in the user's runtime folder (or the temporary folder).
    static QString defaultLockPath();

    explicit SingleInstanceGuard(const QString& lockPath = defaultLockPath());
    // True when this instance now holds the guard; false when another live instance does.
    // A lock that cannot be made at all (an unwritable folder) does not stop the program.
    bool acquire();

  private:
    std::unique_ptr<QLockFile> lock_;
};

// The files start-up cannot do without, with the value each adds to the code when missing.
struct DataFileCode {
    const char* path; // relative to the program folder
    int code;
};
constexpr DataFileCode kCheckedDataFiles[] = {
    {"datfiles1/F000.dat", 1},           {"datfiles1/F001.dat", 10},
    {"datfiles1/F002.dat", 100},         {"datfiles1/F003.dat", 1000},
    {"datfiles1/F004.dat", 10000},       {"datfiles1/F005.dat", 100000},
    {"datfiles1/standard.dat", 1000000},
};

// The sum of the codes of the checked files that do not exist (only existence is tested).
int MissingDataFilesCode(const QString& programFolder);

// Creates "simulations/test.dat", writes "test" into it and deletes it again. False when the
// file cannot be created, written or closed.
bool WriteProbe(const QString& programFolder);

// Reports a missing data file with its code, then the write probe's failure, each by its
// message; either requests the end of the program. Returns whether both passed.
bool CheckDataFiles(QWidget* parent, const QString& programFolder);

} // namespace pulmora
