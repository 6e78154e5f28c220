// quenzel-replay SCRIPT: carries out a script of user actions against the real window,
// off-screen, and prints what the script asks for.
// quenzel-replay --check SCRIPT: compares that output with the script's "#> " lines.
// A recording the program made is such a script too.

#include "Replay.h"
#include "app/Fonts.h"
#include "recording/RecordingFile.h"

#include <QApplication>
#include <QFile>

#include <cstdio>

namespace {

int usage() {
    std::fputs("usage: quenzel-replay [--check] SCRIPT\n", stderr);
    return 2;
}

int check(const QStringList& lines, const QStringList& output) {
    QStringList expected;
    for (const QString& line : lines)
        if (line.startsWith(QStringLiteral("#> ")) || line == QStringLiteral("#>"))
            expected << line.mid(3);
    if (output == expected) return 0;
    const qsizetype n = std::max(expected.size(), output.size());
    for (qsizetype i = 0; i < n; ++i) {
        const QString want = i < expected.size() ? expected[i] : QStringLiteral("(nothing)");
        const QString got = i < output.size() ? output[i] : QStringLiteral("(nothing)");
        if (want != got) {
            std::fprintf(stderr, "output line %lld differs\n  expected: %s\n  actual:   %s\n",
                         static_cast<long long>(i + 1), qPrintable(want), qPrintable(got));
            return 1;
        }
    }
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    useJapaneseFonts();

    QStringList args = app.arguments().mid(1);
    const bool checking = !args.isEmpty() && args.first() == QStringLiteral("--check");
    if (checking) args.removeFirst();
    if (args.size() != 1) return usage();
    QFile file(args.first());
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args.first()));
        return 2;
    }
    QByteArray text = file.readAll();
    // A recording the program kept is compressed.
    if (text.startsWith("\x1f\x8b")) text = readRecording(args.first());
    const QStringList lines = QString::fromUtf8(text).split(u'\n');

    QStringList output;
    Replay replay(
        [&](const QString& line) {
            if (checking)
                output << line;
            else
                std::printf("%s\n", line.toUtf8().constData());
        },
        true);
    const Replay::Outcome outcome = replay.run(lines);
    if (outcome == Replay::Outcome::BadLine) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(args.first()), qPrintable(replay.error()));
        return 2;
    }
    std::fflush(stdout);
    return checking ? check(lines, output) : 0;
}
