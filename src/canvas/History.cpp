#include "History.h"

#include "Raster.h"

#include <algorithm>
#include <utility>

#include <sys/mman.h>
#include <unistd.h>

namespace {

// Copies the pixels of `rect`, which lies inside both images, from one to the other.
void copyRect(const QImage& from, QImage& to, const QRect& rect) {
    raster::copyPixels(from, rect, to, rect.topLeft());
}

// Takes the image's pages from the system at once where it can, which costs far less than a
// page fault at the first write of each; elsewhere writes them. (The page the image begins in
// is already taken: the allocator wrote its header there.)
void touchAll(QImage& image) {
    uchar* const begin = image.bits();
    uchar* const end = begin + image.sizeInBytes();
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    auto* const first = reinterpret_cast<uchar*>((std::uintptr_t(begin) + page - 1) / page * page);
    if (first < end && madvise(first, std::size_t(end - first), MADV_POPULATE_WRITE) == 0) return;
    image.fill(0);
}

} // namespace

History::History(Canvas& canvas, qsizetype budget) : canvas_(canvas), budget_(budget) {
    restart();
    canvas_.setResampleFollower([this] { followRatio(); });
}

History::~History() { canvas_.setResampleFollower({}); }

bool History::fits(qsizetype copies) const {
    return copies * canvas_.raster().sizeInBytes() <= budget_;
}

// What the budget keeps for the readied memory, whether it is readied yet or not: readying it
// never takes a step's room, nor holds more than the budget.
qsizetype History::reserveRoom() const { return fits(3) ? canvas_.raster().sizeInBytes() : 0; }

// A dropped step's pixels of the raster's size become the readied memory where there is none:
// memory written before, within the room kept for it.
void History::recycle(QImage& pixels) {
    if (!reserve_.isNull() || pixels.size() != canvas_.raster().size() || reserveRoom() == 0)
        return;
    reserve_ = std::move(pixels);
    reserve_.setDevicePixelRatio(canvas_.raster().devicePixelRatio());
}

// Starts afresh from the picture as it is. A raster too large to fit twice in the budget
// (a copy and a step of its size) keeps no history at all.
void History::restart(const Open& open) {
    steps_.clear();
    done_ = 0;
    stepBytes_ = 0;
    reserve_ = QImage();
    picture_ = fits(2) ? canvas_.raster().copy() : QImage();
    const QRect before(open.at, open.before.size());
    if (before.isEmpty() || !picture_.rect().contains(before) ||
        open.before.format() != picture_.format()) {
        canvas_.takeChanged();
        return;
    }
    raster::copyPixels(open.before, open.before.rect(), picture_, before.topLeft());
}

// Where the raster has grown since the last step, the copy will grow as it did, with the
// back colour, when the gesture ends.
History::Open History::open() const {
    const QRect changed = canvas_.changed() & canvas_.raster().rect();
    if (changed.isEmpty() || picture_.isNull()) return {};
    QImage before(changed.size(), picture_.format());
    before.fill(Qt::white);
    const QRect known = changed & picture_.rect();
    raster::copyPixels(picture_, known, before, known.topLeft() - changed.topLeft());
    return {changed.topLeft(), before};
}

// The raster only grows, and its new pixels are the back colour: the copy grows the same
// way. Should it ever be replaced by a smaller one, or be resampled unseen, the history
// starts afresh from it.
void History::followRaster() {
    const QSize size = canvas_.raster().size();
    if (size == picture_.size()) return;
    if (reserve_.size() != size) reserve_ = QImage(); // readied before the raster grew
    if (picture_.isNull() || size.expandedTo(picture_.size()) != size || !fits(2) ||
        picture_.devicePixelRatio() != canvas_.raster().devicePixelRatio())
        return restart();
    picture_ = Canvas::grow(picture_, size, picture_.devicePixelRatio());
}

