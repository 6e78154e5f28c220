#include "RecordingFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <iterator>

namespace {

// gzip framing for deflate and inflate: zlib's windowBits plus 16.
constexpr int kGzipWindow = 15 + 16;
constexpr qsizetype kChunk = 64 * 1024;

QString reason(int error) { return qt_error_string(error); }

bool startGzip(z_stream& zip) {
    return deflateInit2(&zip, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindow, 8,
                        Z_DEFAULT_STRATEGY) == Z_OK;
}

// Opens, syncs and closes a folder, so that a file made in it outlives a power cut.
void syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

std::unique_ptr<RecordingFile> RecordingFile::create(const QString& path, QString* error,
                                                     std::chrono::milliseconds syncInterval) {
    const auto failure = [error](int code) {
        if (error) *error = reason(code);
        return nullptr;
    };
    if (path.isEmpty()) return failure(ENOENT);
    errno = 0;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return failure(errno ? errno : ENOENT);
    // The lock before the file, so that no other program sees the new file unlocked.
    auto lock = std::make_unique<QLockFile>(path + QStringLiteral(".lock"));
    lock->setStaleLockTime(0); // only a lock whose process is gone is stale
    errno = 0;
    if (!lock->tryLock(0))
        return failure(lock->error() == QLockFile::LockFailedError ? EEXIST : errno ? errno : EIO);
    // O_EXCL: a recording is never overwritten.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return failure(errno);
    return std::unique_ptr<RecordingFile>(
        new RecordingFile(path, std::move(lock), fd, syncInterval));
}

RecordingFile::RecordingFile(QString path, std::unique_ptr<QLockFile> lock, int fd,
                             std::chrono::milliseconds syncInterval)
    : path_(std::move(path)), lock_(std::move(lock)), fd_(fd), syncInterval_(syncInterval),
      zip_(std::make_unique<z_stream>()), lastSync_(Clock::now() - syncInterval) {
    if (!startGzip(*zip_)) fail(ENOMEM);
    writer_ = std::thread([this] { run(); });
}

RecordingFile::~RecordingFile() {
    flush();
    {
        std::lock_guard guard(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    writer_.join();
    lock_->unlock();
}

void RecordingFile::append(const QByteArray& lines) {
    if (failed_ || lines.isEmpty()) return;
    if (!pending_.empty() && std::holds_alternative<QByteArray>(pending_.back()))
        std::get<QByteArray>(pending_.back()) += lines;
    else
        pending_.emplace_back(lines);
}

void RecordingFile::appendLater(std::function<QByteArray()> make) {
    if (!failed_) pending_.emplace_back(std::move(make));
}

void RecordingFile::flush() {
    if (pending_.empty()) return;
    {
        std::lock_guard guard(mutex_);
        std::move(pending_.begin(), pending_.end(), std::back_inserter(queue_));
        ++flushed_;
    }
    pending_.clear();
    wake_.notify_one();
}

QString RecordingFile::error() const {
    std::lock_guard guard(mutex_);
    return error_;
}

void RecordingFile::waitWritten() {
    std::unique_lock lock(mutex_);
    const quint64 target = flushed_;
    syncWanted_ = std::max(syncWanted_, target);
    wake_.notify_one();
    done_.wait(lock, [&] { return synced_ >= target || failed_; });
}

// Waits for flushed pieces, or for the end of the second in which a sync is due; writes with
// the mutex released, so that the owner's flush() never waits for the disk.
void RecordingFile::run() {
    // Below the drawing: waking the writer should not make the kernel put the drawing aside.
    // (Linux takes a thread's id for a thread's own priority.)
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
    std::unique_lock lock(mutex_);
    const auto ready = [this] { return !queue_.empty() || stopping_ || syncWanted_ > synced_; };
    for (;;) {
        if (written_ > synced_)
            wake_.wait_until(lock, lastSync_ + syncInterval_, ready);
        else
            wake_.wait(lock, ready);
        std::vector<Piece> pieces = std::exchange(queue_, {});
        const quint64 generation = flushed_;
        const bool stop = stopping_;
        const bool urgent = stop || syncWanted_ > synced_;
        lock.unlock();

        if (!pieces.empty() && !failed_) write(pieces);
        written_ = generation;
        const bool due = urgent || Clock::now() >= lastSync_ + syncInterval_;
        const bool syncing = written_ > synced_ && due && !failed_;
        if (stop)
            finish(); // syncs once, after the trailer
        else if (syncing)
            sync();
        pieces.clear(); // the pieces' functions go outside the lock too

        lock.lock();
        if (syncing || failed_) synced_ = written_;
        done_.notify_all();
        if (stop) return;
    }
}

void RecordingFile::write(std::vector<Piece>& pieces) {
    for (Piece& piece : pieces) {
        auto* text = std::get_if<QByteArray>(&piece);
        if (!deflateInto(text ? *text : std::get<1>(piece)(), Z_NO_FLUSH)) return;
    }
    // A sync point: everything so far decodes without what follows.
    if (deflateInto({}, Z_SYNC_FLUSH) && writeOut(out_.constData(), out_.size())) out_.clear();
}

// Compresses `text` onto out_; nothing is written yet.
bool RecordingFile::deflateInto(const QByteArray& text, int flushMode) {
    z_stream& zip = *zip_;
    zip.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.constData()));
    zip.avail_in = static_cast<uInt>(text.size());
    char chunk[kChunk];
    do {
        zip.next_out = reinterpret_cast<Bytef*>(chunk);
        zip.avail_out = kChunk;
        const int result = deflate(&zip, flushMode);
        if (result == Z_STREAM_ERROR) {
            fail(EIO);
            return false;
        }
        out_.append(chunk, kChunk - zip.avail_out);
    } while (zip.avail_out == 0);
    return true;
}

bool RecordingFile::writeOut(const char* data, qsizetype size) {
    while (size > 0) {
        const ssize_t written = ::write(fd_, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) {
            fail(errno);
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

void RecordingFile::sync() {
    if (::fdatasync(fd_) != 0) return fail(errno);
    // The folder once, so that the file's name is on disk too.
    if (syncs_++ == 0) syncFolder(QFileInfo(path_).absolutePath());
    lastSync_ = Clock::now();
}

// The gzip trailer, so that the file ends as a whole gzip file, then the last sync.
void RecordingFile::finish() {
    if (!failed_ && deflateInto({}, Z_FINISH) && writeOut(out_.constData(), out_.size())) sync();
    deflateEnd(zip_.get());
    ::close(fd_);
}

void RecordingFile::fail(int error) {
    std::lock_guard guard(mutex_);
    if (failed_) return;
    error_ = reason(error);
    failed_ = true;
}

namespace {

// In chunks: QIODevice::read(limit) would take memory for the whole limit at once.
QByteArray readPlain(QIODevice& file, qsizetype limit, bool* cut) {
    QByteArray text;
    char chunk[kChunk];
    qint64 read = 0;
    while (text.size() < limit &&
           (read = file.read(chunk, std::min<qint64>(kChunk, limit - text.size()))) > 0)
        text.append(chunk, read);
    if (cut) *cut = !file.atEnd();
    return text;
}

// Inflates gzip members one after another until the input ends, breaks off or turns to garbage;
// what came out before stays. Whole when the input ended right after a member.
QByteArray readGzip(QIODevice& file, qsizetype limit, bool* cut, bool* whole) {
    z_stream zip{};
    if (inflateInit2(&zip, kGzipWindow) != Z_OK) return {};
    QByteArray text;
    char in[kChunk];
    char out[kChunk];
    int result = Z_OK;
    bool memberEnded = false;
    while (text.size() <= limit && (result == Z_OK || result == Z_BUF_ERROR)) {
        if (zip.avail_in == 0) {
            const qint64 read = file.read(in, kChunk);
            if (read <= 0) break;
            zip.next_in = reinterpret_cast<Bytef*>(in);
            zip.avail_in = static_cast<uInt>(read);
        }
        zip.next_out = reinterpret_cast<Bytef*>(out);
        zip.avail_out = kChunk;
        result = inflate(&zip, Z_NO_FLUSH);
        text.append(out, kChunk - zip.avail_out);
        memberEnded = result == Z_STREAM_END;
        if (memberEnded) result = inflateReset(&zip); // another member may follow
    }
    if (whole) *whole = memberEnded && zip.avail_in == 0 && file.atEnd();
    inflateEnd(&zip);
    if (text.size() > limit) {
        text.truncate(limit);
        if (cut) *cut = true;
        if (whole) *whole = false;
    }
    return text;
}

// Whole lines of a recording from a device open for reading, gzip or plain.
} // namespace

QByteArray readRecording(const QString& path, qsizetype limit, bool* cut) {
    if (cut) *cut = false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return readRecording(file, limit, cut);
}

QByteArray readRecordingBytes(const QByteArray& bytes, qsizetype limit, bool* cut) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readRecording(buffer, limit, cut);
}

QByteArray readRecording(QIODevice& device, qsizetype limit, bool* cut, bool* whole) {
    if (cut) *cut = false;
    if (whole) *whole = true;
    QByteArray text = device.peek(2) == "\x1f\x8b" ? readGzip(device, limit, cut, whole)
                                                   : readPlain(device, limit, cut);
    text.truncate(text.lastIndexOf('\n') + 1); // whole lines only
    return text;
}

// Written as it is compressed.
QString writeRecording(QIODevice& out, const QByteArray& text) {
    z_stream zip{};
    if (!startGzip(zip))
        return QStringLiteral("zlib: %1").arg(QString::fromLatin1(zError(Z_MEM_ERROR)));
    zip.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.constData()));
    zip.avail_in = static_cast<uInt>(text.size());
    char chunk[kChunk];
    int result = Z_OK;
    while (result == Z_OK) {
        zip.next_out = reinterpret_cast<Bytef*>(chunk);
        zip.avail_out = kChunk;
        result = deflate(&zip, Z_FINISH);
        const qint64 size = kChunk - zip.avail_out;
        if (out.write(chunk, size) != size) break; // the device names the reason
    }
    deflateEnd(&zip);
    return {};
}
