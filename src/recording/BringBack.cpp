#include "BringBack.h"

#include "CheckpointData.h"
#include "RecordedLine.h"

#include <QElapsedTimer>
#include <QList>

namespace recording {

namespace {

// Beyond any screen: a recording that asks for more is damaged or hostile.
constexpr double kMaxDevicePixels = 16384;
// A recording's tail after its last checkpoint costs a fraction of a second to replay;
// one that takes this long is not one the program wrote, and is cut short.
constexpr qint64 kDeadlineMs = 5000;

// Whether the drawing may take the action without a raster beyond any screen.
bool withinScreens(const Drawing& drawing, const Action& action) {
    QSizeF client = drawing.canvas().clientSize();
    double ratio = drawing.canvas().deviceRatio();
    if (const auto* size = std::get_if<action::ClientSize>(&action)) client = size->pixels;
    if (const auto* r = std::get_if<action::DeviceRatio>(&action)) ratio = r->ratio;
    if (const auto* picture = std::get_if<action::Picture>(&action))
        client = client.expandedTo(picture->image.size());
    return client.width() * ratio <= kMaxDevicePixels &&
           client.height() * ratio <= kMaxDevicePixels;
}

QList<QByteArrayView> linesOf(const QByteArray& text) {
    QList<QByteArrayView> lines;
    qsizetype start = 0;
    for (qsizetype end; (end = text.indexOf('\n', start)) >= 0; start = end + 1)
        lines << QByteArrayView(text).sliced(start, end - start);
    return lines;
}

bool isCheckpoint(QByteArrayView line) {
    const qsizetype blank = line.indexOf(' ');
    return line.startsWith('@') && blank > 0 && line.sliced(blank + 1).startsWith("checkpoint ");
}

} // namespace

bool endedByUser(const QByteArray& recording) {
    const QList<QByteArrayView> lines = linesOf(recording);
    return !lines.isEmpty() && isEnd(QString::fromUtf8(lines.back()));
}

BroughtBack bringBack(Drawing& drawing, const QByteArray& recording) {
    BroughtBack result;
    const QList<QByteArrayView> lines = linesOf(recording);
    const auto format = lines.isEmpty() ? std::nullopt : formatOf(QString::fromUtf8(lines[0]));
    if (!format) {
        result.error = QStringLiteral("not a recording");
        return result;
    }
    if (*format > kFormat) {
        result.error = QStringLiteral("a recording of a newer format (%1)").arg(*format);
        return result;
    }
    result.ended = isEnd(QString::fromUtf8(lines.back()));
    // The last checkpoint that reads; a later one that does not counts as damage.
    qsizetype from = lines.size();
    std::optional<Drawing::Snapshot> snapshot;
    while (!snapshot && --from > 0) {
        if (!isCheckpoint(lines[from])) continue;
        QString error;
        if (const auto entry = parse(QString::fromUtf8(lines[from]), &error))
            if (const auto* checkpoint = std::get_if<Checkpoint>(&entry->what)) {
                snapshot = decode(checkpoint->data, &error);
                result.endMs = entry->ms;
            }
        if (!snapshot) {
            result.damaged = true;
            result.error = QStringLiteral("line %1: %2").arg(from + 1).arg(error);
        }
    }
    if (!snapshot) {
        if (result.error.isEmpty()) result.error = QStringLiteral("no checkpoint");
        return result;
    }
    drawing.restore(*snapshot);
    result.brought = true;
    QElapsedTimer spent;
    spent.start();
    for (qsizetype i = from + 1; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]);
        if (line.startsWith(u'#') || line.trimmed().isEmpty()) continue;
        QString error;
        const auto entry = parse(line, &error);
        const auto* action = entry ? std::get_if<Action>(&entry->what) : nullptr;
        if (!action || !withinScreens(drawing, *action) || spent.elapsed() > kDeadlineMs) {
            result.damaged = true;
            result.error = QStringLiteral("line %1: %2")
                               .arg(i + 1)
                               .arg(action ? QStringLiteral("beyond what a drawing holds") : error);
            break;
        }
        drawing.take(*action);
        ++result.actions;
        result.endMs = entry->ms;
    }
    return result;
}

} // namespace recording
