// The help window: one modal, resizable window with a read-only rich-text view, reused for every
// help page. Each area of the main window has its page; the table below names them.
#pragma once

#include "app/rtf_reader.h"

#include <QDialog>
#include <QString>

#include <array>
#include <functional>
#include <string_view>

class QTextBrowser;

namespace pulmora {

enum class HelpPage {
    Program,           // the program as a whole
    MainAirways,       // trachea and main bronchi
    MiddleAirways,     // intermediate bronchi
    PeripheralAirways, // small airways
    Lungs,             // lung size and compliance
    HistoryTable,      // the runs and the reference
    ResultsTable,      // the spirometric indices
    DisplayVariable,   // the menu "Variable"
    ManoeuvreOptions,  // the menu "Options" and the option slider
};

struct HelpPageEntry {
    HelpPage page;
    std::string_view file;    // name in the folder "helpfiles/"
    std::string_view subject; // what the page explains
};

inline constexpr std::array<HelpPageEntry, 9> HelpPageTable = {{
    {HelpPage::Program, "H0000.rtf", "the program as a whole"},
    {HelpPage::MainAirways, "H0001.rtf", "the main airways"},
    {HelpPage::MiddleAirways, "H0002.rtf", "the middle airways"},
    {HelpPage::PeripheralAirways, "H0003.rtf", "the peripheral airways"},
    {HelpPage::Lungs, "H0004.rtf", "the lungs"},
    {HelpPage::HistoryTable, "H0005.rtf", "the history table"},
    {HelpPage::ResultsTable, "H0006.rtf", "the results table"},
    {HelpPage::DisplayVariable, "H0007.rtf", "the display variable"},
    {HelpPage::ManoeuvreOptions, "H0008.rtf", "the manoeuvre options"},
}};

// The file name of a page, for example "H0005.rtf" for the history table.
QString helpPageFile(HelpPage page);

class TForm4 : public QDialog {
    Q_OBJECT

  public:
    explicit TForm4(QWidget* parent = nullptr);

    QTextBrowser* RichEdit1; // the page, read-only, filling the window

  protected:
    // A page opens at its beginning, whatever the viewer's size was when it was loaded.
    void showEvent(QShowEvent* event) override;
};

// What loading a page gave.
struct HelpPageLoad {
    QString error; // empty when the file was read; otherwise a message that names the file
    RtfResult rtf; // how completely the file's rich text was read

    bool loaded() const { return error.isEmpty(); }
};

// Clears the viewer and fills it from the page file. On a file that cannot be read the viewer is
// left empty and `error` says which file failed and why.
HelpPageLoad loadHelpPage(TForm4& form, const QString& path);

// Where ShowHelpPage reports a page that cannot be read. The default shows a critical message
// box; tests install a sink that records the message. Returns the previous sink.
using HelpErrorSink = std::function<void(const QString& message)>;
HelpErrorSink setHelpErrorSink(HelpErrorSink sink);

// Loads the page and shows the help window modally, returning when the user closes it. A page
// that cannot be read is reported through the error sink, the window is not shown and the result
// is false; the viewer has already been cleared.
bool ShowHelpPage(TForm4& form, const QString& path);

} // namespace pulmora
