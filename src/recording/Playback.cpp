#include "Playback.h"

#include "CheckpointData.h"
#include "RecordedLine.h"

#include <QElapsedTimer>

#include <algorithm>

namespace {

// Beyond any screen: a recording that asks for more is damaged or hostile.
constexpr double kMaxDevicePixels = 16384;
// The actions after a checkpoint cost a fraction of a second to replay; a seek that takes
// this long is not playing a recording the program wrote, and stops there.
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

} // namespace

Playback::Playback(const QByteArray& recording) { read(recording); }

qint64 Playback::position() const {
    const qsizetype held = std::min<qsizetype>(next_, entries_.size());
    return held == 0 ? 0 : entries_[held - 1].film;
}

qint64 Playback::recordedPosition() const {
    const qsizetype held = std::min<qsizetype>(next_, entries_.size());
    return held == 0 ? 0 : entries_[held - 1].ms;
}

void Playback::read(const QByteArray& text) {
    qsizetype start = 0;
    qint64 lastMs = 0, film = 0;
    for (qsizetype end, n = 1; (end = text.indexOf('\n', start)) >= 0; start = end + 1, ++n) {
        const QString line = QString::fromUtf8(QByteArrayView(text).sliced(start, end - start));
        if (n == 1) {
            const auto format = recording::formatOf(line);
            if (!format || *format > recording::kFormat) {
                error_ = format ? QStringLiteral("a recording of a newer format (%1)").arg(*format)
                                : QStringLiteral("not a recording");
                return;
            }
            continue;
        }
        if (line.startsWith(u'#') || line.trimmed().isEmpty()) continue;
        QString error;
        auto entry = recording::parse(line, &error);
        if (!entry ||
            (entries_.empty() && !std::holds_alternative<recording::Checkpoint>(entry->what))) {
            damaged_ = true;
            error_ = QStringLiteral("line %1: %2")
                         .arg(n)
                         .arg(entry ? QStringLiteral("no checkpoint first") : error);
            break;
        }
        film += std::clamp<qint64>(entry->ms - lastMs, 0, kMaxPauseMs);
        lastMs = entry->ms;
        actions_ += std::holds_alternative<Action>(entry->what);
        entries_.push_back({film, entry->ms, std::move(entry->what)});
    }
    if (entries_.empty() && error_.isEmpty()) error_ = QStringLiteral("no checkpoint");
}

// The recording ends before `entry`: everything from it on is damage.
void Playback::cutAt(qsizetype entry, const QString& why) {
    for (qsizetype i = entry; i < qsizetype(entries_.size()); ++i)
        actions_ -= std::holds_alternative<Action>(entries_[i].what);
    entries_.resize(entry);
    damaged_ = true;
    error_ = why;
}

// Takes one entry into the drawing: an action, or the whole drawing of a checkpoint. An
// entry that cannot be taken ends the recording there, and leaves the drawing as it was.
bool Playback::take(Drawing& drawing, qsizetype entry) {
    if (const auto* checkpoint = std::get_if<Checkpoint>(&entries_[entry].what)) {
        QString error;
        const auto snapshot = recording::decode(checkpoint->data, &error);
        if (!snapshot) return cutAt(entry, error), false;
        drawing.restore(*snapshot);
        return true;
    }
    const Action& action = std::get<Action>(entries_[entry].what);
    if (!withinScreens(drawing, action))
        return cutAt(entry, QStringLiteral("beyond what a drawing holds")), false;
    drawing.take(action);
    return true;
}

// Where to take entries from to hold the first `target`: the drawing as it is, or the last
// checkpoint before the target where that lies on the way or the drawing is past it.
qsizetype Playback::startFor(qsizetype target) const {
    const qsizetype lowest = target < next_ ? 0 : next_;
    for (qsizetype i = target - 1; i >= lowest; --i)
        if (std::holds_alternative<Checkpoint>(entries_[i].what)) return i;
    return next_;
}

bool Playback::seek(Drawing& drawing, qint64 ms) {
    const Drawing::Replaying replaying(drawing);
    QElapsedTimer spent;
    spent.start();
    while (playable()) {
        const auto at = std::upper_bound(entries_.begin(), entries_.end(), ms,
                                         [](qint64 t, const Entry& e) { return t < e.film; });
        const qsizetype target = std::max<qsizetype>(at - entries_.begin(), 1);
        const qsizetype held = next_;
        const qsizetype from = startFor(target);
        next_ = from;
        bool cut = false;
        while (next_ < target && !cut) {
            cut = !take(drawing, next_);
            if (cut && next_ == from) next_ = held; // the checkpoint did not come in
            if (cut) break;
            ++next_;
            if (next_ < target && spent.elapsed() > kDeadlineMs) {
                cutAt(next_, QStringLiteral("too long to replay"));
                return true;
            }
        }
        if (!cut) return true;
        // What is left of the recording is played again to the moment, or its end.
    }
    return false;
}
