#pragma once

#include <QString>
#include <QtGlobal>

// What every fuzz target starts with: an application on the off-screen platform, never
// destroyed (fonts and the platform stay for the whole run, and at exit the test library's
// input devices would outlive it), and no messages: Qt's warnings about broken input and
// positions outside the window only slow the run.
template <typename Application> void startQuietApplication(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    static const Application* app = new Application(*argc, *argv);
    Q_UNUSED(app);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}
