#include "DrawingFile.h"

#include "BringBack.h"
#include "CheckpointData.h"
#include "RecordedLine.h"
#include "RecordingFile.h"
#include "canvas/PictureFile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace recording {

namespace {

constexpr QStringView kSuffix = u"quenzel";
// Far beyond any drawing a user makes (the recording folder keeps 200 MB in all): a file
// that inflates to more is a bomb.
constexpr qsizetype kMaxText = qsizetype(1) << 30;
bool holdsRecording(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray start = file.peek(32);
    return start.startsWith("\x1f\x8b") || start.startsWith("# quenzel recording ");
}

QString damaged() { return QString::fromUtf16(u"ファイルがこわれています。"); }

} // namespace

QString withDrawingSuffix(const QString& path) {
    return path.endsWith(u'.' + kSuffix.toString(), Qt::CaseInsensitive)
               ? path
               : path + u'.' + kSuffix.toString();
}

bool isDrawingFile(const QString& path) {
    if (QFileInfo(path).suffix().compare(kSuffix, Qt::CaseInsensitive) == 0) return true;
    return QImageReader::imageFormat(path).isEmpty() && holdsRecording(path);
}

QByteArray recordingOf(const Drawing& drawing) {
    const Canvas& canvas = drawing.canvas();
    return header(canvas.clientSize(), canvas.deviceRatio()) +
           checkpointLine(0, encode(drawing.snapshot()));
}

QString keep(const QByteArray& recording, const QString& path) {
    return picture::saveWith(path,
                             [&](QIODevice& file) { return writeRecording(file, recording); });
}

// Brought back in a drawing of its own, so that a file that fails half-way changes nothing.
Opened open(QIODevice& file, const QFont& font) {
    Opened opened;
    const auto fail = [&](const QString& why) {
        opened.error = why;
        return std::move(opened);
    };
    bool cut = false, whole = true;
    QByteArray text = readRecording(file, kMaxText, &cut, &whole);
    if (cut) return fail(QString::fromUtf16(u"大きすぎて開けません。"));
    const auto format = formatOf(QString::fromUtf8(text.left(text.indexOf('\n'))));
    if (!format) return fail(QString::fromUtf16(u"quenzel の絵のファイルではありません。"));
    if (*format > kFormat)
        return fail(QString::fromUtf16(u"新しい版の quenzel で残された絵なので、開けません。"));
    if (!whole) return fail(damaged());
    Drawing drawing(QSize(1, 1), font, {.end = [] {}, .openUrl = [](const QUrl&) {}});
    const BroughtBack back = bringBack(drawing, text);
    if (!back.brought || back.damaged) return fail(damaged());
    opened.drawing = drawing.snapshot();
    opened.recording = std::move(text);
    opened.endMs = back.endMs;
    return opened;
}

Opened open(const QString& path, const QFont& font) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Opened failed;
        failed.error = file.errorString();
        return failed;
    }
    return open(file, font);
}

} // namespace recording
