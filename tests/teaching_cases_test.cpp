// The teaching cases shipped in simulations/: each opens in the window as a user opens it,
// with three completed runs of its pathology, mild to severe, against the standard reference,
// and the general help page explains each of them.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <cstring>
#include <string>
#include <vector>

#include "app/image_box.h"
#include "app/rtf_reader.h"
#include "core/simulation_record.h"
#include "files/simulation_file.h"
#include "graphics/plot_geometry.h"
#include "main_window_fixture.h"
#include "tools/teaching_cases.h"

using namespace pulmora;
using pulmora::testing_support::MainWindowFixture;
using pulmora::testing_support::readAll;

namespace {

const TeachingCase& teachingCase(const std::string& fileName) {
    for (const TeachingCase& c : kTeachingCases)
        if (fileName == c.fileName) return c;
    ADD_FAILURE() << fileName << " is not in the table of teaching cases";
    return kTeachingCases[0];
}

QString shippedCase(const TeachingCase& c) {
    return QString(PULMORA_BIN_DIR "/simulations/") + c.fileName;
}

// An index that moves one way as the pathology worsens: reference, mild, moderate, severe.
struct IndexTrend {
    const char* index;               // its name in the results table
    float SimulationRecord::*member; // where the record keeps it
    bool falls;                      // true: smaller with each step, false: larger
};

struct CaseExpectation {
    const char* fileName;
    std::vector<IndexTrend> trends;
};

void PrintTo(const CaseExpectation& c, std::ostream* out) {
    *out << c.fileName;
}

const IndexTrend kFev1PercentFvcFalls{"FEV1%FVC", &SimulationRecord::fev1PercentFvc, true};
const IndexTrend kPefFalls{"PEF", &SimulationRecord::pef, true};

const CaseExpectation kExpectations[] = {
    {"asthma.spi", {kFev1PercentFvcFalls, {"MEF50", &SimulationRecord::mef50, true}}},
    // Trapped air: the lungs sit higher while the obstruction grows.
    {"copd.spi", {kFev1PercentFvcFalls, {"FRC", &SimulationRecord::frc, false}}},
    // Small lungs empty quickly: what is left is blown out within the first second.
    {"restriction.spi",
     {{"TLC", &SimulationRecord::tlc, true},
      {"FVCEX", &SimulationRecord::fvc, true},
      {"FEV1%FVC", &SimulationRecord::fev1PercentFvc, false}}},
    {"upper-airway-obstruction.spi", {kPefFalls}},
    {"left-main-bronchus.spi", {kFev1PercentFvcFalls, kPefFalls}},
    {"lobar-obstruction.spi", {kFev1PercentFvcFalls}},
};

class TeachingCaseInWindow : public testing::TestWithParam<CaseExpectation> {
  protected:
    MainWindowFixture f;

