// The file commands of the window: "Open", "Save", "Save as", "ref.Default" and the file line.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTextEdit>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <cstring>
#include <limits>
#include <vector>

#include "core/simulation_record.h"
#include "files/file_commands.h"
#include "files/simulation_file.h"
#include "main_window_fixture.h"
#include "root_file_access.h"
#include "toolkit/string_grid.h"
#include "toolkit/track_bar.h"

using namespace pulmora;
using pulmora::testing_support::MainWindowFixture;
using pulmora::testing_support::WithoutRootFileAccess;

namespace {

// The window with a file dialog that answers from a list.
struct FilesFixture : MainWindowFixture {
    QStringList dialogPaths; // answers of the file dialog, first first; empty when used up
    int dialogCalls = 0;

    ~FilesFixture() { clearProgramEndRequest(); }

    TForm1& startWithDialog() {
        TForm1& w = start();
        w.fileDialogHook = [this](TForm1::FileDialogKind, const QString&) {
            ++dialogCalls;
            return dialogPaths.isEmpty() ? QString() : dialogPaths.takeFirst();
        };
        return w;
    }
    QString path(const QString& relative) const { return folder.filePath(relative); }
};

using pulmora::testing_support::readAll;
using pulmora::testing_support::writeFile;

QByteArray imageOf(const RunHistory& history) {
    QByteArray image(static_cast<qsizetype>(kHistoryBytes), '\0');
    encodeHistorySlots(history, std::span<std::uint8_t>(
                                    reinterpret_cast<std::uint8_t*>(image.data()), kHistoryBytes));
    return image;
}

QByteArray historyBytes(const RunHistory& history) {
    return QByteArray(reinterpret_cast<const char*>(history.records.data()),
                      static_cast<qsizetype>(kHistoryBytes));
}

// The standard history with the reference's run copied into the given slots; the other run
// slots hold none.
std::unique_ptr<RunHistory> historyWithRunsIn(const FilesFixture& f, std::vector<int> runSlots) {
    auto h = makeRunHistory();
    const QByteArray standard = readAll(f.path("datfiles1/standard.dat"));
    decodeHistorySlots(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(standard.constData()),
                                      static_cast<std::size_t>(standard.size())),
        *h);
    for (int s = 1; s < kHistorySlots; ++s)
        emptySlot(h->slot(s));
    for (int s : runSlots)
        h->slot(s) = h->slot(0);
    return h;
}


TEST(SimulationFiles, SaveWritesTheWholeHistoryThatOpensBackByteForByte) {
    FilesFixture f;
    TForm1& w = f.startWithDialog();
    RunHistory& history = *w.state().session.history;
    // Bytes the program only carries must travel too.
    history.slot(1).spareCurve[17] = 3.25f;
    history.slot(2).padding[1] = 0x5A;
    history.slot(4).reserved[39] = 0xC3;
    history.slot(3).parameterMatrix[7][12] = -8.5f;
    const QByteArray expected = imageOf(history);

    w.menuItem("Save1")->trigger();
    const QString saved = f.path("simulations/data_default.spi");
    EXPECT_EQ(f.messages, QStringList{"File saved in" + saved});
    EXPECT_EQ(w.label("Label26")->text(), "Plik:  data_default");
    const QByteArray bytes = readAll(saved);
    ASSERT_EQ(bytes.size(), 621360);
    EXPECT_TRUE(bytes == expected);

    // Opened in a fresh window and saved again elsewhere: the very same bytes.
    FilesFixture g;
    TForm1& other = g.startWithDialog();
    g.dialogPaths = {saved, g.path("simulations/again.spi")};
    other.menuItem("Open1")->trigger();
    other.menuItem("Saveas1")->trigger();
    EXPECT_TRUE(g.messages.isEmpty()) << g.messages.join("\n").toStdString();
    EXPECT_TRUE(readAll(g.path("simulations/again.spi")) == expected);
}

