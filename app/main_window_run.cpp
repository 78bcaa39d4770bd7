// The history commands of the window and the run command "START".

#include <QAction>
#include <QCoreApplication>
#include <QFrame>
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

#include "app/main_window.h"
#include "results/history_commands.h"
#include "toolkit/message_box.h"
#include "toolkit/sounds.h"
#include "toolkit/string_grid.h"
#include "toolkit/track_bar.h"

namespace pulmora {

void TForm1::SelectRun(int row) {
    ProgramState& s = state();
    RunHistory& history = *s.session.history;
    if (row >= 1 && row <= history.runCount) {
        history.selectedRun = row;
        loadOptionsFromRecord(s.session.parameters, history.slot(row));
        PlaceSliders(row, false);
        FillIndicesTable(row, true);
        DrawFlowVolumePlot();
        RedrawVolumeTimeCurve();
    }
    RepaintTables();
}

void TForm1::DeleteSelectedRunCommand() {
    ProgramState& s = state();
    RunHistory& history = *s.session.history;
    if (!DeleteSelectedRun(history, s.session.parameters.selectedLungPart)) return;
    for (int r = 1; r <= 3; ++r) FillHistoryRow(r, r);
    // Row 1 becomes current; a move from another row selects run 1 through the table.
    if (history.selectedRun == 1) StringGrid2->setRow(1);
    DrawFlowVolumePlot();
    DrawVolumeTimeForSelection();
    if (history.selectedRun == 1)
        FillIndicesTable(1, true);
    else
        FillIndicesTable(0, false);
    if (history.selectedRun > 0) PlaceSliders(1, false);
    RepaintTables();
    ClearComment();
}

void TForm1::UseSelectedRunAsReference() {
    ProgramState& s = state();
    RunHistory& history = *s.session.history;
    const int run = history.selectedRun;
    if (run < 1 || run > history.runCount) return;
    RebaseRunsOn(history, run);
    for (int r = 1; r <= 3; ++r) FillHistoryRow(r, r);
    FillHistoryRow(4, 0);
    DrawFlowVolumePlot();
    RedrawVolumeTimeCurve();
    FillIndicesTable(run, true);
    PlaceSliders(run, false);
    RepaintTables();
    ClearComment();
}

void TForm1::Button2Click() {
    ProgramState& s = state();
    RunHistory& history = *s.session.history;
    s.RunInProgress = true;

    // Nothing may start while the patient breathes: every control is locked for the run.
    QList<QWidget*> locked = {Button1, Button2,  Button3,  Button6, Button8, Button9,
                              Button10, Button11, Button12};
    QList<QAction*> menus = menuBar()->actions();
    for (QWidget* w : locked) w->setEnabled(false);
    for (QAction* a : menus) a->setEnabled(false);
    const QList<QWidget*> areas = {StringGrid2, Panel1, Panel2, Panel3, Panel4};
    for (QWidget* w : areas) w->setEnabled(false);
    Timer1->stop();
    setEnabled(false);

    s.session.parameters.activePanel = 0;
    ApplyEnableRules();
    ShowPicture(-2, 0, 0);
    DrawVolumeTimeFrame();
    FillIndicesTable(0, false);
    ClearComment();
    processPendingEvents();

    // Slot 1 is saved, cleared and given the parameter set; the examination fills it; the
    // history moves down with the new run selected.
    s.volumeTime.VolumeTimeCounter = 1;
    PerformRun(s.session, runObserver());

    FillIndicesTable(1, true);
    for (int r = 1; r <= 3; ++r) FillHistoryRow(r, r);
    RepaintTables();
    DrawFlowVolumePlot();
    processPendingEvents();

    for (QWidget* w : locked) w->setEnabled(true);
    for (QAction* a : menus) a->setEnabled(true);
    for (QWidget* w : areas) w->setEnabled(true);
    Timer1->start();
    setEnabled(true);
    s.RunInProgress = false;

    const float status = history.slot(1).runStatus;
    playSystemSound(std::nearbyint(status) == 1 ? SystemSound::Asterisk : SystemSound::Hand);
}

} // namespace pulmora

namespace pulmora {

RunObserver* TForm1::runObserver() { return &liveDisplay(); }

} // namespace pulmora
