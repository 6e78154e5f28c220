#include "Recorder.h"

#include "CheckpointData.h"
#include "RecordedLine.h"

Recorder::Recorder(Drawing& drawing, std::unique_ptr<RecordingFile> file, Checkpoints every)
    : Recorder(drawing, std::move(file), {}, 0, every) {}

// A checkpoint first also where the recording goes on: what follows needs nothing before it.
Recorder::Recorder(Drawing& drawing, std::unique_ptr<RecordingFile> file,
                   const QByteArray& recording, qint64 endMs, Checkpoints every)
    : drawing_(drawing), file_(std::move(file)), every_(every),
      startNs_(Drawing::clockNs() - endMs * 1'000'000) {
    const Canvas& canvas = drawing_.canvas();
    file_->append(recording.isEmpty() ? recording::header(canvas.clientSize(), canvas.deviceRatio())
                                      : recording);
    movesSeen_ = drawing_.history().moves();
    taken_.reserve(kKeptAtOnce);
    checkpoint(endMs);
    flush(endMs); // brings the drawing back even if the program ends before any action
    // Lines of a gesture that goes on wait at most a second, also when the user then stops.
    idle_.setSingleShot(true);
    idle_.setInterval(int(kFlushMs));
    QObject::connect(&idle_, &QTimer::timeout, [this] { flush(elapsedMs()); });
    drawing_.setTaken([this](const Action& action, qint64 costNs, qint64 doneNs) {
        taken(action, costNs, doneNs);
    });
}

Recorder::~Recorder() {
    drawing_.setTaken({});
    flush(elapsedMs());
}

void Recorder::finish() {
    handOver();
    file_->append(recording::endLine());
    flush(elapsedMs());
}

// What ends a gesture (anything but the pointer moving and the clock's steps) is written
// at once; the rest within a second.
void Recorder::taken(const Action& action, qint64 costNs, qint64 doneNs) {
    const qint64 now = (doneNs - startNs_) / 1'000'000;
    workSinceCheckpoint_ += costNs + kReadBackNs;
    // An undo or redo that a replay from the checkpoint could not repeat is written as the
    // checkpoint that follows it, so that no cut of the file can hold the one without the
    // other; the action stays in the recording as a comment.
    if (reachedBehindCheckpoint(std::holds_alternative<action::Undo>(action))) {
        taken_.push_back({now, true, action});
        checkpoint(now);
    } else {
        taken_.push_back({now, false, action});
        if (workSinceCheckpoint_ > every_.replayBudgetMs * 1'000'000 &&
            now - checkpointAt_ >= every_.minGapMs)
            checkpoint(now);
    }
    // A long stroke goes in parts of a size the allocator keeps at hand, not in one list that
    // grows by copies into fresh memory.
    if (taken_.size() == kKeptAtOnce) handOver();
    const bool gestureGoesOn =
        std::holds_alternative<action::Steps>(action) ||
        (std::holds_alternative<action::OnCanvas>(action) &&
         std::get<action::OnCanvas>(action).pointer == action::Pointer::Move);
    if (!gestureGoesOn || now - flushedAt_ >= kFlushMs)
        flush(now);
    else if (!idle_.isActive())
        idle_.start();
}

// A replay from the checkpoint starts with no steps to undo or redo: an undo or a redo that
// moved a step made before it, or an undo that did nothing though steps were made since (the
// budget dropped them, which a replay's smaller history may not), would come out otherwise
// there.
bool Recorder::reachedBehindCheckpoint(bool undo) {
    const History& history = drawing_.history();
    if (history.moves() == movesSeen_) return undo && history.made() > madeAtCheckpoint_;
    movesSeen_ = history.moves();
    return history.lastMoved() <= madeAtCheckpoint_;
}

void Recorder::checkpoint(qint64 now) {
    handOver();
    // Taken now, compressed on the file's thread.
    file_->appendLater([snapshot = drawing_.snapshot(), now] {
        return recording::checkpointLine(now, recording::encode(snapshot));
    });
    checkpointAt_ = now;
    workSinceCheckpoint_ = 0;
    madeAtCheckpoint_ = drawing_.history().made();
}

void Recorder::checkpoint() { checkpoint(elapsedMs()); }

QByteArray Recorder::recording() {
    flush(elapsedMs());
    file_->waitWritten();
    return file_->failed() ? QByteArray() : readRecording(file_->path());
}

qint64 Recorder::elapsedMs() const { return (Drawing::clockNs() - startNs_) / 1'000'000; }

// The actions kept so far go to the file, which makes their lines on its own thread, in order
// with what else it was given.
void Recorder::handOver() {
    if (taken_.empty()) return;
    file_->appendLater([taken = std::exchange(taken_, {})] { return recording::lines(taken); });
    taken_.reserve(kKeptAtOnce);
}

void Recorder::flush(qint64 now) {
    handOver();
    file_->flush();
    flushedAt_ = now;
    idle_.stop();
}
