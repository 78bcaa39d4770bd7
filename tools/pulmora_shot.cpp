// pulmora-shot OUT.png [--width W] [--height H] [ACTION ...]: starts the main window off-screen
// as the program starts, on a screen of the given size, performs the actions in order as a
// user would, and saves the window as a PNG.

#include <QApplication>
#include <QImage>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/help_window.h"
#include "app/main_window.h"
#include "toolkit/message_box.h"

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
    {"--set", true, false},    {"--option", true, false}, {"--variable", true, false},
    {"--run", false, false},   {"--at", true, false},     {"--select", true, false},
    {"--window", true, true},
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
        // ---- end actions: parameter editing ----
        // ---- actions: lung picture (--variable, --at) ----
        // ---- end actions: lung picture ----
        if (a.flag == "--window") {
            // ---- windows: files (settings, about) ----
            // ---- end windows: files ----
            if (a.value == "help") {
                pulmora::loadHelpPage(*window.Form4, window.state().ProgramFolder +
                                                         "helpfiles/H0000.rtf");
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
