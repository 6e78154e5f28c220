#pragma once

#include "Canvas.h"

#include <QImage>
#include <QPoint>

#include <cstdint>
#include <deque>

// The picture's history: one step per gesture that drew, taken back and brought back pixel
// for pixel over the whole raster. The window says where a gesture ends; everything the
// canvas drew since the last end belongs to it. Only pixels are kept: settings, the
// current position and everything outside the canvas stay as they are when a step is
// undone or redone.
//
// It keeps a copy of the picture as of the last step, so that a step needs only the pixels
// of the rectangle it changed (or, where that is most of the picture, the whole old copy),
// and only on one side: undoing or redoing exchanges them with the raster's, which turns a
// step's "before" into its "after" and back. Not QUndoStack:
// that bounds its stack by count, and a step here ranges from one dot to a whole cleared
// picture, so the bound is memory, the oldest steps dropped first.
//
// When the canvas resamples its raster for a screen of another density, the copy and every
// step are resampled the same way, so that each undo and redo still takes back or brings
// back its gesture, now at the new resolution; the steps that no longer fit the budget are
// dropped, the oldest undoable first, then the farthest redoable.
class History {
  public:
    static constexpr qsizetype kDefaultBudget = qsizetype(256) << 20; // bytes
    // What a step holds beyond its pixels (the image's header and its place in the list),
    // counted so that a history of single dots stays within the budget too.
    static constexpr qsizetype kStepOverhead = 256;

    // Starts with no steps and the canvas's picture as it is. `budget` bounds bytes(); a
    // step that cannot fit even alone is not kept, and a raster whose size in bytes is
    // more than half the budget keeps no history. It follows the canvas's resampling for
    // as long as it lives.
    explicit History(Canvas& canvas, qsizetype budget = kDefaultBudget);
    ~History();
    History(const History&) = delete;
    History& operator=(const History&) = delete;

    // Ends the current gesture: what the canvas changed since the last step becomes one
    // step, and the steps that could have been redone are gone. Changing nothing records
    // nothing and keeps them.
    void endGesture();
    // Each ends the current gesture first; false (and no change) when there is no step.
    bool undo();
    bool redo();
    // Readies picture-sized memory for the next step that changes most of the picture: the
    // whole old copy then becomes the step, and the raster is copied into memory already
    // written once. Without it that copy goes to fresh pages, whose first writes cost the
    // kernel far more than the copy itself. Call when idle. Nothing is readied where three
    // rasters would not fit in the budget; where they do, the budget keeps room for this
    // memory whether it is readied or not, and a whole picture that a step drops becomes it
    // again, so that once the budget is full no step takes fresh memory for the picture.
    void prepare();
    // What the gesture still open has changed so far (the canvas's changed bounds), as it
    // was before: with the picture, all a checkpoint keeps of the history.
    struct Open {
        QPoint at;
        QImage before;
    };
    Open open() const;
    // Starts afresh from the picture as it is, with no steps but the open gesture: for a
    // picture that came from elsewhere rather than from drawing.
    void restart(const Open& open = {});

    int undoable() const { return int(done_); }
    int redoable() const { return int(steps_.size() - done_); }
    // Steps are numbered from 1 as they are made: the number of the newest, and of the step
    // the last undo or redo took back or brought back (0: none yet).
    std::uint64_t made() const { return made_; }
    std::uint64_t lastMoved() const { return lastMoved_; }
    // How many times an undo or a redo has moved a step.
    std::uint64_t moves() const { return moves_; }
    // The bytes held: the picture copy, the readied memory and every step, overhead
    // included.
    qsizetype bytes() const { return picture_.sizeInBytes() + reserve_.sizeInBytes() + stepBytes_; }

  private:
    struct Step {
        QPoint topLeft;
        QImage pixels; // the other side of the step: before it while done, after it while undone
        std::uint64_t number = 0;
    };

    bool fits(qsizetype rasterCopies) const;
    qsizetype reserveRoom() const;
    void recycle(QImage& pixels);
    void followRaster();
    void followRatio();
    void dropUntilFits(qsizetype others, double k);
    Step takeBefore(const QRect& changed);
    void exchange(Step& step);
    void dropRedoable();
    void keepWithinBudget();
    static qsizetype sizeOf(const Step& step) { return step.pixels.sizeInBytes() + kStepOverhead; }

    Canvas& canvas_;
    qsizetype budget_;
    QImage picture_; // the raster as of the last step (or undo or redo)
    QImage reserve_; // null, or the raster's size and format, written once
    std::deque<Step> steps_;
    std::size_t done_ = 0; // steps_[0, done_) can be undone, the rest redone
    qsizetype stepBytes_ = 0;
    std::uint64_t made_ = 0;
    std::uint64_t lastMoved_ = 0;
    std::uint64_t moves_ = 0;
};