    // The case copied into the program's simulations/ and opened with "Open" in the menu
    // "File", the file dialog answering with its path.
    TForm1& openCase(const TeachingCase& c) {
        TForm1& w = f.start();
        const QString target = f.folder.filePath(QString("simulations/") + c.fileName);
        EXPECT_TRUE(QFile::copy(shippedCase(c), target)) << shippedCase(c).toStdString();
        w.fileDialogHook = [target](TForm1::FileDialogKind, const QString&) { return target; };
        w.menuItem("Open1")->trigger();
        return w;
    }
};

int pixelsOf(const QImage& image, const QColor& colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

TEST_P(TeachingCaseInWindow, ShowsThreeCompletedRunsMildToSevere) {
    const CaseExpectation& expected = GetParam();
    const TeachingCase& c = teachingCase(expected.fileName);
    TForm1& w = openCase(c);
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();

    const RunHistory& history = *w.state().session.history;
    ASSERT_EQ(history.runCount, 3);
    EXPECT_EQ(history.selectedRun, slotOf(kMild)) << "the mild run is shown on opening";
    for (int s = 1; s <= 3; ++s)
        EXPECT_EQ(history.slot(s).runStatus, 1.0f) << "slot " << s;
    EXPECT_FALSE(holdsRun(history.slot(4))) << "no fourth run behind the three";

    // Each run carries its own settings, so a click on its row puts the sliders there.
    for (Severity severity : kRecordingOrder) {
        const ParameterSet set = caseParameters(c, severity);
        const SimulationRecord& run = history.slot(slotOf(severity));
        for (int part = kFirstLungPart; part <= kLastLungPart; ++part)
            for (int col = 0; col < kColumnCount; ++col)
                EXPECT_EQ(run.parameterMatrix[lungPartRow(part)][col],
                          static_cast<float>(set.cell(part, col)))
                    << "slot " << slotOf(severity) << ", part " << part << ", column " << col;
    }

    for (const IndexTrend& trend : expected.trends) {
        const float reference = history.slot(0).*trend.member;
        const float mild = history.slot(slotOf(kMild)).*trend.member;
        const float moderate = history.slot(slotOf(kModerate)).*trend.member;
        const float severe = history.slot(slotOf(kSevere)).*trend.member;
        const std::string values = std::to_string(reference) + ", " + std::to_string(mild) + ", " +
                                   std::to_string(moderate) + ", " + std::to_string(severe);
        if (trend.falls) {
            EXPECT_TRUE(reference > mild && mild > moderate && moderate > severe)
                << trend.index << " should fall: " << values;
        } else {
            EXPECT_TRUE(reference < mild && mild < moderate && moderate < severe)
                << trend.index << " should rise: " << values;
        }
    }
}

TEST_P(TeachingCaseInWindow, ReferenceIsTheStandardExamination) {
    const TeachingCase& c = teachingCase(GetParam().fileName);
    TForm1& w = openCase(c);
    auto standard = makeRunHistory();
    ASSERT_TRUE(
        readSimulationFile(f.folder.filePath("datfiles1/standard.dat").toStdString(), *standard)
            .ok);
    EXPECT_EQ(std::memcmp(&w.state().session.history->slot(0), &standard->slot(0),
                          sizeof(SimulationRecord)),
              0);
}

TEST_P(TeachingCaseInWindow, FlowVolumePlotShowsEachRunInItsColour) {
    const TeachingCase& c = teachingCase(GetParam().fileName);
    TForm1& w = openCase(c);
    const QImage& plot = w.Image2->picture();
    ASSERT_FALSE(plot.isNull());
    // A loop is hundreds of pixels long; a run hidden under another would leave a few at most.
    for (int slot = 1; slot <= 3; ++slot)
        EXPECT_GT(pixelsOf(plot, CurveColours[slot]), 100)
            << "run in slot " << slot << ", " << CurveColours[slot].name().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Shipped, TeachingCaseInWindow, testing::ValuesIn(kExpectations),
                         [](const auto& info) {
                             std::string name = info.param.fileName;
                             name = name.substr(0, name.find('.'));
                             for (char& ch : name)
                                 if (ch == '-') ch = '_';
                             return name;
                         });

TEST(TeachingCases, EveryCaseHasItsExpectations) {
    for (const TeachingCase& c : kTeachingCases) {
        bool found = false;
        for (const CaseExpectation& e : kExpectations)
            found |= std::string(e.fileName) == c.fileName;
        EXPECT_TRUE(found) << c.fileName << " is shipped but not checked here";
    }
}

// A lobe has no main airway, collapsible dead volume or size of its own, and the stiffness
// has no slider at all.
bool sliderSets(int lungPart, int column) {
    if (column == 3) return false;
    const bool lobe = lungPart >= kLeftUpperLobe;
    return !(lobe && (column == 0 || column == 1 || column == 6));
}

TEST(TeachingCases, EverySettingIsASliderPositionOfItsLungPart) {
    for (const TeachingCase& c : kTeachingCases)
        for (int i = 0; i < kMaxCaseColumns; ++i) {
            const int column = c.columns[i];
            if (column == kNoColumn) continue;
            EXPECT_TRUE(sliderSets(c.lungPart, column))
                << c.fileName << ": part " << c.lungPart << " has no slider for column " << column;
            const ColumnSlider& slider = kColumnSliders[column];
            for (int s = 0; s < kSeverityCount; ++s) {
                const double value = c.values[s][i];
                EXPECT_EQ(valueFromPosition(slider.mapping, positionFromValue(slider, value)),
                          value)
                    << c.fileName << ", column " << column << ": " << value
                    << " is not a position of the slider";
            }
        }
}

TEST(TeachingCases, ShippedFileIsTheHistoryRecordedAgain) {
    // The build's file and a fresh recording in this process agree byte for byte: nothing in a
    // case depends on the machine, the worker or what ran before.
    const TeachingCase& c = teachingCase("upper-airway-obstruction.spi");
    const auto standard = recordStandardHistory();
    ASSERT_TRUE(standard);
    std::string error;
    const auto history = recordTeachingCase(*standard, c, error);
    ASSERT_TRUE(history) << error;
    QByteArray image(static_cast<qsizetype>(kHistoryBytes), '\0');
    encodeHistorySlots(*history, std::span<std::uint8_t>(
                                     reinterpret_cast<std::uint8_t*>(image.data()), kHistoryBytes));
    EXPECT_TRUE(readAll(shippedCase(c)) == image);
}

TEST(TeachingCases, GeneralHelpPageExplainsEachCaseUnderItsFileNameInBold) {
    QTextDocument page;
    const RtfResult read = readRtf(readAll(PULMORA_BIN_DIR "/helpfiles/H0000.rtf"), page);
    ASSERT_TRUE(read.ok()) << read.reason.toStdString();
    EXPECT_FALSE(page.find("Teaching cases").isNull());
    for (const TeachingCase& c : kTeachingCases) {
        const QTextCursor name = page.find(c.fileName);
        ASSERT_FALSE(name.isNull()) << c.fileName << " is not named in the help page";
        EXPECT_EQ(name.charFormat().fontWeight(), QFont::Bold) << c.fileName;
        // The name starts a paragraph that goes on to explain the case.
        EXPECT_EQ(name.selectionStart(), name.block().position()) << c.fileName;
        EXPECT_GT(name.block().text().size(), 200) << c.fileName;
    }
}

} // namespace
