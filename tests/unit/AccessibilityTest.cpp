// What a screen reader finds in the window: every control that takes the focus or a click
// has a name, and the ten controls with a hint describe themselves by that hint.
#include "app/Form1.h"

#include <QAccessible>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

class Accessibility : public testing::Test {
  protected:
    Form1 form_{Form1::Services{.quit = [] {}, .openUrl = [](const QUrl&) {}}};

    QString said(const char* control, QAccessible::Text what) {
        QWidget* widget = form_.control(QString::fromLatin1(control));
        EXPECT_NE(widget, nullptr) << control;
        QAccessibleInterface* face = widget ? accessible(widget) : nullptr;
        return face ? face->text(what) : QString();
    }
};

// Calls visit on the window's interface and on every interface below it.
void walk(QAccessibleInterface* face, const std::function<void(QAccessibleInterface*)>& visit) {
    visit(face);
    for (int i = 0; i < face->childCount(); ++i)
        if (QAccessibleInterface* child = face->child(i)) walk(child, visit);
}

TEST_F(Accessibility, EveryControlThatTakesFocusOrAClickHasAName) {
    int controls = 0;
    walk(accessible(&form_), [&](QAccessibleInterface* face) {
        const bool takesFocus = face->state().focusable;
        const bool takesClick =
            face->actionInterface() && face->actionInterface()->actionNames().contains(
                                           QAccessibleActionInterface::pressAction());
        if (!takesFocus && !takesClick) return;
        ++controls;
        const QString name = face->object() ? face->object()->objectName() : QString();
        EXPECT_FALSE(face->text(QAccessible::Name).trimmed().isEmpty()) << qPrintable(name);
    });
    // 27 boxes, buttons and swatches of the design that can take the focus (the hidden
    // address boxes too), at least.
    EXPECT_GE(controls, 27);
}

TEST_F(Accessibility, ControlsWithAHintAreDescribedByIt) {
    const struct {
        const char* control;
        const char16_t* hint;
    } hinted[] = {
        {"Command2", u" アート２"},
        {"Command4", u"アート３"},
        {"Command6", u"アート４"},
        {"Command9", u"アート５"},
        {"Command7", u"クリックすると絵がかける"},
        {"Command8", u"自動的に色を変える！"},
        {"Command10", u"ペンが追っかける！"},
        {"Text6", u" 赤色の強さを変更かけれる！"},
        {"Text2", u"緑色の強さを変更！"},
        {"Text3", u" 青色の強さを変更！"},
    };
    for (const auto& [control, hint] : hinted)
        EXPECT_EQ(said(control, QAccessible::Description), QString::fromUtf16(hint)) << control;
    for (const char* unhinted :
         {"Command11", "Command14", "Command3", "Text5", "Picture6", "Text7"})
        EXPECT_EQ(said(unhinted, QAccessible::Description), QString()) << unhinted;
}

TEST_F(Accessibility, NamesSayWhatACaptionAlonePutsInSymbols) {
    // Captions such as "◎" or "④" say nothing to a listener: the name must be Japanese
    // words, distinct between controls that do different things.
    QStringList names;
    for (const char* control : {"Command2", "Command4", "Command6", "Command9", "Command11",
                                "Command14", "Text6", "Text2", "Text3", "Text5"}) {
        const QString name = said(control, QAccessible::Name);
        EXPECT_TRUE(std::ranges::any_of(name, [](QChar c) { return c.unicode() >= 0x3040; }))
            << control << ": " << qPrintable(name);
        names << name;
    }
    names.removeDuplicates();
    EXPECT_EQ(names.size(), 10);
}

} // namespace
