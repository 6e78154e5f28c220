#include "CommandLine.h"
#include "Fonts.h"
#include "Form1.h"
#include "Translations.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace {

// The program in its build folder is started by scripts/run; an installed one, a copy
// elsewhere, by its name on the path.
const char* startCommand() {
    std::error_code unknown;
    const bool built = std::filesystem::equivalent("/proc/self/exe", QUENZEL_BUILT_AT, unknown);
    return built ? "scripts/run" : "quenzel";
}

// Qt aborts when it finds no display to open; a desktop program says plainly what it needs.
// A platform named in QT_QPA_PLATFORM (offscreen, for one) is trusted to need none.
bool displayConfigured() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* value = std::getenv(variable); value && *value) return true;
    std::fprintf(stderr,
                 "quenzel needs a graphical desktop (neither DISPLAY nor WAYLAND_DISPLAY is set);"
                 " to try it without one: xvfb-run -a %s\n",
                 startCommand());
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    describeApplication();
    if (const auto exitCode = answerInformationOptions(argc, argv)) return *exitCode;
    if (const auto exitCode = answerExport(argc, argv)) return *exitCode;
    if (!displayConfigured()) return EXIT_FAILURE;
    QApplication app(argc, argv);
    useJapaneseFonts();
    useQtTranslations();
    const StartAsked asked = startAsked();
    Form1::Services services = Form1::desktopServices();
    services.bringBackLast = asked.bringBackLast;
    auto form = std::make_unique<Form1>(std::move(services));
    form->show();
    form->focusFirstControl();
    if (!asked.file.isEmpty()) form->open(asked.file);
    const int exitCode = app.exec();
    form.reset();
    // Qt 6.4's Wayland plugin can wait forever for its event thread while it shuts down,
    // leaving a process without a window; the window is gone and everything of ours is
    // written by now, so the program ends without Qt's own shutdown there.
    if (QGuiApplication::platformName() == u"wayland") {
        std::fflush(nullptr);
        std::_Exit(exitCode);
    }
    return exitCode;
}