TEST(SimulationFiles, RunRecordedByTheHeadlessToolOpensInTheWindow) {
    FilesFixture f;
    TForm1& w = f.startWithDialog();
    const QString file = f.path("simulations/headless.spi");
    QProcess sim;
    sim.start(PULMORA_BIN_DIR "/../tools/pulmora-sim", {"--set", "-2,4,400", "--save", file});
    ASSERT_TRUE(sim.waitForFinished(120000));
    ASSERT_EQ(sim.exitCode(), 0) << sim.readAllStandardError().toStdString();

    f.dialogPaths = {file};
    w.menuItem("Open1")->trigger();
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    const RunHistory& history = *w.state().session.history;
    EXPECT_EQ(history.runCount, 1);
    EXPECT_EQ(history.selectedRun, 1);
    EXPECT_EQ(history.slot(1).runStatus, 1.0f);
    EXPECT_EQ(w.label("Label26")->text(), "Plik:  headless");
    // The indices table shows the run's own FEV1 in the observed column.
    EXPECT_FALSE(w.StringGrid1->cells(3, 1).isEmpty());
    EXPECT_NE(w.StringGrid1->cells(3, 1), "0.00");
    // The sliders show the run: the left lung's stored peripheral resistance is 400 %.
    EXPECT_EQ(w.state().session.parameters.cell(kLeftLung, 4), 400.0);
}

struct CountCase {
    const char* name;
    std::vector<int> runSlots; // run slots that hold a run
    int runCount;
    int selectedRun;
};

class RunCountAfterOpening : public testing::TestWithParam<CountCase> {};

TEST_P(RunCountAfterOpening, IsTheHighestSlotHoldingARunCappedAtThree) {
    const CountCase& c = GetParam();
    FilesFixture f;
    TForm1& w = f.startWithDialog();
    const QString file = f.path(QString("simulations/%1.spi").arg(c.name));
    writeFile(file, imageOf(*historyWithRunsIn(f, c.runSlots)));
    f.dialogPaths = {file};
    w.menuItem("Open1")->trigger();
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    const RunHistory& history = *w.state().session.history;
    EXPECT_EQ(history.runCount, c.runCount);
    EXPECT_EQ(history.selectedRun, c.selectedRun);
    EXPECT_EQ(w.label("Label26")->text(), QString("Plik:  %1").arg(c.name));
    // The current file name is not changed by "Open".
    EXPECT_EQ(w.currentFileName(), "data_default.spi");
}

