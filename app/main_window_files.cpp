// The file commands, the start-up checks, the settings listing and the About box of the main
// window.

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>

#include <memory>
#include <vector>

#include "app/about_box.h"
#include "app/main_window.h"
#include "app/startup_checks.h"
#include "core/simulation_record.h"
#include "files/file_commands.h"
#include "params/settings_listing.h"
#include "results/history_commands.h"
#include "toolkit/message_box.h"
#include "toolkit/save_file.h"
#include "toolkit/string_grid.h"

namespace pulmora {

namespace {

QString fromStd(const std::string& text) {
    return QString::fromStdString(text);
}

QString fileTitleOf(const QString& path) {
    return fromStd(fileTitle(path.toStdString()));
}

} // namespace

void TForm1::startUpFiles() {
    const QString& folder = state().ProgramFolder;
    connectFileCommands();
    CheckDataFiles(this, folder);
    // The standard history is checked whole before the window relies on it; once the end of
    // the program is requested, the later start-up steps' own reports close unseen.
    if (!programEndRequested()) {
        auto scratch = makeRunHistory();
        const FileResult standard =
            openSimulationFile((folder + "datfiles1/standard.dat").toStdString(), *scratch);
        if (!standard.ok) {
            showError(this, fromStd(standard.error));
            requestProgramEnd();
        }
    }
    currentFileName_ = "data_default.spi";
    AboutBox = new TAboutBox(layout().scaleNumerator, this);
}

void TForm1::connectFileCommands() {
    connect(menuItem("Open1"), &QAction::triggered, this, &TForm1::Open1Click);
    connect(menuItem("Save1"), &QAction::triggered, this, &TForm1::Save1Click);
    connect(menuItem("Saveas1"), &QAction::triggered, this, &TForm1::Saveas1Click);
    connect(menuItem("Reset1"), &QAction::triggered, this, &TForm1::Reset1Click);
    connect(menuItem("About1"), &QAction::triggered, this, &TForm1::About1Click);
    connect(menuItem("parametry1"), &QAction::triggered, this, &TForm1::parametry1Click);
    connect(menuItem("parametry2"), &QAction::triggered, this, &TForm1::parametry2Click);
    QAction* quit = menuItem("Quit1");
    disconnect(quit, &QAction::triggered, this, &QWidget::close);
    connect(quit, &QAction::triggered, this, &TForm1::Quit1Click);
}

QString TForm1::chooseSimulationFile(FileDialogKind kind) {
    const QString folder = state().ProgramFolder + "simulations";
    QString path;
    if (fileDialogHook) {
        path = fileDialogHook(kind, folder);
    } else {
        QFileDialog dialog(this);
        dialog.setDirectory(folder);
        dialog.setNameFilter("Spirometry files (*.spi)");
        dialog.setDefaultSuffix("spi");
        if (kind == FileDialogKind::Open) {
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode(QFileDialog::ExistingFile);
        } else {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
        }
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().constFirst();
    }
    // The dialogs give a bare name the extension "spi".
    return fromStd(withSimulationExtension(path.toStdString()));
}

bool TForm1::writeHistoryFile(const QString& path) {
    QByteArray image(static_cast<qsizetype>(kHistoryBytes), '\0');
    encodeHistorySlots(
        *state().session.history,
        std::span<std::uint8_t>(reinterpret_cast<std::uint8_t*>(image.data()), kHistoryBytes));
    return saveWholeFile(this, path, image);
}

void TForm1::setFileLine(const QString& text) {
    QLabel* line = label("Label26");
    line->setText(text);
    line->adjustSize();
}

void TForm1::Open1Click() {
    const QString path = chooseSimulationFile(FileDialogKind::Open);
    RunHistory& history = *state().session.history;
    if (!path.isEmpty()) {
        const FileResult read = openSimulationFile(path.toStdString(), history);
        if (!read.ok) {
            showError(this, fromStd(read.error));
        } else {
            setFileLine("Plik:  " + fileTitleOf(path));
            FillIndicesTable(1, true);
            CountRunsAfterLoading(history);
            // Moving the current row to 1 selects run 1 there.
            if (history.selectedRun == 1) StringGrid2->setRow(1);
            DrawFlowVolumePlot();
            DrawVolumeTimeForSelection();
            for (int r = 1; r <= kShownRuns; ++r)
                FillHistoryRow(r, r);
            FillHistoryRow(4, 0);
            PlaceSliders(history.selectedRun >= 1 ? history.selectedRun : 0, false);
            RepaintTables();
        }
    }
    ClearComment();
}

void TForm1::Save1Click() {
    const QString path = state().ProgramFolder + "simulations/" + currentFileName_;
    if (!writeHistoryFile(path)) return;
    showMessage(this, "File saved in" + path);
    setFileLine("Plik:  " + fileTitleOf(currentFileName_));
}

void TForm1::Saveas1Click() {
    for (;;) {
        const QString path = chooseSimulationFile(FileDialogKind::Save);
        if (path.isEmpty()) return;
        // The standard file's name is not for the user's files: ask again.
        if (isStandardFileName(path.toStdString())) continue;
        currentFileName_ = QFileInfo(path).fileName();
        if (writeHistoryFile(path)) setFileLine("Plik:  " + fileTitleOf(path));
        return;
    }
}

void TForm1::Reset1Click() {
    RunHistory& history = *state().session.history;
    // The standard file is read first: if that fails, the runs have not been rescaled and the
    // history is as it was.
    auto standard = makeRunHistory();
    const FileResult read = openSimulationFile(
        (state().ProgramFolder + "datfiles1/standard.dat").toStdString(), *standard);
    if (!read.ok) {
        showError(this, fromStd(read.error));
        return;
    }
    RestoreAbsoluteRunValues(history);
    history.slot(0) = standard->slot(0);
    FillIndicesTable(0, true);
    for (int r = 1; r <= kShownRuns; ++r)
        FillHistoryRow(r, r);
    FillHistoryRow(4, 0);
    DrawFlowVolumePlot();
    const int shown = history.selectedRun >= 1 ? history.selectedRun : 0;
    FillIndicesTable(shown, true);
    PlaceSliders(shown, false);
    RepaintTables();
    ClearComment();
    setFileLine("Data from file:  Standard");
}

void TForm1::Quit1Click() {
    close();
    requestProgramEnd();
}

void TForm1::About1Click() {
    if (modalWindowHook)
        modalWindowHook(*AboutBox);
    else
        AboutBox->exec();
}

QWidget* TForm1::CreateSettingsListing() {
    return new SettingsListingWindow(SettingsListing(*state().session.history), this);
}

void TForm1::ShowSettingsListing() {
    std::unique_ptr<QWidget> listing(CreateSettingsListing());
    if (modalWindowHook)
        modalWindowHook(*listing);
    else
        static_cast<QDialog*>(listing.get())->exec();
}

void TForm1::parametry1Click() {
    ShowSettingsListing();
}
void TForm1::parametry2Click() {
    ShowSettingsListing();
}
void TForm1::Button12Click() {
    ShowSettingsListing();
}

} // namespace pulmora