// The canvas has just resampled its raster, from the copy's ratio to its own: the copy
// and the steps follow, pixel for pixel as the raster's, so that every picture the history
// can bring back is the one the raster would show had it been resampled then. What the
// gesture under way changed stays marked in the canvas, at its new place.
void History::followRatio() {
    if (picture_.isNull() || !fits(2)) return restart();
    const double k = Canvas::resampling(picture_.devicePixelRatio(), canvas_.deviceRatio());
    reserve_ = QImage();
    dropUntilFits(canvas_.raster().sizeInBytes() + reserveRoom(), k);
    for (Step& step : steps_) {
        const QRect rect(step.topLeft, step.pixels.size());
        step.pixels = raster::resample(step.pixels, step.topLeft, k);
        step.topLeft = raster::resampledRect(rect, k).topLeft();
    }
    // A step that resampling leaves without pixels would undo nothing to be seen.
    const auto empty = [](const Step& step) { return step.pixels.isNull(); };
    done_ -= std::size_t(std::count_if(steps_.begin(), steps_.begin() + qsizetype(done_), empty));
    std::erase_if(steps_, empty);
    stepBytes_ = 0;
    for (const Step& step : steps_)
        stepBytes_ += sizeOf(step);
    picture_ = Canvas::grow(picture_, canvas_.raster().size(), canvas_.deviceRatio());
}

// Drops the steps that would not fit beside `others` bytes once resampled by k (before
// any is, so that memory never holds more than the budget's worth of them): the oldest
// undoable first, then, with none left, the farthest redoable, so that those kept still
// lead one to the next.
void History::dropUntilFits(qsizetype others, double k) {
    const auto resampledSize = [k](const Step& step) {
        const QRect rect = raster::resampledRect(QRect(step.topLeft, step.pixels.size()), k);
        return qsizetype(rect.width()) * rect.height() * qsizetype(sizeof(QRgb)) + kStepOverhead;
    };
    qsizetype total = others;
    for (const Step& step : steps_)
        total += resampledSize(step);
    while (!steps_.empty() && total > budget_) {
        const bool undoable = done_ > 0;
        total -= resampledSize(undoable ? steps_.front() : steps_.back());
        if (undoable) {
            steps_.pop_front();
            --done_;
        } else {
            steps_.pop_back();
        }
    }
}

void History::endGesture() {
    followRaster();
    const QRect changed = canvas_.takeChanged() & picture_.rect();
    if (changed.isEmpty()) return;
    dropRedoable();
    steps_.push_back(takeBefore(changed));
    steps_.back().number = ++made_;
    stepBytes_ += sizeOf(steps_.back());
    ++done_;
    keepWithinBudget();
}

// The pixels of `changed` as they were before the gesture, as a step; the copy of the
// picture then follows the raster.
History::Step History::takeBefore(const QRect& changed) {
    const bool most = 2 * qint64(changed.width()) * changed.height() >=
                      qint64(picture_.width()) * picture_.height();
    if (most && reserve_.size() == picture_.size()) {
        Step whole{QPoint(0, 0), std::exchange(picture_, std::move(reserve_))};
        reserve_ = QImage();
        copyRect(canvas_.raster(), picture_, picture_.rect());
        return whole;
    }
    Step part{changed.topLeft(), picture_.copy(changed)};
    copyRect(canvas_.raster(), picture_, changed);
    return part;
}

void History::prepare() {
    const QImage& raster = canvas_.raster();
    if (reserve_.size() == raster.size() || picture_.isNull() || !fits(3)) return;
    reserve_ = QImage(raster.size(), raster.format());
    reserve_.setDevicePixelRatio(raster.devicePixelRatio());
    touchAll(reserve_);
}

bool History::undo() {
    endGesture();
    if (done_ == 0) return false;
    exchange(steps_[--done_]);
    return true;
}

bool History::redo() {
    endGesture();
    if (redoable() == 0) return false;
    exchange(steps_[done_++]);
    return true;
}

void History::exchange(Step& step) {
    lastMoved_ = step.number;
    ++moves_;
    canvas_.exchangePixels(step.pixels, step.topLeft);
    copyRect(canvas_.raster(), picture_, QRect(step.topLeft, step.pixels.size()));
}

void History::dropRedoable() {
    for (auto it = steps_.begin() + qsizetype(done_); it != steps_.end(); ++it) {
        stepBytes_ -= sizeOf(*it);
        recycle(it->pixels);
    }
    steps_.erase(steps_.begin() + qsizetype(done_), steps_.end());
}

// Only ever called with nothing to redo, so the oldest step is always an undoable one.
void History::keepWithinBudget() {
    while (!steps_.empty() && picture_.sizeInBytes() + reserveRoom() + stepBytes_ > budget_) {
        stepBytes_ -= sizeOf(steps_.front());
        recycle(steps_.front().pixels);
        steps_.pop_front();
        --done_;
    }
}
