#pragma once

#include <QEvent>
#include <QHash>
#include <QImage>
#include <QKeyCombination>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class Form1;
class QTemporaryDir;

// Carries out a script of user actions against the real window, off-screen: the harness
// for behaviour tests and for reproducing bug reports. One action a line; '#' starts a
// comment. The window must be created after a QApplication exists.
class Replay {
  public:
    enum class Outcome { Finished, Ended, BadLine };

    // `write` receives every output line (without its newline). A `recorded` window records
    // its drawing as the program's does, into a folder of its own in the runtime folder that
    // is gone with the replay, so that `keep` keeps all of it.
    explicit Replay(std::function<void(const QString&)> write, bool recorded = false);
    ~Replay();

    // Runs the lines in order. Stops at the first bad line (Outcome::BadLine, with the
    // message in error()) or when END ends the program (Outcome::Ended).
    Outcome run(const QStringList& lines);
    QString error() const { return error_; }

    Form1& form() { return *form_; }

  private:
    bool execute(const QString& line);
    void takeRecorded(const QString& line);
    // Delivers one pointer event to the window as the window system would, but without
    // the movement Qt adds before a press elsewhere: a script says every movement itself.
    void sendMouse(QEvent::Type type, QPoint windowPos, Qt::MouseButton button);
    void sendKey(QKeyCombination key);

    std::function<void(const QString&)> write_;
    std::unique_ptr<QTemporaryDir> recordings_; // outlives the window, which writes there
    std::unique_ptr<Form1> form_;
    QStringList opened_;
    QHash<QString, QImage> snapshots_; // whole rasters, by the name the script gave
    bool ended_ = false;
    Qt::MouseButtons held_;
    QString error_;
};
