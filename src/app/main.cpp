#include "Fonts.h"
#include "Form1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    useJapaneseFonts();
    Form1 form(Form1::desktopServices());
    form.show();
    form.focusFirstControl();
    return app.exec();
}
