#pragma once
// Command line of the headless examination tool.

#include <string>
#include <vector>

namespace pulmora {

struct CellSetting {
    int lungPart; // -2 ... 5
    int column;   // 0 ... 7
    double value; // percent
};

struct OptionSetting {
    int option;   // 1 ... 20
    double value; // percent
};

struct SimOptions {
    std::vector<CellSetting> cells;        // the run's parameter set
    std::vector<OptionSetting> options;    // the run's options
    std::vector<CellSetting> refCells;     // the reference record's stored values
    std::vector<OptionSetting> refOptions; // the reference record's stored options
    int displayVariable = 1;
    int lungPart = 0;
    int runs = 1;
    std::string savePath; // simulation file of the history after the runs
    std::string csvPath;  // last run's curves
    bool json = false;
    bool help = false;
};

struct ParseResult {
    bool ok = false;
    std::string error; // one line naming the problem
};

ParseResult parseSimOptions(const std::vector<std::string>& args, SimOptions& out);

extern const char* const kSimUsage;

} // namespace pulmora
