// The recording on disk: writing, syncing, reading back what survives a cut or garbage, a full or
// read-only disk (a real tmpfs in a mount namespace of this process alone), locks of running and
// of ended programs, and what the folder keeps. Files go to a folder of the test's own.
#include "recording/RecordingFile.h"
#include "recording/RecordingFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

using namespace std::chrono_literals;

class Recording : public testing::Test {
  protected:
    ~Recording() override {
        if (!mounted_.isEmpty()) umount(qPrintable(mounted_));
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

    std::unique_ptr<RecordingFile> create(const QString& file,
                                          std::chrono::milliseconds sync = 1s) {
        QString error;
        auto recording = RecordingFile::create(file, &error, sync);
        EXPECT_TRUE(recording) << qPrintable(error);
        return recording;
    }
    static void write(const QString& file, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(file).path());
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    }
    static QByteArray read(const QString& file) {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    // The files' names, to compare lists readably.
    static std::string names(const QStringList& files) {
        QStringList names;
        for (const QString& file : files)
            names << QFileInfo(file).fileName();
        return names.join(u' ').toStdString();
    }
    // Lines that hardly compress: base64 of random bytes.
    static QByteArray noise(qsizetype lines) {
        QByteArray text;
        for (qsizetype i = 0; i < lines; ++i) {
            QByteArray bytes(56, Qt::Uninitialized);
            QRandomGenerator::global()->fillRange(reinterpret_cast<quint32*>(bytes.data()), 14);
            text += bytes.toBase64() + '\n';
        }
        return text;
    }
    // A 64 KiB tmpfs on the folder `name`, seen by this process only and gone with it.
    bool mountSmallDisk(const QString& name) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr))
            return false;
        mounted_ = path(name);
        return QDir().mkpath(mounted_) &&
               mount("tmpfs", qPrintable(mounted_), "tmpfs", 0, "size=64k") == 0;
    }
    // The lock file a program leaves when it ends without unlocking: this program's own, naming
    // a process that is gone.
    QByteArray staleLock() {
        QLockFile own(path("own.lock"));
        EXPECT_TRUE(own.tryLock(0));
        const QByteArray contents = read(path("own.lock"));
        own.unlock();
        const pid_t child = fork();
        if (child == 0) _exit(0);
        waitpid(child, nullptr, 0);
        return QByteArray::number(child) + contents.mid(contents.indexOf('\n'));
    }

    QTemporaryDir dir_{QDir::current().filePath(QStringLiteral("recording-XXXXXX"))};
    QString mounted_;
};

TEST_F(Recording, WhatWasFlushedReadsBackInTheOrderOfAppendsAndZcatReadsTheClosedFile) {
    const QString file = path("new/folder/a.qrec.gz");
    auto recording = create(file);
    QString error;
    EXPECT_FALSE(RecordingFile::create(file, &error)); // held, and never overwritten
    EXPECT_EQ(error, qt_error_string(EEXIST));
    recording->append("@0 header\n");
    recording->appendLater([] { return QByteArray("@5 checkpoint made later\n"); });
    recording->append("@9 move 1 2\n");
    recording->waitWritten();
    EXPECT_EQ(QFileInfo(file).size(), 0);
    recording->flush();
    recording->waitWritten();
    const QByteArray flushed = "@0 header\n@5 checkpoint made later\n@9 move 1 2\n";
    EXPECT_EQ(readRecording(file), flushed);
    recording->append("@12 up 1 2\n");
    EXPECT_TRUE(QFile::exists(file + ".lock"));
    recording.reset();
    EXPECT_FALSE(QFile::exists(file + ".lock"));
    QProcess zcat;
    zcat.start(QStringLiteral("zcat"), {file});
    ASSERT_TRUE(zcat.waitForFinished());
    EXPECT_EQ(zcat.exitCode(), 0);
    EXPECT_EQ(zcat.readAllStandardOutput(), flushed + "@12 up 1 2\n");
}

