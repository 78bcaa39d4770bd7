// Fifty runs in one sitting: the history, the tables and the files stay sound throughout, every
// command keeps working, and (under the sanitizers) nothing leaks or is touched after its end.

#include <gtest/gtest.h>

#include <QDir>
#include <QPushButton>

#include <map>

#include "long_session.h"
#include "main_window_fixture.h"

using namespace pulmora;
using pulmora::testing_support::MainWindowFixture;
using pulmora::testing_support::readAll;

namespace {

QByteArray imageOf(const RunHistory& history) {
    QByteArray image(static_cast<qsizetype>(kHistoryBytes), '\0');
    encodeHistorySlots(history, std::span<std::uint8_t>(
                                    reinterpret_cast<std::uint8_t*>(image.data()), kHistoryBytes));
    return image;
}

TEST(LongSession, FiftyRunsWithEveryCommandKeepTheProgramSound) {
    MainWindowFixture f;
    TForm1& w = f.start();
    const QString simulations = f.folder.filePath("simulations");
    const RunHistory& history = *w.state().session.history;
    std::map<float, int> statuses;

    const auto events = testing_support::runLongSession(w, simulations, 50, [&](int run) {
        SCOPED_TRACE("after run " + std::to_string(run));
        ASSERT_GE(history.runCount, 0);
        ASSERT_LE(history.runCount, 3);
        ASSERT_GE(history.selectedRun, -1);
        ASSERT_LE(history.selectedRun, history.runCount);
        ASSERT_FALSE(w.state().RunInProgress);
        ASSERT_TRUE(w.Button2->isEnabled());
        if (history.runCount >= 1) {
            const float status = history.slot(1).runStatus;
            EXPECT_TRUE(status == 1.0f || status == 0.0f || status == -1.0f) << status;
            ++statuses[status];
        }
        EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
    });

    // The session went through every command it was meant to.
    EXPECT_GT(events.saves, 0);
    EXPECT_GT(events.opens, 0);
    EXPECT_GT(events.deletions, 0);
    EXPECT_GT(events.referenceChanges, 0);
    EXPECT_GT(events.animations, 0);
    EXPECT_GT(statuses[1.0f], 25) << "most of these moderate patients complete";

    // What was saved last is the history as it was then, and it opens in a new window.
    const QByteArray saved = readAll(simulations + "/session-2.spi");
    ASSERT_EQ(saved.size(), 621360);
    w.fileDialogHook = [&](TForm1::FileDialogKind, const QString&) {
        return simulations + "/session-final.spi";
    };
    w.menuItem("Saveas1")->trigger();
    EXPECT_TRUE(readAll(simulations + "/session-final.spi") == imageOf(history));
    EXPECT_TRUE(f.messages.isEmpty()) << f.messages.join("\n").toStdString();
}

} // namespace
