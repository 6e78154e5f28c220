// Fuzz target: arbitrary replay scripts against a fresh window each. Every line goes to
// the script reader on its own, so a line it rejects is skipped and the rest still runs:
// clicks, presses, typed texts, keys, moves to any coordinates, resizes up to
// 10000 x 10000 and the endless drawings all mix. Lines that would write files are left
// out, and the endless drawings get a bounded number of steps per input.

#include "Replay.h"
#include "app/Fonts.h"

#include <QApplication>
#include <QKeySequence>

#include <cstdint>

namespace {

constexpr int kMaxLines = 300;
constexpr long long kMaxSteps = 20'000; // all "steps" lines of one input together

// Whether Qt's test library can send the key. For any other key (a word that names no key,
// a non-ASCII character) it stops the process with an assertion, so the harness would
// die before the window sees anything; such lines are left out.
bool sendableKey(const QString& word) {
    const QKeySequence sequence = QKeySequence::fromString(word);
    if (sequence.isEmpty()) return true; // the harness rejects it as a bad line
    const int key = sequence[0].key();
    const int special = key - Qt::Key_Escape;
    return (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde) ||
           (special >= 0x00 && special <= 0x0b) || (special >= 0x10 && special <= 0x17) ||
           (special >= 0x20 && special <= 0x26) || (special >= 0x30 && special <= 0x60);
}

// The line as it will run, or empty when it is left out.
QString admitted(const QString& line, long long& stepsLeft) {
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty()) return {};
    const QString& verb = words[0];
    if (verb == u"png" || verb == u"canvas-png") return {};
    if (verb == u"key" && words.size() >= 2 && !sendableKey(words[1])) return {};
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "qt.qpa.*=false");
    // Never destroyed: at exit the test library's input devices would outlive it.
    static const QApplication* app = new QApplication(*argc, *argv);
    Q_UNUSED(app);
    useJapaneseFonts();
    // Qt's warnings about positions outside the window and the like only slow the run.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
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
