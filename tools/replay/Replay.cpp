#include "Replay.h"

#include "app/CanvasView.h"
#include "app/Form1.h"
#include "app/MakingOfPlayer.h"
#include "canvas/Canvas.h"
#include "drawing/FormDesign.h"
#include "recording/CheckpointData.h"
#include "recording/RecordedLine.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest/qtestkeyboard.h>

#include <cmath>
#include <cstdio>
#include <optional>

namespace {

constexpr double kFarPixels = 1e8; // pointer positions beyond this are clamped

struct BadLine {
    QString why;
};

QString rest(const QString& line, int words) {
    // The rest of the line after `words` blank-separated words, as it stands.
    int i = 0;
    for (int w = 0; w < words; ++w) {
        while (i < line.size() && line[i] == u' ')
            ++i;
        while (i < line.size() && line[i] != u' ')
            ++i;
    }
    return i < line.size() ? line.mid(i + 1) : QString();
}

long long integer(const QString& word, long long lo, long long hi) {
    bool ok = false;
    const long long v = word.toLongLong(&ok);
    if (!ok || v < lo || v > hi)
        throw BadLine{
            QStringLiteral("'%1' is not a whole number from %2 to %3").arg(word).arg(lo).arg(hi)};
    return v;
}

double coordinate(const QString& word) {
    bool ok = false;
    const double v = word.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        throw BadLine{QStringLiteral("'%1' is not a coordinate").arg(word)};
    return std::clamp(v, -kFarPixels, kFarPixels);
}

Qt::MouseButton mouseButton(const QStringList& words, int at) {
    if (words.size() <= at) return Qt::LeftButton;
    if (const auto button = recording::mouseButtonNamed(words[at])) return *button;
    throw BadLine{QStringLiteral("'%1' is not a mouse button").arg(words[at])};
}

QString kindOf(const QWidget* w) {
    if (qobject_cast<const QLineEdit*>(w)) return QStringLiteral("textbox");
    if (qobject_cast<const QAbstractButton*>(w)) return QStringLiteral("button");
    if (const auto* label = qobject_cast<const QLabel*>(w))
        return label->pixmap().isNull() ? QStringLiteral("label") : QStringLiteral("image");
    return QStringLiteral("picturebox");
}

QString textOf(const QWidget* w) {
    if (const auto* box = qobject_cast<const QLineEdit*>(w)) return box->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    return {};
}

QString typeOf(const Value& v) {
    switch (v.type()) {
    case Value::Type::Unset:
        return QStringLiteral("unset");
    case Value::Type::Integer:
        return QStringLiteral("int");
    case Value::Type::Single:
        return QStringLiteral("single");
    case Value::Type::Double:
        return QStringLiteral("double");
    case Value::Type::Text:
        return QStringLiteral("text");
    }
    return {};
}

QString shown(const Value& v) {
    switch (v.type()) {
    case Value::Type::Single:
        return QString::asprintf("%.9g", *v.number());
    case Value::Type::Double:
        return QString::asprintf("%.17g", *v.number());
    default:
        return v.toText();
    }
}

QString number(double v) { return QString::asprintf("%.9g", v); }

// The pixels of `area` for which `differs(x, y)` holds: how many, and their bounds.
template <typename Differs> std::pair<long long, QRect> pixelsWhere(QRect area, Differs differs) {
    long long count = 0;
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (differs(x, y)) {
                ++count;
                bounds |= QRect(x, y, 1, 1);
            }
    return {count, bounds};
}

QString boundsText(const QRect& r) {
    return QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// What the clipboard holds, in words a test can foresee: an image by its size and the
// bounds of what is not white on it, or a text as it stands.
QString clipboardContents() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QImage image = clipboard->image();
    if (image.isNull()) return QStringLiteral("text ") + clipboard->text();
    const QRect inked = pixelsWhere(image.rect(), [&](int x, int y) {
                            return (image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
                        }).second;
    return QStringLiteral("image %1x%2 inked ").arg(image.width()).arg(image.height()) +
           boundsText(inked);
}

// How many pixels of `now` differ from `then`, and their bounds ("x y w h"); pixels that
// only one of the two has count as different.
QString changedPixels(const QImage& then, const QImage& now) {
    const auto [count, bounds] = pixelsWhere(then.rect() | now.rect(), [&](int x, int y) {
        return !then.valid(x, y) || !now.valid(x, y) || then.pixel(x, y) != now.pixel(x, y);
    });
    if (count == 0) return QStringLiteral("0");
    return QString::number(count) + u' ' + boundsText(bounds);
}

} // namespace

Replay::Replay(std::function<void(const QString&)> write, bool recorded)
    : write_(std::move(write)) {
    Form1::Services services{
        .quit = [this] { ended_ = true; },
        .openUrl = [this](const QUrl& url) { opened_ << url.toString(); },
        .clock = LoopScheduler::Clock::Manual,
        // A script never waits on a dialog: it notes that one was asked for, and the
        // answer is Cancel. `save`, `keep`, `open` and `print` stand for a dialog that was
        // answered.
        .dialogs = {.askSaveFile =
                        [this](QWidget*, const QString&, const QString&) {
                            write_(QStringLiteral("dialog save"));
                            return QString();
                        },
                    .askOpenFile =
                        [this](QWidget*, const QString&, const QString&) {
                            write_(QStringLiteral("dialog open"));
                            return QString();
                        },
                    .askPrinter =
                        [this](QWidget*, QPrinter&) {
                            write_(QStringLiteral("dialog print"));
                            return false;
                        },
                    .tell =
                        [this](QWidget*, const QString& message) {
                            write_(QStringLiteral("message ") +
                                   QString(message).replace(u'\n', u' '));
                        }},
    };
    if (recorded) {
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        recordings_ = std::make_unique<QTemporaryDir>(runtime + QStringLiteral("/replay-XXXXXX"));
        if (recordings_->isValid()) services.recordings = RecordingFolder(recordings_->path());
    }
    form_ = std::make_unique<Form1>(std::move(services));
    form_->show();
    form_->activateWindow();
    form_->focusFirstControl();
    QCoreApplication::processEvents();
}

Replay::~Replay() = default;

Replay::Outcome Replay::run(const QStringList& lines) {
    for (int n = 0; n < lines.size(); ++n) {
        try {
            execute(lines[n]);
        } catch (const BadLine& bad) {
            error_ = QStringLiteral("line %1: %2").arg(n + 1).arg(bad.why);
            return Outcome::BadLine;
        }
        if (ended_) return Outcome::Ended;
    }
    return Outcome::Finished;
}

void Replay::sendMouse(QEvent::Type type, QPoint windowPos, Qt::MouseButton button) {
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) held_ |= button;
    if (type == QEvent::MouseButtonRelease) held_ &= ~Qt::MouseButtons(button);
    QWindow* window = form_->windowHandle();
    QMouseEvent event(type, windowPos, windowPos, window->mapToGlobal(QPointF(windowPos)), button,
                      held_, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &event);
}

