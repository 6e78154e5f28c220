// Unit tests run inside one QApplication, so that tests may build the real window.
#include "app/Fonts.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests (as ctest does to find them) needs no application, and starting one
    // outside a test's environment would only add Qt's complaints to the log.
    if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    useJapaneseFonts();
    return RUN_ALL_TESTS();
}