TEST_F(Recording, SyncsAtMostOncePerIntervalAndADueSyncComesWithoutAFlush) {
    const auto interval = 200ms;
    auto recording = create(path("a.qrec.gz"), interval);
    const auto start = RecordingFile::Clock::now();
    while (RecordingFile::Clock::now() - start < 1s) {
        recording->append("@0 move 1 1\n");
        recording->flush();
        std::this_thread::sleep_for(5ms);
    }
    const int syncs = recording->syncs();
    // n syncs at least an interval apart, the first at the first flush.
    EXPECT_LE(syncs, (RecordingFile::Clock::now() - start) / interval + 1);
    EXPECT_GE(syncs, 2);
    std::this_thread::sleep_for(3 * interval);
    const int afterPause = recording->syncs();
    EXPECT_LE(afterPause, syncs + 1);
    recording->waitWritten(); // all synced already: no sync more
    EXPECT_EQ(recording->syncs(), afterPause);
}

TEST_F(Recording, ACutOrGarbledFileReadsBackAsTheWholeLinesBeforeTheDamage) {
    // Four flushes of five lines; where the file ended after each, and the text so far.
    const QString file = path("a.qrec.gz");
    auto recording = create(file);
    std::vector<std::pair<qint64, QByteArray>> flushes;
    QByteArray text;
    for (int line = 0; line < 20; ++line) {
        const QByteArray next =
            QStringLiteral("@%1 move %2 %3\n").arg(line * 10).arg(line).arg(line * line).toUtf8();
        recording->append(next);
        text += next;
        if (line % 5 < 4) continue;
        recording->flush();
        recording->waitWritten();
        flushes.emplace_back(QFileInfo(file).size(), text);
    }
    recording.reset();
    const QByteArray whole = read(file);
    QByteArray previous;
    for (qsizetype end = 0; end <= whole.size(); ++end) {
        write(path("cut"), whole.left(end));
        const QByteArray back = readRecording(path("cut"));
        EXPECT_TRUE(text.startsWith(back) && (back.isEmpty() || back.endsWith('\n'))) << end;
        EXPECT_GE(back.size(), previous.size()) << end;
        qsizetype flushedBefore = 0; // what was flushed before the cut reads back
        for (const auto& [flushedEnd, flushedText] : flushes)
            if (end >= flushedEnd) flushedBefore = flushedText.size();
        EXPECT_GE(back.size(), flushedBefore) << end;
        previous = back;
    }
    EXPECT_EQ(previous, text);
    const auto readDamaged = [this](const QByteArray& damaged) {
        write(path("damaged"), damaged);
        return readRecording(path("damaged"));
    };
    const QByteArray garbage = noise(3);
    EXPECT_EQ(readDamaged(whole + garbage), text);
    EXPECT_EQ(readDamaged(whole + QByteArray(4096, '\0')), text); // a power cut's zeros
    const auto& [secondEnd, secondText] = flushes[1];
    for (const QByteArray& middle : {garbage, QByteArray(100, '\0')})
        EXPECT_TRUE(
            readDamaged(whole.left(secondEnd) + middle + whole.mid(secondEnd + middle.size()))
                .startsWith(secondText));

    write(path("empty"), {});
    write(path("plain"), "@0 move 1 1\n@10 up 1");
    EXPECT_EQ(readRecording(path("empty")), QByteArray());
    EXPECT_EQ(readRecording(path("missing")), QByteArray());
    EXPECT_EQ(readRecording(path("plain")), "@0 move 1 1\n");
}