// A press and release of the key on the focused control, with the text a keyboard would
// give for it (none for keys such as Tab or F1, nor with Ctrl, Alt or Meta held). As with
// a real key, the window's shortcuts see the press first; a press a shortcut took never
// reaches the control, its release does.
void Replay::sendKey(QKeyCombination key) {
    QWidget* target = form_->focusWidget() ? form_->focusWidget() : form_.get();
    const int code = key.key();
    const Qt::KeyboardModifiers modifiers = key.keyboardModifiers();
    const bool printable =
        code >= Qt::Key_Space && code <= 0xFFFF && QChar(code).isPrint() &&
        !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    QString text = printable ? QString(QChar(code)) : QString();
    if (printable && !(modifiers & Qt::ShiftModifier)) text = text.toLower();
    const bool shortcut = qt_sendShortcutOverrideEvent(target, 0, code, modifiers, text);
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        if (type == QEvent::KeyPress && shortcut) continue;
        QKeyEvent event(type, code, modifiers, text);
        QCoreApplication::sendEvent(target, &event);
    }
}

// A line of a recording: the action reaches the drawing as it stands (a checkpoint brings
// the whole drawing back); the window shows what it did. A new client size goes through the
// window, which hands it on.
void Replay::takeRecorded(const QString& line) {
    QString error;
    const auto entry = recording::parse(line, &error);
    if (!entry) throw BadLine{error};
    if (const auto* checkpoint = std::get_if<recording::Checkpoint>(&entry->what)) {
        const auto snapshot = recording::decode(checkpoint->data, &error);
        if (!snapshot) throw BadLine{error};
        form_->restore(*snapshot);
    } else if (const auto* size = std::get_if<action::ClientSize>(&std::get<Action>(entry->what))) {
        form_->resizeClientArea(size->pixels);
    } else {
        form_->act(std::get<Action>(entry->what));
    }
}

