#pragma once
// The main window: the lung picture, the two plots and the results table above; below, the
// dark round-cornered frame with the parameter sliders, the command buttons, the history table,
// the option slider and the comment box; the menu bar on top. Controls carry their design names.

#include <QMainWindow>

#include <array>
#include <functional>
#include <map>
#include <memory>

#include "app/main_window_layout.h"
#include "core/session.h"
#include "graphics/volume_time_plot.h"
#include "results/table_texts.h"

class QAction;
class QActionGroup;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTextEdit;
class QTimer;

namespace pulmora {

class ImageBox;
class StringGrid;
class TForm4;
class TrackBar;

// The screen the window is laid out for; the program uses the real one, the screenshot tool
// and the tests give their own.
struct ScreenSize {
    int width = 1280;
    int height = 1024;
};

// The single long-lived objects of the program, owned by the main window.
struct ProgramState {
    Session session;             // parameter set, history, model and driver state
    VolumeTimePlot volumeTime;   // the volume-time plot's counter
    IndicesTableTexts indices;   // what the indices table shows
    bool RunInProgress = false;  // the run command is working
    QString ProgramFolder;       // the executable's folder, with a trailing "/"
};

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    // Builds every control with its design properties and runs the start-up steps.
    explicit TForm1(const QString& programFolder, ScreenSize screen, QWidget* parent = nullptr);
    ~TForm1() override;

    ProgramState& state() { return *state_; }
    const MainWindowLayout& layout() const { return layout_; }

    // Views, refreshed by the commands in the order their behaviour needs.
    void FillIndicesTable(int slot, bool showObserved);
    void FillHistoryRow(int row, int slot);
    void ShowComment(int section);
    void ClearComment();
    void DrawFlowVolumePlot();
    void DrawVolumeTimeFrame(); // counter to 1, then the frame and the reference's FRC line
    void RedrawVolumeTimeCurve();
    void RepaintTables();

    // Help.
    void ShowHelpPage(const QString& relativePath); // "helpfiles/H0000.rtf"
    // When set, receives the full path of a help page instead of the help window showing it
    // (tests and the screenshot tool have nobody to close a modal window).
    std::function<void(const QString& path)> helpPageHook;
    void Button1MouseDown(QObject* sender, Qt::MouseButton button);

    // Controls, by their design names.
    QWidget* client = nullptr;
    ImageBox *Image1 = nullptr, *Image2 = nullptr, *Image3 = nullptr;
    StringGrid *StringGrid1 = nullptr, *StringGrid2 = nullptr, *StringGrid3 = nullptr;
    StringGrid* tparm = nullptr;
    QFrame *Panel1 = nullptr, *Panel2 = nullptr, *Panel3 = nullptr, *Panel4 = nullptr,
           *Panel5 = nullptr, *Panel6 = nullptr, *Panel7 = nullptr;
    std::array<TrackBar*, 10> TrackBars{}; // TrackBar1 ... TrackBar9 at 1 ... 9
    QPushButton *Button1 = nullptr, *Button2 = nullptr, *Button3 = nullptr, *Button6 = nullptr,
                *Button8 = nullptr, *Button9 = nullptr, *Button10 = nullptr, *Button11 = nullptr,
                *Button12 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QTextEdit* RichEdit1 = nullptr;
    QLabel* Memo1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QTimer* Timer1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    TForm4* Form4 = nullptr;
    QLabel* label(const char* name) const; // Label1 ... Label56

    // Menu items by their handlers' names ("Open1", "wypywcakowity1", "N11", ...).
    QAction* menuItem(const char* name) const;

    // ---- Parameter editing, manoeuvre options, history commands, the run command ----
    // (params/parameter_controls.cpp, params/manoeuvre_options.cpp, app/main_window_run.cpp)
    // ---- end parameter editing ----

    // ---- Lung picture, live display, animation, picture hot-spots ----
    // (app/main_window_picture.cpp and graphics/)
    // ---- end lung picture ----

    // ---- Simulation files, start-up checks, settings listing, About box ----
    // (app/main_window_files.cpp, app/startup_checks.cpp, params/settings_listing.cpp,
    // app/about_box.cpp)
    // ---- end files ----

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // ---- private: parameter editing ----
    // ---- end private: parameter editing ----
    // ---- private: lung picture ----
    // ---- end private: lung picture ----
    // ---- private: files ----
    // ---- end private: files ----
    void createControls();
    void createMenus();
    void applyLayout(ScreenSize screen);
    void startUp();
    void drawHistoryCell(QPainter& p, const StringGrid& grid, int col, int row, const QRect& r);
    void drawIndicesCell(QPainter& p, int col, int row, const QRect& r);
    void historyMouseDown(StringGrid* grid, Qt::MouseButton button, QPoint pos);
    QAction* addItem(QMenu* menu, const char* name, const QString& caption);

    std::unique_ptr<ProgramState> state_;
    MainWindowLayout layout_;
    std::map<QString, QLabel*> labels_;
    std::map<QString, QAction*> actions_;
    char decimalSeparator_ = '.';
};

} // namespace pulmora
