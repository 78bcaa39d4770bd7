// The window tests share one QApplication. Test discovery lists the tests without a display,
// so the application is made only when tests really run.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) listing = true;
    std::unique_ptr<QApplication> app;
    if (!listing) {
        qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen"
                                                                        : qgetenv("QT_QPA_PLATFORM"));
        // Numbers in tables are checked with a point as the decimal separator.
        QLocale::setDefault(QLocale::c());
        app = std::make_unique<QApplication>(argc, argv);
    }
    return RUN_ALL_TESTS();
}
