#pragma once
// A long sitting at the window, as a student spends it: run after run with the sliders of
// another region and lung part each time, with deletions, new references, animations,
// "ref.Default", saves and opens in between. The test checks what the program must keep true
// through it; the benchmark of the same session measures its memory.

#include <QAction>
#include <QFrame>
#include <QTest>

#include <functional>

#include "app/main_window.h"
#include "core/parameter_set.h"
#include "toolkit/string_grid.h"
#include "toolkit/track_bar.h"

namespace pulmora::testing_support {

struct LongSessionEvents {
    int saves = 0;
    int opens = 0;
    int deletions = 0;
    int referenceChanges = 0;
    int animations = 0;
};

// Runs `runs` examinations. The file dialog is answered with files in `simulationsFolder`;
// `afterRun(k)` is called after the k-th run (1-based) and its follow-up commands.
inline LongSessionEvents runLongSession(TForm1& w, const QString& simulationsFolder, int runs,
                                        const std::function<void(int run)>& afterRun) {
    constexpr int lungParts[] = {kBothLungs, kLeftLung,       kRightLung,       kLeftUpperLobe,
                                 kBothLungs, kRightLowerLobe, kRightMiddleLobe, kLeftLowerLobe};
    // Where each slider goes, as a share of its range: away from the extremes, so that most
    // runs complete and the session stays a few seconds long.
    constexpr double shares[] = {0.35, 0.5, 0.62, 0.42, 0.55, 0.3, 0.66};
    QFrame* const panels[] = {w.Panel1, w.Panel2, w.Panel3, w.Panel4};

    QString answer;
    w.fileDialogHook = [&answer](TForm1::FileDialogKind, const QString&) { return answer; };
    LongSessionEvents events;
    for (int k = 1; k <= runs; ++k) {
        if (k % 3 == 1) w.LungPartMenuItem(lungParts[(k / 3) % std::size(lungParts)]);
        QTest::mouseClick(panels[k % 4], Qt::LeftButton, {}, QPoint(2, 2));
        for (int column = 1; column <= 8; ++column) {
            TrackBar* slider = w.TrackBars[column];
            if (!slider->isEnabled()) continue;
            const double share = shares[(k + column) % std::size(shares)];
            slider->setPosition(slider->minimum() +
                                static_cast<int>(share * (slider->maximum() - slider->minimum())));
        }
        if (k % 8 == 0) {
            w.OptionMenuItem(1 + k % 4);
            w.TrackBars[9]->setPosition(w.TrackBars[9]->minimum() +
                                        (w.TrackBars[9]->maximum() - w.TrackBars[9]->minimum()) /
                                            3);
        }
        if (k % 10 == 0) w.Button11Click(); // "reset all"

        w.Button2Click();

        RunHistory& history = *w.state().session.history;
        if (k % 4 == 0 && history.runCount >= 1) {
            w.StringGrid2->setRow(1);
            w.Button8Click();
            ++events.animations;
        }
        if (k % 5 == 0 && history.runCount >= 2) {
            w.StringGrid2->setRow(2);
            w.DeleteSelectedRunCommand();
            ++events.deletions;
        }
        if (k % 7 == 0 && history.runCount >= 1) {
            w.StringGrid2->setRow(history.runCount);
            w.UseSelectedRunAsReference();
            ++events.referenceChanges;
        }
        if (k % 6 == 0) {
            answer = simulationsFolder + QString("/session-%1.spi").arg(k % 12 == 0 ? 2 : 1);
            w.menuItem("Saveas1")->trigger();
            ++events.saves;
        }
        if (k % 9 == 0 && events.saves > 0) {
            answer = simulationsFolder + "/session-1.spi";
            w.menuItem("Open1")->trigger();
            ++events.opens;
        }
        if (k % 25 == 0) w.menuItem("Reset1")->trigger(); // "ref.Default"
        afterRun(k);
    }
    w.fileDialogHook = nullptr;
    return events;
}

} // namespace pulmora::testing_support
