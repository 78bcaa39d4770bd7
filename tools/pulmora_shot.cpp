// pulmora-shot OUT.png [--width W] [--height H] [ACTION ...]: starts the main window off-screen
// as the program starts, on a screen of the given size, performs the actions in order as a
// user would, and saves the window as a PNG.

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/help_window.h"
#include "app/main_window.h"
#include "core/parameter_set.h"
#include "toolkit/message_box.h"
#include "toolkit/string_grid.h"
#include "toolkit/track_bar.h"

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "pulmora-shot: %s\n", message.c_str());
    return 2;
}

bool parseInt(const std::string& text, int& out) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < 1 || v > 20000) return false;
    out = static_cast<int>(v);
    return true;
}

struct Action {
    std::string flag;
    std::string value;
};

// Actions that take a value, and whether this build can perform them yet.
struct ActionKind {
    const char* flag;
    bool takesValue;
    bool available;
};
constexpr ActionKind kActions[] = {
    {"--set", true, true},    {"--option", true, true}, {"--variable", true, true},
    {"--run", false, true},   {"--at", true, true},     {"--select", true, true},
    {"--window", true, true}, {"--open", true, true},
};

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0].rfind("--", 0) == 0)
        return fail("usage: pulmora-shot OUT.png [--width W] [--height H] [ACTION ...]");
    const std::string out = args[0];
    int width = 1280, height = 1024;
    std::vector<Action> actions;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (flag == "--width" || flag == "--height") {
            if (i + 1 >= args.size() || !parseInt(args[i + 1], flag == "--width" ? width : height))
                return fail(flag + " needs a size in pixels");
            ++i;
            continue;
        }
        const ActionKind* kind = nullptr;
        for (const ActionKind& k : kActions)
            if (flag == k.flag) kind = &k;
        if (!kind) return fail("unknown action \"" + flag + "\"");
        if (!kind->available)
            return fail("the action " + flag + " is not available in this version of the window");
        Action a{flag, {}};
        if (kind->takesValue) {
            if (i + 1 >= args.size()) return fail(flag + " needs a value");
            a.value = args[++i];
        }
        actions.push_back(a);
    }

    QApplication app(argc, argv);
    app.setApplicationName("Pulmora");
    // Messages are printed, not shown: nobody is there to press OK.
    pulmora::setMessageSink([](pulmora::MessageKind, const QString& text) {
        std::fprintf(stderr, "pulmora-shot: message: %s\n", text.toUtf8().constData());
        return true;
    });
    pulmora::TForm1 window(QCoreApplication::applicationDirPath(), {width, height});
    window.show();
    QApplication::processEvents();

    QWidget* shown = &window;
    for (const Action& a : actions) {
        // ---- actions: parameter editing (--set, --option, --run, --select) ----
        if (a.flag == "--set") {
            // Choose the lung part, open the column's panel and move its slider.
            int part = 0, column = 0;
            double value = 0;
            char comma1 = 0, comma2 = 0, rest = 0;
            if (std::sscanf(a.value.c_str(), "%d%c%d%c%lf%c", &part, &comma1, &column, &comma2,
                            &value, &rest) != 5 ||
                comma1 != ',' || comma2 != ',' || !pulmora::isLungPart(part) || column < 0 ||
                column > 7)
                return fail("--set needs PART,COL,VALUE with PART -2 ... 5 and COL 0 ... 7");
            static const char* const lungParts[] = {
                "Leftlung1",      "Rightlung1",      "Bothlungs1",       "Leftupperlobe1",
                "Leftlowerlobe1", "Rightupperlobe1", "Rightmiddlelobe1", "Rightlowerlobe1"};
            window.menuItem(lungParts[part + 2])->trigger();
            QFrame* panels[] = {window.Panel1, window.Panel2, window.Panel2, window.Panel2,
                                window.Panel3, window.Panel3, window.Panel4, window.Panel4};
            window.PanelClick(panels[column]);
            pulmora::TrackBar* slider = window.TrackBars[column + 1];
            if (!slider->isEnabled() || slider->isHidden())
                return fail("--set " + a.value +
                            ": that slider cannot be moved for this lung part");
            slider->setPosition(pulmora::positionFromValue(pulmora::kColumnSliders[column], value));
        }
        if (a.flag == "--option") {
            int option = 0;
            double value = 0;
            char comma = 0, rest = 0;
            if (std::sscanf(a.value.c_str(), "%d%c%lf%c", &option, &comma, &value, &rest) != 3 ||
                comma != ',' || option < 1 || option > 4)
                return fail("--option needs K,VALUE with K 1 ... 4 (the options of the menu)");
            static const char* const items[] = {"N11", "N21", "N31", "N41"};
            window.menuItem(items[option - 1])->trigger();
            window.TrackBars[9]->setPosition(
                pulmora::positionFromValue(pulmora::kOptionSlider, value));
        }
        if (a.flag == "--run") window.Button2->click();
        if (a.flag == "--select") {
            int row = 0;
            if (!parseInt(a.value, row) || row > 4) return fail("--select needs a row 1 ... 4");
            pulmora::StringGrid* grid = window.StringGrid2;
            QTest::mouseClick(grid, Qt::LeftButton, {}, grid->cellRect(0, row).center());
        }
        // ---- end actions: parameter editing ----
        // ---- actions: lung picture (--variable, --at) ----
        if (a.flag == "--variable") {
            static const char* const items[] = {"wypywcakowity1",        "wypywzpuc1",
                                                "gdysamoograniczanie1",  "oprperyferyjny1",
                                                "oprposrednichlobesel1", "ci1"};
            const int code = std::atoi(a.value.c_str());
            if (a.value != std::to_string(code) || code < 1 || code > 6)
                return fail("--variable needs a code 1 ... 6");
            window.menuItem(items[code - 1])->trigger();
        }
        if (a.flag == "--at") {
            char* end = nullptr;
            const double seconds = std::strtod(a.value.c_str(), &end);
            if (a.value.empty() || *end != '\0' || !(seconds >= 0 && seconds <= 110))
                return fail("--at needs the recording time of the next run, 0 ... 110 seconds");
            // The window as it is when the next run's recording reaches that time is saved.
            window.shotAtSeconds = seconds;
            window.shotImage = QImage();
            shown = window.shotWidget();
        }
        // ---- end actions: lung picture ----
        if (a.flag == "--open") {
            // "Open" with the dialog answered by the given file (a bare name is looked for in
            // "simulations"); a bad file is reported and the shot is not taken.
            QString path = QString::fromStdString(a.value);
            if (!path.contains('/')) path = window.state().ProgramFolder + "simulations/" + path;
            window.fileDialogHook = [path](pulmora::TForm1::FileDialogKind, const QString&) {
                return path;
            };
            bool refused = false;
            pulmora::setMessageSink([&refused](pulmora::MessageKind, const QString& text) {
                std::fprintf(stderr, "pulmora-shot: message: %s\n", text.toUtf8().constData());
                refused = true;
                return true;
            });
            window.menuItem("Open1")->trigger();
            window.fileDialogHook = nullptr;
            if (refused) return fail("--open " + a.value + ": the file was not opened");
        }
        if (a.flag == "--window") {
            // ---- windows: files (settings, about) ----
            if (a.value == "settings" || a.value == "about") {
                QWidget* w = a.value == "settings" ? window.CreateSettingsListing()
                                                   : window.findChild<QWidget*>("AboutBox");
                w->show();
                shown = w;
                continue;
            }
            // ---- end windows: files ----
            if (a.value == "help") {
                pulmora::loadHelpPage(*window.Form4,
                                      window.state().ProgramFolder + "helpfiles/H0000.rtf");
                window.Form4->show();
                shown = window.Form4;
            } else {
                return fail("--window " + a.value + " is not available in this version");
            }
        }
    }
    QApplication::processEvents();
    const QImage image = shown->grab().toImage();
    if (!image.save(QString::fromStdString(out), "PNG")) return fail("cannot write " + out);
    return 0;
}
