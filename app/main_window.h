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
    void DrawVolumeTimeForSelection(); // the selected run's curve, or the bare frame when none is
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
    void PanelClick(QFrame* panel);          // Panel1 ... Panel4: open that group for editing
    void ApplyEnableRules();                 // sliders of the active panel, less the lobe limits
    void SliderChanged(int column, int position); // TrackBar1 ... 8 moved (column 0 ... 7)
    void PlaceSliders(int slot, bool keepMatrix);  // sliders from a slot (-1: the reference)
    void LungPartMenuItem(int lungPart);     // the menu "Lobes"
    void Button1Click();                     // "reset"
    void Button11Click();                    // "reset all"
    void OptionMenuItem(int option);         // the menu "Options", 1 ... 6
    void OptionSliderChanged(int position);  // TrackBar9 moved
    void SelectRun(int row);                 // the history table's current row moved
    void DeleteSelectedRunCommand();         // "Delete selected row", "Delete row"
    void UseSelectedRunAsReference();        // "Use as reference", "Use as ref."
    void Button2Click();                     // "START": one examination into the history
    // The run's observer when no picture area provides one (the display stays still).
    RunObserver* runObserver();
    // ---- end parameter editing ----

    // ---- Lung picture, live display, animation, picture hot-spots ----
    // (app/main_window_picture.cpp and graphics/)
    // Shows PictureTable slot `request` (1 ... 11) in Image1 with, for the region pictures
    // 2 ... 5, its caption just above and right of (x, y) in picture coordinates. -1 does
    // nothing, -2 shows slot 1 even when it is shown, -3 repaints the shown slot and keeps the
    // caption as it is.
    void ShowPicture(int request, int x = 0, int y = 0);
    int ShownPicture() const;
    void FormPaint();   // the window's first paint shows slot 1
    void Timer1Timer(); // the caption's time-out
    // The menu "Variable": the DisplayVariable of the next run, codes 1 ... 6.
    void wypywcakowity1Click();
    void wypywzpuc1Click();
    void gdysamoograniczanie1Click();
    void oprperyferyjny1Click();
    void oprposrednichlobesel1Click();
    void ci1Click();
    void SetDisplayVariable(int code);
    void Button8Click();  // "animation": replays the selected run's loop with the airway tree
    void Button9Click();  // pause ("go") and go on ("pauza")
    void Button10Click(); // the animation's speed 1, 2, 3
    void FindHotSpot(int X, int Y);                         // the mouse moved over Image1
    void HotSpotClick(Qt::MouseButton button, int X, int Y); // a mouse button went down on it
    // The run's observer: grows the volume-time plot, draws the airway tree from the live
    // model and shows the run clock.
    RunObserver& liveDisplay();
    struct LungPictureState& lungPicture();
    // pulmora-shot --at: when the next run's recording reaches this many seconds, the window
    // is grabbed into shotImage (-1: no picture wanted). shotWidget() shows that picture, or
    // the window itself while none was taken.
    double shotAtSeconds = -1;
    QImage shotImage;
    QWidget* shotWidget();
    // ---- end lung picture ----

    // ---- Simulation files, start-up checks, settings listing, About box ----
    // (app/main_window_files.cpp, app/startup_checks.cpp, params/settings_listing.cpp,
    // app/about_box.cpp)
    void Open1Click();      // "Open": the whole history from a simulation file
    void Save1Click();      // "Save": into "simulations" under the current file name
    void Saveas1Click();    // "Save as": a file the user chooses; it names later saves
    void Reset1Click();     // "ref.Default": the standard reference back into slot 0
    void Quit1Click();      // "Quit"
    void About1Click();     // "About": the About box, modal
    void parametry1Click(); // "Settins" of the history table's pop-up menu
    void parametry2Click(); // "Settings" of the menu "Lobes"
    void Button12Click();   // "Settings" in the group "Selected row"
    void ShowSettingsListing(); // the listing of the selected run against the reference, modal
    // The listing window for the history as it is now, not yet shown; its owner deletes it.
    QWidget* CreateSettingsListing();
    const QString& currentFileName() const { return currentFileName_; }
    class TAboutBox* AboutBox = nullptr; // created hidden at start-up

    // When set, the file dialogs ask this instead: it gets the dialog's kind and starting
    // folder and returns the chosen path, or an empty text for a cancel.
    enum class FileDialogKind { Open, Save };
    std::function<QString(FileDialogKind kind, const QString& folder)> fileDialogHook;
    // When set, receives the About box or the settings listing instead of it being shown
    // modally (tests and the screenshot tool have nobody to close a modal window).
    std::function<void(QWidget& window)> modalWindowHook;
    // ---- end files ----

    // ---- Export of the shown run and of the plots ----
    // (app/main_window_export.cpp; the file dialogs ask fileDialogHook with the kind Save when
    // it is set, the image dialog goes to modalWindowHook and counts as accepted unless the
    // hook rejects it)
    void ExportRunCsv1Click();   // "Export run as CSV…": the selected run, else the reference
    void SavePlotsImage1Click(); // "Save plots as image…": both plots as PNG or SVG
    // The two plots as they are on the screen, in their places (the flow-volume loop above
    // the volume-time curve), at the screen's size.
    QImage PlotsScreenImage();
    // ---- end export ----

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // ---- private: parameter editing ----
    // ---- end private: parameter editing ----
    // ---- private: lung picture ----
    void createLungPicture(); // state, mouse handling, menu and button connections
    void startUpLungPicture(); // hot-spot table, pictures, background, buffer, live display
    bool animationStep(int slot, int sample, float Vmax, float Vmin);
    bool pictureEvent(QObject* watched, QEvent* event);
    // Shared pointers: their deleters are bound where the objects are made, so this header
    // needs no more than the names.
    std::shared_ptr<struct LungPictureState> lungPicture_;
    std::shared_ptr<class LiveDisplay> liveDisplay_;
    QObject* pictureFilter_ = nullptr;
    QWidget* shotWidget_ = nullptr;
    // ---- end private: lung picture ----
    // ---- private: files ----
    void startUpFiles();                 // the checks before anything is loaded
    void connectFileCommands();          // the menu items, once the menus exist
    QString chooseSimulationFile(FileDialogKind kind);
    bool writeHistoryFile(const QString& path); // reports its own failure
    void setFileLine(const QString& text);      // Label26
    QString currentFileName_ = "data_default.spi"; // the name "Save" writes to
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