bool Replay::execute(const QString& rawLine) {
    if (rawLine.startsWith(u'@')) {
        takeRecorded(rawLine);
        return true;
    }
    const QString line = rawLine.trimmed().startsWith(u'#') ? QString() : rawLine;
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty()) return true;
    const QString& verb = words[0];
    const auto needs = [&](int count) {
        if (words.size() < count + 1)
            throw BadLine{QStringLiteral("'%1' needs %2 argument(s)").arg(verb).arg(count)};
    };
    Form1& form = *form_;
    const auto control = [&](const QString& name) {
        QWidget* w = form.control(name);
        if (!w) throw BadLine{QStringLiteral("no control named '%1'").arg(name)};
        if (!w->isVisibleTo(&form)) throw BadLine{QStringLiteral("'%1' is hidden").arg(name)};
        return w;
    };
    const auto centreOf = [&](QWidget* w) { return w->mapTo(&form, w->rect().center()); };
    const auto clientPoint = [&](int at) {
        const QPointF p(coordinate(words[at]), coordinate(words[at + 1]));
        return form.canvasView()->mapTo(&form, p.toPoint());
    };

    if (verb == u"click") {
        needs(1);
        if (auto* item = form.menuBar()->findChild<QAction*>(words[1])) {
            item->trigger();
        } else {
            QWidget* w = control(words[1]);
            sendMouse(QEvent::MouseMove, centreOf(w), Qt::NoButton);
            sendMouse(QEvent::MouseButtonPress, centreOf(w), Qt::LeftButton);
            sendMouse(QEvent::MouseButtonRelease, centreOf(w), Qt::LeftButton);
        }
    } else if (verb == u"doubleclick") {
        // As a window system delivers a fast double-click: the second press comes as a
        // double-click event.
        needs(1);
        QWidget* w = control(words[1]);
        sendMouse(QEvent::MouseMove, centreOf(w), Qt::NoButton);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                        QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease})
            sendMouse(type, centreOf(w), Qt::LeftButton);
    } else if (verb == u"press" || verb == u"release") {
        needs(1);
        QWidget* w = control(words[1]);
        const Qt::MouseButton button = mouseButton(words, 2);
        sendMouse(verb == u"press" ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease,
                  centreOf(w), button);
    } else if (verb == u"down" || verb == u"up") {
        needs(2);
        const QPoint at = clientPoint(1);
        const Qt::MouseButton button = mouseButton(words, 3);
        sendMouse(verb == u"down" ? QEvent::MouseButtonPress : QEvent::MouseButtonRelease, at,
                  button);
    } else if (verb == u"move") {
        needs(2);
        sendMouse(QEvent::MouseMove, clientPoint(1), Qt::NoButton);
    } else if (verb == u"type") {
        needs(1);
        auto* box = qobject_cast<QLineEdit*>(control(words[1]));
        if (!box || !box->isEnabled())
            throw BadLine{QStringLiteral("'%1' takes no typing").arg(words[1])};
        box->setFocus();
        box->selectAll();
        box->insert(rest(line, 2));
    } else if (verb == u"key") {
        needs(1);
        const QKeySequence sequence = QKeySequence::fromString(words[1]);
        if (sequence.count() != 1 || sequence[0].key() == Qt::Key_unknown)
            throw BadLine{QStringLiteral("'%1' is not a key").arg(words[1])};
        sendKey(sequence[0]);
    } else if (verb == u"resize") {
        needs(2);
        form.resizeClientArea(
            QSize(int(integer(words[1], 0, 10000)), int(integer(words[2], 0, 10000))));
    } else if (verb == u"undo") {
        form.undo();
    } else if (verb == u"redo") {
        form.redo();
    } else if (verb == u"snapshot") {
        needs(1);
        snapshots_.insert(words[1], form.drawing().canvas().raster());
    } else if (verb == u"steps") {
        needs(1);
        form.loops().advance(integer(words[1], 0, 100'000'000));
    } else if (verb == u"wait") {
        needs(1);
        if (MakingOfPlayer* player = form.player())
            player->advance(integer(words[1], 0, 100'000'000));
    } else if (verb == u"trace") {
        needs(1);
        if (words[1] == u"on")
            form.drawing().setTrace(write_);
        else if (words[1] == u"off")
            form.drawing().setTrace({});
        else
            throw BadLine{QStringLiteral("trace takes on or off")};
    } else if (verb == u"dump") {
        needs(1);
        const QString& what = words[1];
        if (what == u"state") {
            DrawingState state = form.drawing().state(); // the visitor takes a record it may write
            state.visitMembers([&](const char* name, const auto& member) {
                if constexpr (std::is_same_v<std::decay_t<decltype(member)>, Switch>)
                    write_(QStringLiteral("%1 int %2").arg(name).arg(member.value));
                else
                    write_(QStringLiteral("%1 %2 %3").arg(name, typeOf(member), shown(member)));
            });
        } else if (what == u"controls") {
            for (const design::ControlRow& row : design::controls()) {
                const QWidget* w = form.control(QString::fromLatin1(row.name));
                const QRect g = w->geometry();
                write_(QStringLiteral("%1 %2 %3 %4 %5 %6 %7 %8 %9")
                           .arg(QString::fromLatin1(row.name), kindOf(w))
                           .arg(g.x())
                           .arg(g.y())
                           .arg(g.width())
                           .arg(g.height())
                           .arg(w->isVisibleTo(&form) ? 1 : 0)
                           .arg(w->isEnabled() ? 1 : 0)
                           .arg(textOf(w)));
            }
        } else if (what == u"canvas") {
            const Canvas& c = form.drawing().canvas();
            write_(QStringLiteral("scalemode %1").arg(c.scaleMode()));
            write_(QStringLiteral("scalewidth ") + number(c.scaleWidth()));
            write_(QStringLiteral("scaleheight ") + number(c.scaleHeight()));
            write_(QStringLiteral("drawwidth %1").arg(c.drawWidth()));
            write_(QStringLiteral("forecolor %1").arg(c.foreColor()));
            write_(QStringLiteral("fontsize ") + number(c.fontSize()));
            write_(QStringLiteral("currentx ") + number(c.currentX()));
            write_(QStringLiteral("currenty ") + number(c.currentY()));
        } else if (what == u"text") {
            needs(2);
            const QWidget* w = form.control(words[2]);
            if (!w) throw BadLine{QStringLiteral("no control named '%1'").arg(words[2])};
            write_(textOf(w));
        } else if (what == u"focus") {
            const QWidget* focus = form.focusWidget();
            write_(focus ? focus->objectName() : QStringLiteral("none"));
        } else if (what == u"pixel") {
            needs(3);
            const int x = int(integer(words[2], 0, 100000)), y = int(integer(words[3], 0, 100000));
            const QImage& raster = form.drawing().canvas().raster();
            const QPoint device = form.drawing().canvas().devicePixels(QPoint(x, y)).topLeft();
            if (!raster.valid(device))
                throw BadLine{QStringLiteral("(%1, %2) lies outside the canvas").arg(x).arg(y)};
            const QRgb p = raster.pixel(device);
            write_(QString::number(qRed(p) | qGreen(p) << 8 | qBlue(p) << 16));
        } else if (what == u"changed") {
            needs(2);
            const auto snapshot = snapshots_.constFind(words[2]);
            if (snapshot == snapshots_.constEnd())
                throw BadLine{QStringLiteral("no snapshot named '%1'").arg(words[2])};
            write_(changedPixels(*snapshot, form.drawing().canvas().raster()));
        } else if (what == u"random") {
            write_(QStringLiteral("random %1").arg(form.drawing().random().drawn()));
        } else if (what == u"clipboard") {
            write_(clipboardContents());
        } else if (what == u"title") {
            write_(form.windowTitle());
        } else {
            throw BadLine{QStringLiteral("nothing called '%1' to dump").arg(what)};
        }
    } else if (verb == u"png" || verb == u"canvas-png") {
        needs(1);
        const QString file = rest(line, 1);
        const QImage image = verb == u"png" ? form.canvasView()->grab().toImage()
                                            : form.drawing().canvas().picture();
        if (!image.save(file, "PNG")) throw BadLine{QStringLiteral("cannot write '%1'").arg(file)};
    } else if (verb == u"save") {
        needs(1);
        form.keeper().saveTo(rest(line, 1));
    } else if (verb == u"keep") {
        needs(1);
        form.keeper().keepDrawingTo(rest(line, 1));
    } else if (verb == u"open") {
        needs(1);
        form.open(rest(line, 1));
    } else if (verb == u"copy") {
        form.keeper().copy();
    } else if (verb == u"print") {
        needs(1);
        form.keeper().printToPdf(rest(line, 1));
    } else if (verb == u"opened") {
        for (const QString& url : opened_)
            write_(url);
    } else {
        throw BadLine{QStringLiteral("unknown action '%1'").arg(verb)};
    }
    QCoreApplication::processEvents();
    return true;
}
