#pragma once

#include "KeyTable.h"
#include "LoopScheduler.h"
#include "recording/Film.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class Drawing;

// Plays the making-of of an opened drawing in the window: the drawing goes through its
// recording as it was made, shown as the window showed it then, at the speed the user
// chooses, and the user watches. While it plays, the window's keys are the player's (see
// KeyTable) and the pointer and every other key do nothing there; once it stands at the end,
// the first of them ends the playing and does what it does, so the user simply draws on.
class MakingOfPlayer : public QObject {
  public:
    struct Window {
        QWidget* widget;                          // whose events the player takes
        std::function<void()> show;               // shows what the drawing wrote
        std::function<void(const QString&)> tell; // the hint line
        std::function<void()> ended;              // the user draws on from the end
    };

    // Plays `recording` into `drawing`, which holds nothing else meanwhile. A manual clock
    // moves only through advance(), for the replay.
    MakingOfPlayer(Drawing& drawing, const QByteArray& recording, LoopScheduler::Clock clock,
                   Window window, QObject* parent = nullptr);
    ~MakingOfPlayer() override;

    // Shows the start and starts the clock, or tells why nothing plays (false).
    bool start();
    // Lets that much time pass on a manual clock.
    void advance(qint64 ms);
    // The player's key: acts on it and says so.
    bool press(KeyTable::Action key);
    // Ends the playing at the end, as Escape does.
    void stop();

    bool paused() const { return paused_; }
    bool atEnd() const { return paused_ && position_ == length(); }
    int speed() const { return film::kSpeeds[speedIndex_]; }
    qint64 position() const { return position_; }
    qint64 length() const { return playback_.length(); }

  private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool ownsInput(QObject* watched, QEvent* event);
    void tick();
    void moveTo(qint64 ms);
    void setPaused(bool paused);
    void showWhere();

    Drawing& drawing_;
    Playback playback_;
    LoopScheduler::Clock clock_;
    Window window_;
    QTimer timer_;
    QElapsedTimer sinceTick_;
    qint64 position_ = 0; // the film's time shown, in ms
    qsizetype speedIndex_ = 0;
    bool paused_ = false;
    bool ended_ = false;
};