TEST_F(Recording, TheReadStopsAtItsLimitInWholeLines) {
    // 4 MB of text in a few kilobytes.
    const QString file = path("a.qrec.gz");
    auto recording = create(file);
    const QByteArray line = QByteArray(99, 'x') + '\n';
    for (int i = 0; i < 40'000; ++i)
        recording->append(line);
    recording.reset();
    EXPECT_LT(QFileInfo(file).size(), 64 * 1024);
    bool cut = false;
    EXPECT_EQ(readRecording(file, 1'000'050, &cut).size(), 1'000'000);
    EXPECT_TRUE(cut);
    EXPECT_EQ(readRecording(file, 1 << 30, &cut).size(), 4'000'000);
    EXPECT_FALSE(cut);
}

TEST_F(Recording, AFullOrReadOnlyDiskFailsCleanly) {
    if (!mountSmallDisk("small")) GTEST_SKIP() << "cannot mount: " << std::strerror(errno);
    const RecordingFolder folder(mounted_);
    const QString file = folder.newPath();
    auto recording = create(file);
    const QByteArray text = noise(2000); // 150 KB
    recording->append(text);
    recording->flush();
    recording->waitWritten();
    EXPECT_TRUE(recording->failed());
    EXPECT_EQ(recording->error(), QString::fromLocal8Bit(std::strerror(ENOSPC)));
    recording->append("@1 move 1 1\n"); // dropped
    recording->flush();
    recording->waitWritten();
    recording.reset();
    const QByteArray back = readRecording(file);
    EXPECT_TRUE(text.startsWith(back) && back.endsWith('\n')) << back.size();

    // The disk still full: the next recording cannot be made, or fails at once.
    QString error;
    if (auto next = RecordingFile::create(folder.newPath(), &error)) {
        next->append(text);
        next->flush();
        next->waitWritten();
        EXPECT_TRUE(next->failed());
    } else {
        EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(ENOSPC)));
    }

    ASSERT_EQ(mount(nullptr, qPrintable(mounted_), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    EXPECT_FALSE(RecordingFile::create(folder.newPath(), &error));
    EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EROFS)));
    // Where no lock can be made, the recordings are still found.
    EXPECT_EQ(folder.newestFree(), folder.recordings().value(0));
    EXPECT_FALSE(folder.newestFree().isEmpty());
}

TEST_F(Recording, ARecordingARunningProgramHoldsIsNotFreeAndOneAnEndedProgramLeftIs) {
    const RecordingFolder folder(path("recordings"));
    const QString older = folder.newPath(), newer = folder.newPath(), newest = folder.newPath();
    const QRegularExpression name(
        QStringLiteral("/\\d{8}-\\d{9}-%1\\.qrec\\.gz$").arg(QCoreApplication::applicationPid()));
    EXPECT_TRUE(name.match(older).hasMatch()) << qPrintable(older);
    EXPECT_TRUE(older < newer && newer < newest);
    create(older).reset();
    const auto running = create(newer);
    write(newest, {});
    write(newest + ".lock", staleLock());
    EXPECT_EQ(names(folder.recordings()), names({newest, newer, older}));
    EXPECT_EQ(folder.newestFree(), newest);
    EXPECT_FALSE(QFile::exists(newest + ".lock"));
    QFile::remove(newest);
    EXPECT_EQ(folder.newestFree(), older);
    EXPECT_FALSE(QFile::exists(older + ".lock"));
    QLockFile lock(newer + ".lock");
    EXPECT_FALSE(lock.tryLock(0));
}

TEST_F(Recording, PruningKeepsTheNewestWithinCountAndSizeButNeverAHeldOne) {
    const auto make = [](const RecordingFolder& folder, qsizetype size) {
        const QString file = folder.newPath();
        write(file, noise(size / 77));
        return file;
    };
    // At most 3: the oldest held, the next kept on request, the next left by an ended program.
    const RecordingFolder few(path("few"), 3);
    const QString held = few.newPath();
    const auto running = create(held);
    const QString kept = make(few, 100), stale = make(few, 100);
    write(stale + ".lock", staleLock());
    QStringList newest;
    for (int i = 0; i < 3; ++i)
        newest.prepend(make(few, 100));
    few.prune(kept);
    EXPECT_EQ(names(few.recordings()), names(newest + QStringList({kept, held})));
    EXPECT_FALSE(QFile::exists(stale + ".lock"));

    // At most 200 KiB: three of 60 KiB, not four.
    const RecordingFolder small(path("small"), 20, 200 * 1024);
    QStringList files;
    for (int i = 0; i < 4; ++i)
        files.prepend(make(small, 60 * 1024));
    small.prune();
    EXPECT_EQ(names(small.recordings()), names(files.first(3)));
}

} // namespace
