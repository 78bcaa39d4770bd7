#include "results/run_csv.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <string_view>

#include "core/parameter_set.h"
#include "core/simulation_record.h"

namespace pulmora {

namespace {

// Matrix rows in storage order (LungPart -2 ... 5), by their captions in the menu "Lobes".
constexpr const char* kLungPartNames[kLungPartCount] = {
    "Left lung",       "Right lung",       "Both lungs",        "Left upper lobe",
    "Left lower lobe", "Right upper lobe", "Right middle lobe", "Right lower lobe"};

// The parameter columns 0 ... 7, with the label each carries beside its slider.
constexpr const char* kColumnNames[kColumnCount] = {"main airway resistance R",
                                                    "collapsible dead volume VDc",
                                                    "middle bronchi resistance",
                                                    "stiffness Stiff",
                                                    "peripheral bronchi resistance",
                                                    "closing volume CCC",
                                                    "lung size Size",
                                                    "compliance Cm"};

// Options 1 ... 6 by their captions in the menu "Options"; 7 ... 20 have no name.
constexpr const char* kOptionNames[] = {"expiration deepness",    "expiration rapidity",
                                        "inspiration deepness",   "end expiration airflow",
                                        "mediastinum compliance", "scoliosis (left%right)"};

struct IndexColumn {
    const char* name;
    const char* unit;
    float SimulationRecord::*field;
};

// The indices in the order of the indices table.
constexpr IndexColumn kIndices[] = {
    {"FEV1", "l", &SimulationRecord::fev1},
    {"FVCEX", "l", &SimulationRecord::fvc},
    {"FEV1%FVC", "%", &SimulationRecord::fev1PercentFvc},
    {"PEF", "l/s", &SimulationRecord::pef},
    {"MEF75", "l/s", &SimulationRecord::mef75},
    {"MEF50", "l/s", &SimulationRecord::mef50},
    {"MEF25", "l/s", &SimulationRecord::mef25},
    {"ERV", "l", &SimulationRecord::erv},
    {"FET", "s", &SimulationRecord::fet},
    {"FRC", "l", &SimulationRecord::frc},
    {"TLC", "l", &SimulationRecord::tlc},
};

// What the loop's second column holds, by DisplayVariable code 1 ... 6.
constexpr const char* kDisplayVariables[][2] = {
    {"total airflow", "flow (l/s)"},
    {"airflow from lungs", "flow (l/s)"},
    {"airflow when limitation", "flow (l/s)"},
    {"intermediate bronchi resistance", "intermediate bronchi resistance (kPa s/l)"},
    {"peripheral bronchi resistance", "peripheral bronchi resistance (kPa s/l)"},
    {"intrathorax pressure", "intrathorax pressure (kPa)"},
};

// The texts of the indices table for the three outcomes of a run.
const char* statusText(float status) {
    if (status == 1.0f) return "completed";
    if (status == 0.0f) return "dead";
    if (status == -1.0f) return "error";
    return "unknown";
}

class CsvWriter {
  public:
    CsvWriter& text(std::string_view field) {
        separate();
        out_ += csvField(field);
        return *this;
    }
    // The shortest digits that read back as exactly this float; to_chars ignores the locale.
    CsvWriter& number(float value) {
        separate();
        char buffer[32];
        const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
        assert(error == std::errc() && "32 characters hold any float");
        out_.append(buffer, end);
        return *this;
    }
    CsvWriter& number(int value) {
        separate();
        out_ += std::to_string(value);
        return *this;
    }
    void endRow() {
        out_ += '\n';
        rowStarted_ = false;
    }
    void header(std::initializer_list<std::string_view> names) {
        for (std::string_view n : names)
            text(n);
        endRow();
    }
    // The empty line between two sections.
    void endSection() { endRow(); }
    std::string take() { return std::move(out_); }

  private:
    void separate() {
        if (rowStarted_) out_ += ',';
        rowStarted_ = true;
    }
    std::string out_;
    bool rowStarted_ = false;
};

} // namespace

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

int flowVolumeSampleCount(const SimulationRecord& r) {
    if (r.volumeCurve[0] == 0) return 0;
    int n = 1;
    while (n < kFlowVolumeSamples && r.volumeCurve[n] != 0)
        ++n;
    return n;
}

int volumeTimeSampleCount(const SimulationRecord& r) {
    int n = 0;
    while (n < kVolumeTimeSamples && r.vtTime[n] != 0)
        ++n;
    return n;
}

std::string runCsv(const SimulationRecord& r, int slot) {
    assert(slot >= 0 && slot < kHistorySlots && "history slots are 0 ... 4");
    CsvWriter csv;
    const std::string recordName = slot == 0 ? "reference" : "run " + std::to_string(slot);
    const char* percentUnit = slot == 0 ? "% of the model's norm" : "% of the reference";
    // A damaged file may hold any float here, NaN included: only a whole 1 ... 6 names one.
    const float variable = r.displayVariableCode;
    const bool knownVariable = variable >= 1 && variable <= 6 && variable == std::floor(variable);
    const int code = knownVariable ? static_cast<int>(variable) : 0;

    csv.header({"record", "status", "status code", "display variable code", "display variable"});
    csv.text(recordName).text(statusText(r.runStatus)).number(r.runStatus);
    csv.number(r.displayVariableCode).text(knownVariable ? kDisplayVariables[code - 1][0] : "");
    csv.endRow();
    csv.endSection();

    csv.header({"lung part", "column", "name", "unit", "value"});
    for (int row = 0; row < kLungPartCount; ++row)
        for (int c = 0; c < kColumnCount; ++c) {
            csv.text(kLungPartNames[row]).number(c).text(kColumnNames[c]).text(percentUnit);
            csv.number(r.parameterMatrix[row][c]);
            csv.endRow();
        }
    csv.endSection();

    csv.header({"option", "name", "unit", "value"});
    for (int k = 1; k <= kOptionCount; ++k) {
        csv.number(k).text(k <= 6 ? kOptionNames[k - 1] : "").text(percentUnit);
        csv.number(r.options[k - 1]);
        csv.endRow();
    }
    csv.endSection();

    csv.header({"index", "unit", "value"});
    for (const IndexColumn& ix : kIndices) {
        csv.text(ix.name).text(ix.unit).number(r.*ix.field);
        csv.endRow();
    }
    csv.endSection();

    csv.header({"lung volume (l)", knownVariable ? kDisplayVariables[code - 1][1] : "value"});
    for (int i = 0, n = flowVolumeSampleCount(r); i < n; ++i) {
        csv.number(r.volumeCurve[i]).number(r.flowCurve[i]);
        csv.endRow();
    }
    csv.endSection();

    csv.header({"time (s)", "lung volume (l)"});
    for (int i = 0, n = volumeTimeSampleCount(r); i < n; ++i) {
        csv.number(r.vtTime[i]).number(r.vtVolume[i]);
        csv.endRow();
    }
    return csv.take();
}

} // namespace pulmora
