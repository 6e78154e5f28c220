#include "MakingOfPlayer.h"

#include "drawing/Drawing.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>

namespace {

QString clockText(qint64 ms) {
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

bool isInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
        return true;
    default:
        return false;
    }
}

} // namespace

MakingOfPlayer::MakingOfPlayer(Drawing& drawing, const QByteArray& recording,
                               LoopScheduler::Clock clock, Window window, QObject* parent)
    : QObject(parent), drawing_(drawing), playback_(recording), clock_(clock),
      window_(std::move(window)) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(LoopScheduler::kTickMs);
    connect(&timer_, &QTimer::timeout, this, &MakingOfPlayer::tick);
}

MakingOfPlayer::~MakingOfPlayer() { qApp->removeEventFilter(this); }

bool MakingOfPlayer::start() {
    if (!playback_.playable()) return false;
    qApp->installEventFilter(this);
    moveTo(0);
    setPaused(atEnd());
    return true;
}

// The clock runs only while the film moves: a playing that waits costs nothing.
void MakingOfPlayer::setPaused(bool paused) {
    paused_ = paused;
    sinceTick_.start();
    if (clock_ == LoopScheduler::Clock::Manual) return;
    if (paused)
        timer_.stop();
    else
        timer_.start();
}

void MakingOfPlayer::tick() { advance(sinceTick_.restart()); }

void MakingOfPlayer::advance(qint64 ms) {
    if (!paused_) moveTo(position_ + ms * speed());
}

// The drawing comes to the moment, and the window shows it; at the end the playing waits
// there for the user.
void MakingOfPlayer::moveTo(qint64 ms) {
    position_ = std::clamp<qint64>(ms, 0, length());
    playback_.seek(drawing_, position_);
    if (position_ == length()) setPaused(true);
    window_.show();
    showWhere();
}

bool MakingOfPlayer::press(KeyTable::Action key) {
    using enum KeyTable::Action;
    const auto last = qsizetype(film::kSpeeds.size()) - 1;
    switch (key) {
    case PlayPause:
        // At the end, playing again plays from the start.
        if (atEnd()) moveTo(0);
        setPaused(!paused_);
        break;
    case PlayFaster:
        speedIndex_ = std::min(speedIndex_ + 1, last);
        break;
    case PlaySlower:
        speedIndex_ = std::max<qsizetype>(speedIndex_ - 1, 0);
        break;
    case PlayFromStart:
        moveTo(0);
        setPaused(false);
        break;
    case PlayToEnd:
        moveTo(length());
        break;
    case PlayStop:
        stop();
        return true;
    default:
        return false;
    }
    showWhere();
    return true;
}

void MakingOfPlayer::stop() {
    if (std::exchange(ended_, true)) return;
    timer_.stop();
    qApp->removeEventFilter(this);
    playback_.seek(drawing_, length());
    window_.ended();
}

// Where and how fast first, as the line is narrow; the keys after, F1 lists them all.
void MakingOfPlayer::showWhere() {
    const QString where = clockText(position_) + QStringLiteral(" / ") + clockText(length());
    if (atEnd())
        window_.tell(QString::fromUtf16(u"最後まで見ました（%1）。続きをかけます。Home でもう一度")
                         .arg(where));
    else
        window_.tell(QString::fromUtf16(u"%1 %2 ×%3　Space 止める　＋− 速さ　Esc やめる")
                         .arg(QString::fromUtf16(paused_ ? u"止めています" : u"再生中"), where)
                         .arg(speed()));
}

bool MakingOfPlayer::eventFilter(QObject* watched, QEvent* event) {
    if (ended_ || !isInput(event->type())) return false;
    return ownsInput(watched, event);
}

// The window's input is the player's: its keys act, everything else is held back; at the
// end, anything else ends the playing and goes on to the window.
bool MakingOfPlayer::ownsInput(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<const QWidget*>(watched);
    if (!widget || widget->window() != window_.widget) return false;
    const auto* key = dynamic_cast<const QKeyEvent*>(event);
    if (key && KeyTable::isShowKeys(key->keyCombination())) return false; // F1 lists them
    if (const auto playing = key ? KeyTable::playingKey(key->key()) : std::nullopt) {
        // Taken as an override, so that no shortcut or button takes the key first.
        if (event->type() == QEvent::KeyPress) press(*playing);
        event->accept();
        return true;
    }
    const bool acts = event->type() != QEvent::MouseMove && event->type() != QEvent::KeyRelease &&
                      !(key && KeyTable::isModifier(key->key()));
    if (atEnd() && acts) {
        stop();
        return false;
    }
    return true;
}
