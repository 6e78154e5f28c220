// Keys the replay fuzzing found: a word that names no single key is a bad line of the
// script, and any key Qt can name, letters of any script included, reaches the focused
// box as a keyboard would send it.

#include "Replay.h"

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

} // namespace
