#include "Fonts.h"

#include <QApplication>
#include <QFont>

void useJapaneseFonts() {
    QFont::insertSubstitutions(QStringLiteral("ＭＳ Ｐ明朝"),
                               {QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho"),
                                QStringLiteral("Noto Serif CJK JP")});
    QFont font;
    font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setPointSize(8);
    QApplication::setFont(font);
}
