// Keys the replay fuzzing found: a word that names no single key is a bad line of the
// script, and any key Qt can name, letters of any script included, reaches the focused
// box as a keyboard would send it.

#include "Replay.h"

#include <gtest/gtest.h>

namespace {

QStringList run(const QStringList& lines, Replay::Outcome expected) {
    QStringList out;
    Replay replay([&out](const QString& line) { out << line; });
    EXPECT_EQ(replay.run(lines), expected) << replay.error().toStdString();
    return out;
}

TEST(ReplayKeys, WordsThatNameNoSingleKeyAreBadLines) {
    for (const QString& word : QStringList{"ab", "Ctrl+A,Ctrl+B", "NoSuchKey"}) {
        SCOPED_TRACE(word.toStdString());
        QStringList out;
        Replay replay([&out](const QString& line) { out << line; });
        EXPECT_EQ(replay.run({"key " + word, "dump title"}), Replay::Outcome::BadLine);
        EXPECT_TRUE(replay.error().startsWith(u"line 1:")) << replay.error().toStdString();
        EXPECT_TRUE(out.isEmpty()); // stopped before the second line
    }
}

TEST(ReplayKeys, LettersOfAnyScriptAreTypedIntoTheFocusedBox) {
    // Typing an empty text leaves the red box focused and empty.
    const QStringList out =
        run({"type Text6", "key あ", "dump text Text6"}, Replay::Outcome::Finished);
    EXPECT_EQ(out, QStringList{"あ"});
}

} // namespace