INSTANTIATE_TEST_SUITE_P(Files, RunCountAfterOpening,
                         testing::Values(CountCase{"slots_1_and_2", {1, 2}, 2, 1},
                                         CountCase{"all_four", {1, 2, 3, 4}, 3, 1},
                                         CountCase{"only_slot_3", {3}, 3, 1},
                                         CountCase{"only_slot_4", {4}, 3, 1},
                                         CountCase{"no_run", {}, 0, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimulationFiles, SaveAsToAnotherFolderThenSaveWritesTwoFiles) {
    FilesFixture f;
    TForm1& w = f.startWithDialog();
    QDir(f.folder.path()).mkpath("elsewhere");
    f.dialogPaths = {f.path("elsewhere/mine.spi")};
    w.menuItem("Saveas1")->trigger();
    EXPECT_TRUE(f.messages.isEmpty()) << "Save as shows no message";
    EXPECT_EQ(w.label("Label26")->text(), "Plik:  mine");
    EXPECT_EQ(w.currentFileName(), "mine.spi");

    w.menuItem("Save1")->trigger();
    const QString second = f.path("simulations/mine.spi");
    EXPECT_EQ(f.messages, QStringList{"File saved in" + second});
    const QByteArray first = readAll(f.path("elsewhere/mine.spi"));
    EXPECT_EQ(first.size(), 621360);
    EXPECT_TRUE(readAll(second) == first);
}

TEST(SimulationFiles, SaveAsAsksAgainForTheStandardNameInAnyLetterCase) {
    FilesFixture f;
    TForm1& w = f.startWithDialog();
    f.dialogPaths = {f.path("simulations/STANDARD.SPI"), f.path("simulations/Standard.spi"),
                     f.path("simulations/standard"), f.path("simulations/ok.spi")};
    w.menuItem("Saveas1")->trigger();
    EXPECT_EQ(f.dialogCalls, 4);
    EXPECT_TRUE(f.messages.isEmpty());
    EXPECT_EQ(QDir(f.path("simulations")).entryList(QDir::Files), QStringList{"ok.spi"});
    EXPECT_EQ(w.label("Label26")->text(), "Plik:  ok");
}

TEST(SimulationFiles, CancellingOpenStillClearsTheCommentBox) {
    FilesFixture f;
    TForm1& w = f.startWithDialog();
    w.ShowComment(1);
    ASSERT_FALSE(w.RichEdit1->toPlainText().isEmpty());
    const QByteArray before = historyBytes(*w.state().session.history);
    w.menuItem("Open1")->trigger(); // the dialog answers with a cancel
    EXPECT_EQ(f.dialogCalls, 1);
    EXPECT_TRUE(w.RichEdit1->toPlainText().isEmpty());
    EXPECT_TRUE(historyBytes(*w.state().session.history) == before);
    EXPECT_EQ(w.label("Label26")->text(), "Data from file:  Standard");
}

// Bad files: each is refused with a message naming it, and nothing changes.
struct BadFileCase {
    const char* name;
    const char* problem;                        // part of the message
    std::function<QString(FilesFixture&)> make; // makes the file, returns its path
};

QString sized(FilesFixture& f, const char* name, qint64 size) {
    const QString p = f.path(QString("simulations/%1.spi").arg(name));
    QFile file(p);
    file.open(QIODevice::WriteOnly);
    file.resize(size);
    return p;
}

// The standard history with one float of the reference's volume curve spoiled.
QString spoiled(FilesFixture& f, const char* name, float value) {
    auto h = historyWithRunsIn(f, {1});
    h->slot(1).volumeCurve[40] = value;
    const QString p = f.path(QString("simulations/%1.spi").arg(name));
    writeFile(p, imageOf(*h));
    return p;
}

class BadFile : public testing::TestWithParam<BadFileCase> {};

TEST_P(BadFile, IsRefusedByNameAndLeavesEverythingAsItWas) {
    const BadFileCase& c = GetParam();
    FilesFixture f;
    TForm1& w = f.startWithDialog();
    const QString file = c.make(f);
    const RunHistory& history = *w.state().session.history;
    const QByteArray before = historyBytes(history);
    const QString fev1 = w.StringGrid1->cells(2, 1);
    w.ShowComment(1);
    {
        WithoutRootFileAccess asAUser;
        f.dialogPaths = {file};
        w.menuItem("Open1")->trigger();
    }
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].contains("\"" + file + "\"")) << f.messages[0].toStdString();
    EXPECT_TRUE(f.messages[0].contains(c.problem)) << f.messages[0].toStdString();
    EXPECT_TRUE(historyBytes(history) == before);
    EXPECT_EQ(history.runCount, 0);
    EXPECT_EQ(history.selectedRun, -1);
    EXPECT_EQ(w.label("Label26")->text(), "Data from file:  Standard");
    EXPECT_EQ(w.StringGrid1->cells(2, 1), fev1);
    EXPECT_TRUE(w.RichEdit1->toPlainText().isEmpty());

    // The window still works: a run completes and enters the history.
    w.Button2Click();
    EXPECT_EQ(history.runCount, 1);
    EXPECT_EQ(history.slot(1).runStatus, 1.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Files, BadFile,
    testing::Values(BadFileCase{"empty", "it holds 0 bytes",
                                [](FilesFixture& f) { return sized(f, "empty", 0); }},
                    BadFileCase{"one_byte_short", "it holds 621359 bytes",
                                [](FilesFixture& f) { return sized(f, "short", 621359); }},
                    BadFileCase{"one_byte_long", "it holds more than 621360 bytes",
                                [](FilesFixture& f) { return sized(f, "long", 621361); }},
                    BadFileCase{"ten_megabytes", "it holds more than 621360 bytes",
                                [](FilesFixture& f) { return sized(f, "huge", 10'000'000); }},
                    BadFileCase{"unreadable", "cannot be opened: Permission denied",
                                [](FilesFixture& f) {
                                    const QString p = sized(f, "locked", 621360);
                                    QFile::setPermissions(p, {});
                                    return p;
                                }},
                    BadFileCase{"a_folder", "cannot be opened: it is a folder",
                                [](FilesFixture& f) {
                                    QDir(f.folder.path()).mkpath("simulations/folder.spi");
                                    return f.path("simulations/folder.spi");
                                }},
                    BadFileCase{"missing", "cannot be opened: No such file or directory",
                                [](FilesFixture& f) { return f.path("simulations/none.spi"); }},
                    BadFileCase{"not_a_number", "is damaged",
                                [](FilesFixture& f) {
                                    return spoiled(f, "nan",
                                                   std::numeric_limits<float>::quiet_NaN());
                                }},
                    BadFileCase{"infinite", "is damaged",
                                [](FilesFixture& f) {
                                    return spoiled(f, "inf",
                                                   -std::numeric_limits<float>::infinity());
                                }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimulationFiles, AbsurdButFiniteValuesOpenDrawAndRunToTheirStatus) {
    FilesFixture f;
    TForm1& w = f.startWithDialog();
    auto h = historyWithRunsIn(f, {1, 2});
    for (int s : {0, 1, 2}) {
        SimulationRecord& r = h->slot(s);
        for (float& v : r.volumeCurve)
            v = 1e30f;
        for (float& v : r.flowCurve)
            v = -1e30f;
        for (float& v : r.vtVolume)
            v = 1e30f;
        r.frc = r.tlc = r.fvc = 1e30f;
        for (auto& row : r.parameterMatrix)
            for (int c = 0; c < kColumnCount; ++c)
                row[c] = -50.0f;
        for (float& o : r.options)
            o = -50.0f;
    }
    const QString file = f.path("simulations/absurd.spi");
    writeFile(file, imageOf(*h));
    f.dialogPaths = {file};
    w.menuItem("Open1")->trigger();
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    EXPECT_EQ(w.state().session.history->runCount, 2);
    EXPECT_FALSE(w.grab().isNull());

    w.Button2Click();
    const float status = w.state().session.history->slot(1).runStatus;
    EXPECT_TRUE(status == 1.0f || status == 0.0f || status == -1.0f) << status;
    EXPECT_EQ(w.state().session.history->runCount, 3);
}

TEST(SimulationFiles, FailedSaveIsReportedAndLeavesTheOldFileWhole) {
    FilesFixture f;
    TForm1& w = f.startWithDialog();
    w.menuItem("Save1")->trigger();
    const QString target = f.path("simulations/data_default.spi");
    const QByteArray old = readAll(target);
    ASSERT_EQ(old.size(), 621360);
    f.messages.clear();

    w.state().session.history->slot(0).fev1 = 9.0f;
    QFile::setPermissions(f.path("simulations"), QFile::ReadOwner | QFile::ExeOwner);
    {
        WithoutRootFileAccess asAUser;
        w.menuItem("Save1")->trigger();
    }
    QFile::setPermissions(f.path("simulations"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].startsWith("The file \"" + target + "\" cannot be saved"))
        << f.messages[0].toStdString();
    EXPECT_TRUE(readAll(target) == old);
    EXPECT_EQ(QDir(f.path("simulations")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"data_default.spi"});
}

TEST(SimulationFiles, SaveWithoutTheSimulationsFolderIsReported) {
    FilesFixture f;
    TForm1& w = f.startWithDialog();
    QDir(f.path("simulations")).removeRecursively();
    w.menuItem("Save1")->trigger();
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].contains("simulations/data_default.spi\" cannot be saved"));
    EXPECT_EQ(w.label("Label26")->text(), "Data from file:  Standard");
}

// A history with one run: both lungs' main resistance at 200 % of a reference that is at 150 %,
// option 1 at 50 % of a reference option at 200 %, option 18 likewise.
void setUpRunAgainstRescaledReference(TForm1& w) {
    RunHistory& h = *w.state().session.history;
    h.slot(1) = h.slot(0);
    h.slot(1).parameterMatrix[lungPartRow(kBothLungs)][0] = 200.0f;
    h.slot(1).options[0] = 50.0f;
    h.slot(1).options[17] = 50.0f;
    h.slot(0).parameterMatrix[lungPartRow(kBothLungs)][0] = 150.0f;
    h.slot(0).options[0] = 200.0f;
    h.slot(0).options[17] = 200.0f;
    h.slot(0).fev1 = 1.23f;
    h.runCount = 1;
    h.selectedRun = 1;
}

TEST(RefDefault, PutsTheStandardReferenceBackAndKeepsTheRunsAbsolute) {
    FilesFixture f;
    TForm1& w = f.startWithDialog();
    setUpRunAgainstRescaledReference(w);
    const RunHistory& h = *w.state().session.history;
    const std::vector<float> curve(h.slot(1).volumeCurve, h.slot(1).volumeCurve + 50);
    f.dialogPaths = {};
    w.ShowComment(1);

    w.menuItem("Reset1")->trigger();
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    const auto standard = historyWithRunsIn(f, {});
    EXPECT_EQ(std::memcmp(&h.slot(0), &standard->slot(0), kRecordBytes), 0)
        << "the standard file's reference, whole";
    EXPECT_EQ(h.slot(0).parameterMatrix[lungPartRow(kBothLungs)][0], 100.0f);
    EXPECT_EQ(h.slot(1).parameterMatrix[lungPartRow(kBothLungs)][0], 300.0f);
    EXPECT_EQ(h.slot(1).options[0], 100.0f) << "options 1 ... 16 are rescaled";
    EXPECT_EQ(h.slot(1).options[17], 50.0f) << "options 17 ... 20 are not";
    EXPECT_EQ(std::vector<float>(h.slot(1).volumeCurve, h.slot(1).volumeCurve + 50), curve);
    EXPECT_EQ(h.runCount, 1);
    EXPECT_EQ(w.StringGrid2->cells(0, 1), "   300");
    EXPECT_EQ(w.StringGrid2->cells(0, 4), "   100");
    EXPECT_EQ(w.TrackBars[1]->position(), positionFromValue(kColumnSliders[0], 300.0))
        << "the sliders show the selected run";
    EXPECT_TRUE(w.RichEdit1->toPlainText().isEmpty());
    EXPECT_EQ(w.label("Label26")->text(), "Data from file:  Standard");
}

TEST(RefDefault, UnreadableStandardFileChangesNothing) {
    FilesFixture f;
    TForm1& w = f.startWithDialog();
    f.dialogPaths = {f.path("simulations/mine.spi")};
    w.menuItem("Saveas1")->trigger();
    setUpRunAgainstRescaledReference(w);
    const QByteArray before = historyBytes(*w.state().session.history);
    const QString standard = f.path("datfiles1/standard.dat");
    QFile(standard).resize(1000);

    w.menuItem("Reset1")->trigger();
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].contains("\"" + standard + "\" is not a simulation file"))
        << f.messages[0].toStdString();
    EXPECT_TRUE(historyBytes(*w.state().session.history) == before)
        << "the runs keep their percentages of the reference they have";
    EXPECT_EQ(w.label("Label26")->text(), "Plik:  mine");
}

