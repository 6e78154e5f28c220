// Fuzz target: arbitrary replay scripts against a fresh window each. Every line goes to
// the script reader on its own, so a line it rejects is skipped and the rest still runs:
// clicks, presses, typed texts, keys, moves to any coordinates, resizes up to
// 10000 x 10000, the endless drawings, undo and redo all mix. Lines that would write files
// or keep copies of the raster are left out, and the endless drawings get a bounded number
// of steps per input.

#include "QuietApplication.h"
#include "Replay.h"
#include "app/Fonts.h"

#include <QApplication>

#include <cstdint>

namespace {

constexpr int kMaxLines = 300;
constexpr long long kMaxSteps = 20'000; // all "steps" lines of one input together

// The line as it will run, or empty when it is left out.
QString admitted(const QString& line, long long& stepsLeft) {
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty()) return {};
    const QString& verb = words[0];
    if (verb == u"png" || verb == u"canvas-png" || verb == u"snapshot" || verb == u"save" ||
        verb == u"print" || verb == u"keep" || verb == u"open")
        return {};
    if (verb == u"steps" && words.size() >= 2) {
        bool ok = false;
        const long long n = words[1].toLongLong(&ok);
        if (ok && n > 0) {
            const long long granted = std::min(n, stepsLeft);
            stepsLeft -= granted;
            return QStringLiteral("steps %1").arg(granted);
        }
    }
    return line;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    startQuietApplication<QApplication>(argc, argv);
    useJapaneseFonts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString script =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Replay replay([](const QString&) {});
    long long stepsLeft = kMaxSteps;
    int count = 0;
    for (const QString& line : script.split(u'\n')) {
        if (++count > kMaxLines) break;
        const QString admittedLine = admitted(line, stepsLeft);
        if (admittedLine.isEmpty()) continue;
        if (replay.run({admittedLine}) == Replay::Outcome::Ended) break;
    }
    return 0;
}
