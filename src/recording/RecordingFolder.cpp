#include "RecordingFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSysInfo>

#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

namespace {

const QString kSuffix = QStringLiteral(".qrec.gz");
const QString kLockSuffix = QStringLiteral(".lock");

// A recording's lock, as RecordingFile takes it: only a lock whose process is gone is stale.
class Lock : public QLockFile {
  public:
    explicit Lock(const QString& recording) : QLockFile(recording + kLockSuffix) {
        setStaleLockTime(0);
    }
};

// Whether a running program holds the recording. Where no lock can be made (a full disk, a
// read-only folder, where not even a stale lock can be removed), the process the lock file names
// decides; a lock made on another machine holds.
bool held(const QString& recording) {
    Lock lock(recording);
    if (lock.tryLock(0)) {
        lock.unlock();
        return false;
    }
    qint64 pid = 0;
    QString host, app;
    if (!lock.getLockInfo(&pid, &host, &app) || pid <= 0)
        return lock.error() == QLockFile::LockFailedError; // being written, or unreadable
    if (!host.isEmpty() && host != QSysInfo::machineHostName()) return true;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// Removes a recording no running program holds, under its lock, and then the lock.
bool removeFree(const QString& recording) {
    Lock lock(recording);
    if (!lock.tryLock(0)) return false;
    const bool removed = QFile::remove(recording);
    lock.unlock();
    return removed;
}

// What the file takes on disk, and never less than its length.
qint64 sizeOnDisk(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) return 0;
    return std::max<qint64>(status.st_size, qint64(status.st_blocks) * 512);
}

} // namespace

RecordingFolder::RecordingFolder(QString dir, int keptRecordings, qint64 keptBytes)
    : dir_(std::move(dir)), keptRecordings_(keptRecordings), keptBytes_(keptBytes) {}

QString RecordingFolder::defaultDir() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/recordings");
}

QString RecordingFolder::newPath() const {
    if (dir_.isEmpty()) return {};
    // A millisecond after this program's last name at least.
    static std::atomic<qint64> last = 0;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    qint64 previous = last.load();
    qint64 ms = 0;
    do
        ms = std::max(now, previous + 1);
    while (!last.compare_exchange_weak(previous, ms));
    const QString time =
        QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toString(u"yyyyMMdd-hhmmsszzz");
    return QDir(dir_).filePath(
        QStringLiteral("%1-%2%3").arg(time).arg(QCoreApplication::applicationPid()).arg(kSuffix));
}

QStringList RecordingFolder::recordings() const {
    static const QRegularExpression name(QStringLiteral("^\\d{8}-\\d{9}-\\d+\\.qrec\\.gz$"));
    const QDir folder(dir_);
    QStringList names = folder.entryList({u'*' + kSuffix}, QDir::Files).filter(name);
    std::sort(names.begin(), names.end(), std::greater<>());
    for (QString& file : names)
        file = folder.filePath(file);
    return names;
}

QString RecordingFolder::newestFree() const {
    for (const QString& recording : recordings())
        if (!held(recording)) return recording;
    return {};
}

void RecordingFolder::prune(const QString& keep) const {
    int count = 0;
    qint64 bytes = 0;
    for (const QString& recording : recordings()) {
        const qint64 size = sizeOnDisk(recording);
        const bool fits = count < keptRecordings_ && bytes + size <= keptBytes_;
        if (fits || QFileInfo(recording) == QFileInfo(keep) || !removeFree(recording)) {
            ++count;
            bytes += size;
        }
    }
    // Stale locks without a recording (a program ended between taking the lock and making the
    // file).
    const QDir folder(dir_);
    for (const QString& name : folder.entryList({u'*' + kSuffix + kLockSuffix}, QDir::Files)) {
        const QString recording = folder.filePath(name.chopped(kLockSuffix.size()));
        Lock lock(recording);
        if (!QFile::exists(recording) && lock.tryLock(0)) lock.unlock();
    }
}
