#include "Recorder.h"

#include "CheckpointData.h"
#include "RecordedLine.h"

Recorder::Recorder(Drawing& drawing, std::unique_ptr<RecordingFile> file, Checkpoints every)
    : Recorder(drawing, std::move(file), {}, 0) {
    every_ = every;
}

// A checkpoint first also where the recording goes on: what follows needs nothing before it.
Recorder::Recorder(Drawing& drawing, std::unique_ptr<RecordingFile> file,
                   const QByteArray& recording, qint64 endMs)
    : drawing_(drawing), file_(std::move(file)), startMs_(endMs) {
    clock_.start();
    const Canvas& canvas = drawing_.canvas();
    lines_ = recording.isEmpty() ? recording::header(canvas.clientSize(), canvas.deviceRatio())
                                 : recording;
    movesSeen_ = drawing_.history().moves();
    checkpoint(now());
    flush(); // brings the drawing back even if the program ends before any action
    // Lines of a gesture that goes on wait at most a second, also when the user then stops.
    idle_.setSingleShot(true);
    idle_.setInterval(int(kFlushMs));
    QObject::connect(&idle_, &QTimer::timeout, [this] { flush(); });
    drawing_.setTaken([this](const Action& action, qint64 ns) { taken(action, ns); });
}

Recorder::~Recorder() {
    drawing_.setTaken({});
    flush();
}

QByteArray Recorder::recording() {
    flush();
    file_->waitWritten();
    return file_->failed() ? QByteArray() : readRecording(file_->path());
}

void Recorder::finish() {
    lines_ += recording::endLine();
    flush();
}

// What ends a gesture (anything but the pointer moving and the clock's steps) is written
// at once; the rest within a second.
void Recorder::taken(const Action& action, qint64 nanoseconds) {
    const qint64 now = this->now();
    workSinceCheckpoint_ += nanoseconds + kReadBackNs;
    // An undo or redo that a replay from the checkpoint could not repeat is written as the
    // checkpoint that follows it, so that no cut of the file can hold the one without the
    // other; the action stays in the recording as a comment.
    if (reachedBehindCheckpoint(std::holds_alternative<action::Undo>(action))) {
        lines_ += "# ";
        recording::appendLine(lines_, now, action);
        checkpoint(now);
    } else if (std::holds_alternative<action::Picture>(action)) {
        // A picture's PNG is made on the file's thread, as a checkpoint's compression is.
        file_->append(std::exchange(lines_, {}));
        file_->appendLater([now, action] { return recording::line(now, action); });
    } else {
        recording::appendLine(lines_, now, action);
        if (workSinceCheckpoint_ > every_.replayBudgetMs * 1'000'000 &&
            now - checkpointAt_ >= every_.minGapMs)
            checkpoint(now);
    }
    const bool gestureGoesOn =
        std::holds_alternative<action::Steps>(action) ||
        (std::holds_alternative<action::OnCanvas>(action) &&
         std::get<action::OnCanvas>(action).pointer == action::Pointer::Move);
    if (!gestureGoesOn || now - flushedAt_ >= kFlushMs)
        flush();
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

void Recorder::checkpoint() { checkpoint(now()); }

void Recorder::checkpoint(qint64 now) {
    file_->append(std::exchange(lines_, {}));
    // Taken now, compressed on the file's thread.
    file_->appendLater([snapshot = drawing_.snapshot(), now] {
        return recording::checkpointLine(now, recording::encode(snapshot));
    });
    checkpointAt_ = now;
    workSinceCheckpoint_ = 0;
    madeAtCheckpoint_ = drawing_.history().made();
}

void Recorder::flush() {
    file_->append(std::exchange(lines_, {}));
    file_->flush();
    flushedAt_ = now();
    idle_.stop();
}
