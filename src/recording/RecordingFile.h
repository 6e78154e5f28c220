#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <variant>
#include <vector>

class QIODevice;
class QLockFile;
struct z_stream_s;

// One recording on disk: a gzip-compressed text file (zlib's gzip format, so `zcat` reads it),
// written by a thread of its own so that drawing never waits for the disk. Locked by a QLockFile
// (path + ".lock") for as long as the object lives, so that another program's start-up can tell a
// live recording from one left behind.
//
// append(), appendLater() and flush() belong to one thread, the owner's (the GUI thread); they only
// move bytes in memory and hand them over under a mutex, never touch the disk and never compress.
// Each flush ends in a deflate sync point, so a file cut anywhere reads back (readRecording) as
// everything flushed before the cut, in whole lines.
class RecordingFile {
  public:
    using Clock = std::chrono::steady_clock;

    // Creates the file (and its folder) and takes the lock; nullptr and `error` set when either
    // fails. An existing file is never overwritten: create() fails on it. Syncs at most once per
    // `syncInterval` (tests shorten it).
    static std::unique_ptr<RecordingFile>
    create(const QString& path, QString* error,
           std::chrono::milliseconds syncInterval = std::chrono::seconds(1));
    // Writes and syncs what is left, closes the file, releases the lock.
    ~RecordingFile();
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;

    // Appends whole lines (each ending in '\n') to the buffer; nothing reaches the file before
    // flush().
    void append(const QByteArray& lines);
    // Appends the line(s) that `make` returns, made on the writer thread in the order of appends
    // (for a checkpoint, whose compression would otherwise cost the drawing time). `make` must
    // not touch what the owner's thread changes meanwhile: give it a copy.
    void appendLater(std::function<QByteArray()> make);
    // Hands what was appended to the writer thread: compressed and written to the kernel (a
    // Z_SYNC_FLUSH, so that everything flushed can be read back whole even if the process dies),
    // and synced to disk with fdatasync at most once a second (a sync due later is done when its
    // second is over, also when no further flush comes). Never blocks on the disk.
    void flush();

    // Whether a write failed (a full disk, an I/O error), and the reason as the system gives it
    // ("No space left on device"), for the caller's sentence. After a failure further appends are
    // dropped. Readable from any thread at any time.
    bool failed() const { return failed_.load(); }
    QString error() const;

    // Blocks until everything flushed so far is written and synced (for tests and for the
    // program's end); syncs at once, without waiting for the second to be over.
    void waitWritten();
    QString path() const { return path_; }
    // How many times the file was synced so far (for tests).
    int syncs() const { return syncs_.load(); }

  private:
    using Piece = std::variant<QByteArray, std::function<QByteArray()>>;

    RecordingFile(QString path, std::unique_ptr<QLockFile> lock, int fd,
                  std::chrono::milliseconds syncInterval);
    // The writer thread's loop, and its steps.
    void run();
    void write(std::vector<Piece>& pieces);
    bool deflateInto(const QByteArray& text, int flushMode);
    bool writeOut(const char* data, qsizetype size);
    void sync();
    void finish();
    void fail(int error);

    const QString path_;
    const std::unique_ptr<QLockFile> lock_;
    const int fd_;
    const std::chrono::milliseconds syncInterval_;

    // The owner's side: appended since the last flush.
    std::vector<Piece> pending_;

    // Shared, under mutex_. A generation counts the flushes that brought something.
    mutable std::mutex mutex_;
    std::condition_variable wake_; // the writer waits for work or for a due sync
    std::condition_variable done_; // waitWritten() waits for a sync
    std::vector<Piece> queue_;
    quint64 flushed_ = 0;    // the newest generation handed over
    quint64 synced_ = 0;     // the newest generation on disk (or given up after a failure)
    quint64 syncWanted_ = 0; // a generation to sync at once
    bool stopping_ = false;
    QString error_;
    std::atomic<bool> failed_ = false;
    std::atomic<int> syncs_ = 0;

    // The writer's own.
    std::unique_ptr<z_stream_s> zip_;
    QByteArray out_;
    quint64 written_ = 0; // the newest generation handed to the kernel
    Clock::time_point lastSync_;

    std::thread writer_; // last: starts when everything above is ready
};

// Reads a recording back: the text of every whole line it holds, also from a file cut off in the
// middle (a power cut) or with garbage after some point (what comes before is kept; garbled
// compressed bytes may decode to a few wrong bytes before zlib notices, so the reader of the lines
// still checks each one); plain uncompressed text is read as it is. Never more than `limit` bytes
// of text (the rest ignored, `*cut` set). Empty when unreadable.
QByteArray readRecording(const QString& path, qsizetype limit = 1 << 30, bool* cut = nullptr);
// The same from bytes in memory (a recording's file read whole, or a fuzzer's input).
QByteArray readRecordingBytes(const QByteArray& bytes, qsizetype limit = 1 << 30,
                              bool* cut = nullptr);
// The same from a device open for reading; `*whole` tells whether the compressed text ended
// as a whole gzip file does, with nothing after it (plain text always does).
QByteArray readRecording(QIODevice& device, qsizetype limit, bool* cut, bool* whole = nullptr);
// Writes a whole recording to a device as one gzip member, as a drawing file keeps it: the
// reason of a failure of the compression, or empty (the device knows its own failures).
QString writeRecording(QIODevice& out, const QByteArray& text);
