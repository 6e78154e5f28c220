#pragma once

#include "RecordedLine.h"
#include "drawing/Drawing.h"

#include <QByteArray>
#include <QString>

#include <variant>
#include <vector>

// A recording played back into a drawing: the drawing at any moment of the film. The
// film's time is the recording's with every pause longer than kMaxPauseMs shortened to it.
// Going forward takes the actions between; going back, or far forward, starts from the
// checkpoint before the moment, so that any moment costs one checkpoint and the actions
// after it. Bringing a drawing back after a crash is playing its recording to the end. What
// the drawing once did beyond itself (END, the links) is not done again.
//
// A damaged recording plays up to its last whole action before the damage: a line that
// does not read, a checkpoint that does not decode, an action asking for a raster beyond
// any screen, or replaying that takes longer than any the program wrote ends it there.
class Playback {
  public:
    static constexpr qint64 kMaxPauseMs = 2000;

    explicit Playback(const QByteArray& recording);

    // Whether there is anything to play (a checkpoint to start from), and why not.
    bool playable() const { return !entries_.empty(); }
    bool damaged() const { return damaged_; }
    QString error() const { return error_; }
    // The film's length, and where the drawing played to, in ms.
    qint64 length() const { return entries_.empty() ? 0 : entries_.back().film; }
    qint64 position() const;
    // The recording's own time of the last entry taken (ms since it began, pauses and all).
    qint64 recordedPosition() const;
    // How many actions it holds (checkpoints not counted).
    qsizetype actions() const { return actions_; }

    // Brings `drawing` to the moment `ms` of the film (clamped to it): everything recorded
    // at or before it has been taken. False where there is nothing to play.
    bool seek(Drawing& drawing, qint64 ms);

  private:
    using Checkpoint = recording::Checkpoint;
    struct Entry {
        qint64 film;
        qint64 ms;
        std::variant<Action, Checkpoint> what;
    };
    void read(const QByteArray& recording);
    void cutAt(qsizetype entry, const QString& why);
    bool take(Drawing& drawing, qsizetype entry);
    qsizetype startFor(qsizetype target) const;

    std::vector<Entry> entries_;
    qsizetype next_ = 0; // entries [0, next_) are in the drawing played into
    qsizetype actions_ = 0;
    bool damaged_ = false;
    QString error_;
};
