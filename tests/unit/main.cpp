// Unit tests run inside one QApplication, so that tests may build the real window.
#include "app/Fonts.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    useJapaneseFonts();
    return RUN_ALL_TESTS();
}
