// Fuzz target: any bytes as a recording left behind, brought back into a fresh drawing the
// way the program does at start-up: read as the file would be (gzip or plain text, whole
// lines only), then brought back from its last checkpoint through the actions after it.
// Nothing is filtered: whatever a recording says must be read, refused or cut short, never
// crash, hang or leak. What comes back must also say consistently what it did.

#include "QuietApplication.h"
#include "drawing/Drawing.h"
#include "recording/BringBack.h"
#include "recording/RecordingFile.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void expect(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    startQuietApplication<QGuiApplication>(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QByteArray text = readRecordingBytes(bytes);
    expect(text.isEmpty() || text.endsWith('\n'), "the reader kept part of a line");
    Drawing drawing{QSize(451, 382), QFont(), {.end = [] {}, .openUrl = [](const QUrl&) {}}};
    const recording::BroughtBack back = recording::bringBack(drawing, text);
    expect(back.brought || back.actions == 0, "actions taken without a checkpoint");
    expect(!back.damaged || !back.error.isEmpty(), "damage without a reason");
    expect(back.brought || !back.error.isEmpty(), "nothing brought back, and no reason");
    return 0;
}
