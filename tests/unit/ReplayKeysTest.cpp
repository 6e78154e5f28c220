// Keys: the window's key table against every place that lists it; and what the replay
// fuzzing found: a word that names no single key is a bad line of the script, and any key Qt
// can name, letters of any script included, reaches the focused box as a keyboard would send
// it.

#include "Replay.h"
#include "app/CommandLine.h"
#include "app/Form1.h"
#include "app/KeyTable.h"
#include "app/KeyWindow.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

struct Result {
    Replay::Outcome outcome;
    QString error;
    QStringList out;
};

Result run(const QStringList& lines) {
    QStringList out;
    Replay replay([&out](const QString& line) { out << line; });
    const Replay::Outcome outcome = replay.run(lines);
    return {outcome, replay.error(), out};
}

TEST(ReplayKeys, WordsThatNameNoSingleKeyAreBadLines) {
    for (const QString& word : QStringList{"ab", "Ctrl+A,Ctrl+B", "NoSuchKey"}) {
        SCOPED_TRACE(word.toStdString());
        const Result result = run({"key " + word, "dump title"});
        EXPECT_EQ(result.outcome, Replay::Outcome::BadLine);
        EXPECT_TRUE(result.error.startsWith(u"line 1:")) << result.error.toStdString();
        EXPECT_TRUE(result.out.isEmpty()); // stopped before the second line
    }
}

TEST(ReplayKeys, LettersOfAnyScriptAreTypedIntoTheFocusedBox) {
    // Typing an empty text leaves the red box focused and empty.
    const Result result = run({"type Text6", "key あ", "dump text Text6"});
    EXPECT_EQ(result.outcome, Replay::Outcome::Finished) << result.error.toStdString();
    EXPECT_EQ(result.out, QStringList{"あ"});
}

// F1 opens its window from the table, and Escape or F1 close it with the main window's
// focus where it was; --help and the manual page's KEYS section name every key too (whole
// keys: Ctrl+S is not found in Ctrl+Shift+Z).
TEST(WindowKeys, EveryKeyOfTheTableIsListedByF1AndHelpAndTheManualPage) {
    Replay replay([](const QString&) {});
    const QWidget* focused = replay.form().focusWidget();
    ASSERT_EQ(replay.run({"key F1"}), Replay::Outcome::Finished);
    auto* window = replay.form().findChild<KeyWindow*>();
    ASSERT_TRUE(window && window->isVisible());
    QString shown;
    const auto* list = window->findChild<QTableWidget*>();
    for (int r = 0; r < list->rowCount(); ++r)
        shown += list->item(r, 0)->text() + u'\t' + list->item(r, 1)->text() + u'\n';

    QFile page(QStringLiteral(QUENZEL_MANUAL_PAGE));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString manual = QString::fromUtf8(page.readAll());
    const qsizetype keys = manual.indexOf(u".SH KEYS");
    const QString manualKeys = manual.mid(keys, manual.indexOf(u".SH ", keys + 1) - keys);
    ASSERT_GE(keys, 0);
    const QString help = helpText();

    for (const KeyTable::Row& row : KeyTable::rows()) {
        const QString what = QString::fromUtf16(row.what);
        EXPECT_TRUE(shown.contains(what)) << what.toStdString();
        EXPECT_TRUE(help.contains(what)) << what.toStdString();
        for (const QKeyCombination key : row.keys) {
            const QString text = QKeySequence(key).toString(QKeySequence::PortableText);
            SCOPED_TRACE(text.toStdString());
            const QRegularExpression whole(
                QStringLiteral("(?<![\\w+])%1(?![\\w+])").arg(QRegularExpression::escape(text)));
            EXPECT_TRUE(shown.contains(whole));
            EXPECT_TRUE(help.contains(whole));
            EXPECT_TRUE(manualKeys.contains(whole));
        }
    }

    // Each window comes to the front as the window system gets round to it, as it would for a
    // user; a window manager gives the main window back its activation, off screen the test.
    for (const int close : {int(Qt::Key_Escape), int(Qt::Key_F1)}) {
        replay.form().activateWindow();
        QCoreApplication::processEvents();
        ASSERT_EQ(replay.run({"key F1"}), Replay::Outcome::Finished);
        QCoreApplication::processEvents();
        ASSERT_EQ(QApplication::activeWindow(), window);
        QKeyEvent press(QEvent::KeyPress, close, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &press);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(replay.form().focusWidget(), focused);
    }
}

} // namespace
