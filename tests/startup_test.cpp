// Start-up and shutdown: the data-file check with its codes, the write probe, the standard
// file, the single-instance guard, and the whole program started twice.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <set>
#include <string>

#include "app/startup_checks.h"
#include "main_window_fixture.h"

using namespace pulmora;
using pulmora::testing_support::MainWindowFixture;

namespace {

const char* const kMissingMessage = "One of the application files is missing or corrupted ";
const char* const kReadOnlyMessage = "This application cannot work on the read only disk.";

// A failed start-up requests the end of the program; the next test wants its boxes back.
struct StartUpFixture : MainWindowFixture {
    ~StartUpFixture() { clearProgramEndRequest(); }
    QString path(const QString& relative) const { return folder.filePath(relative); }
};

using pulmora::testing_support::readAll;
using pulmora::testing_support::writeFile;

struct MissingCase {
    const char* name;
    std::set<std::string> missing; // checked files removed before start-up
    int code;
};

class MissingDataFiles : public testing::TestWithParam<MissingCase> {};

TEST_P(MissingDataFiles, AreNamedByTheirCodeAndEndTheProgram) {
    const MissingCase& c = GetParam();
    StartUpFixture f;
    for (const std::string& p : c.missing)
        ASSERT_TRUE(QFile::remove(f.path(QString::fromStdString(p))));
    EXPECT_EQ(MissingDataFilesCode(f.folder.path() + "/"), c.code);
    f.start();
    if (c.code == 0) {
        EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
        EXPECT_FALSE(programEndRequested());
    } else {
        // Only the first message is seen: the later reports close unseen.
        EXPECT_EQ(f.messages, QStringList{kMissingMessage + QString::number(c.code)});
        EXPECT_TRUE(programEndRequested());
    }
}

std::set<std::string> allChecked() {
    std::set<std::string> all;
    for (const DataFileCode& f : kCheckedDataFiles)
        all.insert(f.path);
    return all;
}

INSTANTIATE_TEST_SUITE_P(
    StartUp, MissingDataFiles,
    testing::Values(MissingCase{"none", {}, 0}, MissingCase{"all_seven", allChecked(), 1111111},
                    MissingCase{"only_the_hot_spot_table", {"datfiles1/F000.dat"}, 1},
                    MissingCase{"only_the_standard_file", {"datfiles1/standard.dat"}, 1000000},
                    MissingCase{"picture_2_and_the_standard_file",
                                {"datfiles1/F002.dat", "datfiles1/standard.dat"},
                                1000100}),
    [](const auto& info) { return std::string(info.param.name); });

struct ProbeCase {
    const char* name;
    void (*spoil)(const QString& simulations);
};

class WriteProbe : public testing::TestWithParam<ProbeCase> {};

TEST_P(WriteProbe, WithoutAWritableSimulationsFolderTheProgramEnds) {
    StartUpFixture f;
    GetParam().spoil(f.path("simulations"));
    f.start();
    EXPECT_EQ(f.messages, QStringList{kReadOnlyMessage});
    EXPECT_TRUE(programEndRequested());
}

INSTANTIATE_TEST_SUITE_P(StartUp, WriteProbe,
                         testing::Values(ProbeCase{"missing_folder",
                                                   [](const QString& s) {
                                                       QDir(s).removeRecursively();
                                                   }},
                                         ProbeCase{"a_file_in_its_place",
                                                   [](const QString& s) {
                                                       QDir(s).removeRecursively();
                                                       QFile(s).open(QIODevice::WriteOnly);
                                                   }}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StartUp, ProbeLeavesNothingBehind) {
    StartUpFixture f;
    f.start();
    EXPECT_TRUE(QDir(f.path("simulations")).isEmpty());
    EXPECT_EQ(f.window->currentFileName(), "data_default.spi");
}

TEST(StartUp, DamagedStandardFileIsReportedByNameAndEndsTheProgram) {
    StartUpFixture f;
    writeFile(f.path("datfiles1/standard.dat"), QByteArray()); // exists, so it passes the check
    f.start();
    ASSERT_EQ(f.messages.size(), 1);
    EXPECT_TRUE(f.messages[0].contains(f.path("datfiles1/standard.dat") +
                                       "\" is not a simulation file: it holds 0 bytes"))
        << f.messages[0].toStdString();
    EXPECT_TRUE(programEndRequested());
}

TEST(SingleInstance, ASecondGuardOnTheSameLockIsRefusedUntilTheFirstEnds) {
    QTemporaryDir dir;
    const QString lock = dir.filePath("ApplicationTestMap.lock");
    {
        SingleInstanceGuard first(lock);
        ASSERT_TRUE(first.acquire());
        SingleInstanceGuard second(lock);
        EXPECT_FALSE(second.acquire());
    }
    SingleInstanceGuard later(lock);
    EXPECT_TRUE(later.acquire());
}

TEST(SingleInstance, AGuardThatCannotBeMadeDoesNotStopTheProgram) {
    SingleInstanceGuard guard("/proc/no-such-folder/ApplicationTestMap.lock");
    EXPECT_TRUE(guard.acquire());
}

// The real program, copied with its data into a folder of its own and started from another
// working directory, twice at once; then the first is killed and a third one starts.
class WholeProgram : public testing::Test {
  protected:
    QTemporaryDir program, elsewhere, runtime;
    QString log;

    void SetUp() override {
        ASSERT_TRUE(QFile::copy(PULMORA_BIN_DIR "/pulmora", program.filePath("pulmora")));
        QFile::setPermissions(program.filePath("pulmora"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        MainWindowFixture::copyTree(PULMORA_BIN_DIR "/datfiles1", program.filePath("datfiles1"));
        MainWindowFixture::copyTree(PULMORA_BIN_DIR "/helpfiles", program.filePath("helpfiles"));
        QDir(program.path()).mkpath("simulations");
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        log = elsewhere.filePath("messages.txt");
    }

    std::unique_ptr<QProcess> launch() {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("PULMORA_MESSAGE_LOG", log);
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(elsewhere.path());
        p->start(program.filePath("pulmora"), {});
        return p;
    }

    QStringList logLines() const {
        return QString::fromUtf8(readAll(log)).split('\n', Qt::SkipEmptyParts);
    }
    bool waitForLog(const QStringList& lines) const {
        return QTest::qWaitFor([&] { return logLines() == lines; }, 60000);
    }
};

TEST_F(WholeProgram, SecondInstanceIsRefusedAndACrashedFirstDoesNotBlockTheNext) {
    auto first = launch();
    ASSERT_TRUE(waitForLog({"(started)"})) << logLines().join("|").toStdString();

    auto second = launch();
    ASSERT_TRUE(second->waitForFinished(60000));
    EXPECT_EQ(second->exitCode(), 1);
    EXPECT_EQ(logLines(), (QStringList{"(started)", "This program is already running."}));
    EXPECT_EQ(first->state(), QProcess::Running) << "the first copy is not affected";

    first->kill(); // SIGKILL: no chance to release anything
    ASSERT_TRUE(first->waitForFinished(60000));
    auto third = launch();
    EXPECT_TRUE(waitForLog({"(started)", "This program is already running.", "(started)"}))
        << logLines().join("|").toStdString();
    third->kill();
    third->waitForFinished(60000);
}

TEST(Shutdown, QuitClosesTheWindowAndEndsTheProgram) {
    StartUpFixture f;
    TForm1& w = f.start();
    ASSERT_TRUE(w.isVisible());
    w.menuItem("Quit1")->trigger();
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(programEndRequested());
    EXPECT_TRUE(f.messages.isEmpty());
}

} // namespace
