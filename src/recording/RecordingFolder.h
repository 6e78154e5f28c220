#pragma once

#include <QString>
#include <QStringList>

// Where recordings live: one file per drawing in a folder of the user's data (by default
// QStandardPaths::writableLocation(AppLocalDataLocation) + "/recordings"), the 20 newest kept and
// at most 200 MB in all. A recording is "held" while a running program has its lock (path +
// ".lock", see RecordingFile); a lock whose process is gone is stale and holds nothing.
class RecordingFolder {
  public:
    static constexpr int kKeptRecordings = 20;
    static constexpr qint64 kKeptBytes = 200LL * 1000 * 1000;

    // `keptRecordings` and `keptBytes` bound what prune() leaves (tests make them small).
    explicit RecordingFolder(QString dir = defaultDir(), int keptRecordings = kKeptRecordings,
                             qint64 keptBytes = kKeptBytes);
    // Empty where the system names no data folder.
    static QString defaultDir();
    QString dir() const { return dir_; }
    // A fresh file name in the folder, sortable by time of creation:
    // "yyyyMMdd-hhmmsszzz-PID.qrec.gz" in UTC, so that a change of the clocks does not upset the
    // order (unique also for two windows in one millisecond: this program's names are a millisecond
    // apart at least). Empty without a folder.
    QString newPath() const;
    // The recordings in the folder, newest first; other files are none of its business.
    QStringList recordings() const;
    // The newest recording that no running program holds (its lock is free, or stale: its process
    // is gone), or empty. Leaves no lock behind, and removes the stale one it found.
    QString newestFree() const;
    // Removes the oldest recordings beyond the 20 newest and beyond 200 MB in all (sizes on disk),
    // never one a running program holds, nor `keep`; those count among what is kept. Also removes
    // stale lock files of removed recordings.
    void prune(const QString& keep = {}) const;

  private:
    QString dir_;
    int keptRecordings_;
    qint64 keptBytes_;
};
