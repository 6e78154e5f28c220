#include "CommandLine.h"
#include "Fonts.h"
#include "Form1.h"
#include "Translations.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    describeApplication();
    if (const auto exitCode = answerInformationOptions(argc, argv)) return *exitCode;
    QApplication app(argc, argv);
    useJapaneseFonts();
    useQtTranslations();
    Form1 form(Form1::desktopServices());
    form.show();
    form.focusFirstControl();
    return app.exec();
}
