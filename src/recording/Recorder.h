#pragma once

#include "RecordedLine.h"
#include "RecordingFile.h"
#include "drawing/Drawing.h"

#include <QTimer>

#include <memory>
#include <vector>

// Writes a drawing's actions to its recording as the drawing takes them. The drawing never
// waits for the disk: the actions gather in memory and go to the file's own thread, which makes
// their lines, at the end of each gesture, and those of a gesture that goes on within a second
// (by the event loop's clock, so also when the user stops in the middle of one).
//
// The recording begins with a checkpoint of the drawing as it stands, and gains one
// whenever replaying from the last would cost more than a budget (the drawing's own work, and
// reading the lines back), at most every so often, and at once after an undo or a redo that reaches
// behind the last checkpoint (the history a replay from it has does not go so far back; the
// checkpoint then stands for the action). Bringing back any moment then costs one checkpoint and
// that little replay.
struct RecorderCheckpoints {
    qint64 replayBudgetMs = 150;
    qint64 minGapMs = 5000;
};

class Recorder {
  public:
    static constexpr qint64 kFlushMs = 1000;
    // What reading a line back costs a replay besides the drawing's work (about 0.6 to 1.5 µs
    // here): for cheap actions, pointer movements above all, it is most of the replay.
    static constexpr qint64 kReadBackNs = 1500;
    using Checkpoints = RecorderCheckpoints;
    // Actions kept before they go to the file's thread in one part (it writes them at the
    // next flush): about 64 KB, more than a second of a stroke at the pointer's pace.
    static constexpr std::size_t kKeptAtOnce = 1024;

    // From now on every action the drawing takes goes to `file`.
    Recorder(Drawing& drawing, std::unique_ptr<RecordingFile> file, Checkpoints every = {});
    // The same for a drawing that is where `recording` (whole lines, its header first) ends,
    // at its time `endMs`: the file begins with all of it and goes on from there, so that
    // it holds the whole drawing from its start.
    Recorder(Drawing& drawing, std::unique_ptr<RecordingFile> file, const QByteArray& recording,
             qint64 endMs, Checkpoints every = {});
    // Hands the rest to the file, which writes and syncs it as it closes.
    ~Recorder();

    // The user ended the program: the recording says so, and the next start is blank.
    void finish();
    // Whether the file failed (a full disk, say): drawing goes on unrecorded.
    bool failed() const { return file_->failed(); }
    QString path() const { return file_->path(); }
    // Takes a checkpoint now: for a drawing that came from elsewhere, not from an action.
    void checkpoint();
    // The whole recording so far, once everything taken is on disk: the making-of of the
    // drawing from its start; empty where the file failed. Waits for the file's thread.
    QByteArray recording();

  private:
    void taken(const Action& action, qint64 costNs, qint64 doneNs);
    bool reachedBehindCheckpoint(bool undo);
    void checkpoint(qint64 now);
    qint64 elapsedMs() const;
    void handOver();
    void flush(qint64 now);

    Drawing& drawing_;
    std::unique_ptr<RecordingFile> file_;
    Checkpoints every_;
    qint64 startNs_;                      // when the recording began, on Drawing::clockNs()
    std::vector<recording::Taken> taken_; // not yet handed to the file
    qint64 flushedAt_ = 0;                // ms since the recording began
    QTimer idle_; // hands them over once the lines of a gesture going on have waited a second
    qint64 checkpointAt_ = 0;            // ms since the recording began
    qint64 workSinceCheckpoint_ = 0;     // ns a replay from the checkpoint would take
    std::uint64_t madeAtCheckpoint_ = 0; // the history's newest step then
    std::uint64_t movesSeen_ = 0;        // the history's undo and redo moves so far
};