// Faults while saving. Each starts from a file saved once, spoils the way to it, saves a changed
// history and expects: one message naming the file, the old file as it was, nothing left behind;
// then the fault is mended, "Save" works again and so does a run.

// The disk is full for a while: no file of this process may grow beyond `bytes`. Writing past
// the limit fails with EFBIG instead of raising SIGXFSZ, as on a full disk.
class DiskFull {
  public:
    explicit DiskFull(rlim_t bytes) {
        if (bytes == RLIM_INFINITY) return;
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~DiskFull() {
        if (!active_) return;
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    bool active() const { return active_; }

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = SIG_DFL;
    bool active_ = false;
};

struct SaveFaultCase {
    const char* name;
    const char* reason;   // what the message says after the name
    bool oldFileSurvives; // false when the fault takes it away
    std::function<void(FilesFixture&, const QString&)> spoil; // target path
    std::function<void(FilesFixture&, const QString&)> mend;
    bool asAUser = false; // the save runs without root's power over permissions
    rlim_t diskLeft = RLIM_INFINITY;
};

class SaveFault : public testing::TestWithParam<SaveFaultCase> {};

TEST_P(SaveFault, IsReportedByNameLeavesTheOldFileAndTheProgramGoesOn) {
    const SaveFaultCase& c = GetParam();
    FilesFixture f;
    TForm1& w = f.startWithDialog();
    const QString target = f.path("simulations/data_default.spi");
    w.menuItem("Save1")->trigger();
    const QByteArray old = readAll(target);
    ASSERT_EQ(old.size(), 621360);
    const QString fileLine = w.label("Label26")->text();
    f.messages.clear();

    RunHistory& history = *w.state().session.history;
    history.slot(0).fev1 = 9.0f;
    c.spoil(f, target);
    {
        WithoutRootFileAccess asAUser(c.asAUser);
        DiskFull disk(c.diskLeft);
        w.menuItem("Save1")->trigger();
    }
    ASSERT_EQ(f.messages.size(), 1) << f.messages.join("\n").toStdString();
    EXPECT_EQ(f.messages[0], "The file \"" + target + "\" cannot be saved: " + c.reason);
    if (c.oldFileSurvives) {
        EXPECT_TRUE(readAll(target) == old) << "the old file is whole";
    }
    EXPECT_EQ(w.label("Label26")->text(), fileLine);
    const QStringList left = QDir(f.path("simulations"))
                                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& name : left)
        EXPECT_TRUE(name == "data_default.spi") << "left behind: " << name.toStdString();

    c.mend(f, target);
    f.messages.clear();
    w.menuItem("Save1")->trigger();
    EXPECT_EQ(f.messages, QStringList{"File saved in" + target});
    EXPECT_TRUE(readAll(target) == imageOf(history));
    w.Button2Click();
    EXPECT_EQ(history.runCount, 1);
    EXPECT_EQ(history.slot(1).runStatus, 1.0f);
}

void makeWritable(const QString& path) {
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

INSTANTIATE_TEST_SUITE_P(
    Files, SaveFault,
    testing::Values(
        SaveFaultCase{"disk_full", "the disk is full.", true, [](FilesFixture&, const QString&) {},
                      [](FilesFixture&, const QString&) {}, false, 100'000},
        SaveFaultCase{"disk_full_at_the_last_byte", "the disk is full.", true,
                      [](FilesFixture&, const QString&) {}, [](FilesFixture&, const QString&) {},
                      false, 621'359},
        SaveFaultCase{
            "read_only_folder", "Permission denied.", true,
            [](FilesFixture& f, const QString&) {
                QFile::setPermissions(f.path("simulations"), QFile::ReadOwner | QFile::ExeOwner);
            },
            [](FilesFixture& f, const QString&) { makeWritable(f.path("simulations")); }, true},
        SaveFaultCase{"read_only_file", "Permission denied.", true,
                      [](FilesFixture&, const QString& target) {
                          QFile::setPermissions(target, QFile::ReadOwner);
                      },
                      [](FilesFixture&, const QString& target) {
                          QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
                      },
                      true},
        SaveFaultCase{"file_replaced_by_a_folder", "Is a directory.", false,
                      [](FilesFixture&, const QString& target) {
                          QFile::remove(target);
                          QDir().mkpath(target + "/inside");
                      },
                      [](FilesFixture&, const QString& target) {
                          EXPECT_TRUE(QDir(target + "/inside").exists()) << "the folder is kept";
                          QDir(target).removeRecursively();
                      }},
        SaveFaultCase{
            "folder_removed_while_running", "No such file or directory.", false,
            [](FilesFixture& f, const QString&) {
                QDir(f.path("simulations")).removeRecursively();
            },
            [](FilesFixture& f, const QString&) { QDir(f.folder.path()).mkpath("simulations"); }}),
    [](const auto& info) { return std::string(info.param.name); });

// The headless writer, used by the tools: a full disk leaves the old file and no partial one.
TEST(SimulationFiles, HeadlessWriterOnAFullDiskKeepsTheOldFile) {
    QTemporaryDir folder;
    const std::string path = folder.filePath("run.spi").toStdString();
    auto history = makeRunHistory();
    ASSERT_TRUE(writeSimulationFile(path, *history).ok);
    const QByteArray old = readAll(folder.filePath("run.spi"));
    history->slot(0).fev1 = 9.0f;
    FileResult result;
    {
        DiskFull disk(200'000);
        ASSERT_TRUE(disk.active());
        result = writeSimulationFile(path, *history);
    }
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "\"" + path + "\": could not be written completely");
    EXPECT_TRUE(readAll(folder.filePath("run.spi")) == old);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"run.spi"});
}

TEST(SimulationFiles, HeadlessWriterReplacesNoReadOnlyFileAndNoFolder) {
    QTemporaryDir folder;
    auto history = makeRunHistory();
    const QString readOnly = folder.filePath("kept.spi");
    writeFile(readOnly, "a file the user protected");
    QFile::setPermissions(readOnly, QFile::ReadOwner);
    QDir(folder.path()).mkpath("folder.spi/inside");
    for (const QString& path : {readOnly, folder.filePath("folder.spi")}) {
        SCOPED_TRACE(path.toStdString());
        FileResult result;
        {
            WithoutRootFileAccess asAUser;
            result = writeSimulationFile(path.toStdString(), *history);
        }
        EXPECT_FALSE(result.ok);
        EXPECT_TRUE(result.error.starts_with("\"" + path.toStdString() + "\": cannot be written ("))
            << result.error;
    }
    EXPECT_EQ(readAll(readOnly), "a file the user protected");
    EXPECT_TRUE(QDir(folder.filePath("folder.spi/inside")).exists());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              (QStringList{"folder.spi", "kept.spi"}));
}

} // namespace
