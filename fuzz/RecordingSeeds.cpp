// Writes the seed recordings of fuzz-recording into a folder: `fuzz-recording-seeds DIR`.
// Each is a short session as the program records it: the header, a checkpoint of the drawing
// as it stood, the actions as the drawing reported them, and a checkpoint in between where the
// drawing is in the middle of something (the dots or the chase running, a stroke open). The
// last comes through the Recorder into a gzip file, as the program keeps its recordings.
// Blank pictures at the checkpoints keep every seed to a few kilobytes.

#include "drawing/Drawing.h"
#include "recording/CheckpointData.h"
#include "recording/RecordedLine.h"
#include "recording/Recorder.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

using namespace action;

Drawing::Effects none() {
    return {.end = [] {}, .openUrl = [](const QUrl&) {}};
}

// A drawing whose actions are written down as the recorder would write them.
struct Session {
    Drawing drawing{QSize(451, 382), QFont(), none()};
    QByteArray text;
    qint64 ms = 0;

    explicit Session(double ratio = 1) {
        drawing.take(DeviceRatio{ratio});
        text = recording::header(drawing.canvas().clientSize(), ratio);
        checkpoint();
        drawing.setTaken(
            [this](const Action& a, qint64, qint64) { text += recording::line(ms, a); });
    }
    void take(std::initializer_list<Action> actions) {
        for (const Action& a : actions) {
            ms += 10;
            drawing.take(a);
        }
    }
    void click(const char* control) {
        const QString name = QString::fromLatin1(control);
        take({OnControl{ControlEvent::MouseMove, name, Qt::NoButton},
              OnControl{ControlEvent::MouseDown, name}, OnControl{ControlEvent::Click, name}});
    }
    void stroke(QPointF from, QPointF by, int moves) {
        take({OnCanvas{Pointer::Press, from, Qt::LeftButton}});
        for (int i = 1; i <= moves; ++i)
            take({OnCanvas{Pointer::Move, from + i * by}});
        take({OnCanvas{Pointer::Release, from + moves * by, Qt::LeftButton}});
    }
    void checkpoint() {
        text += recording::checkpointLine(ms, recording::encode(drawing.snapshot()));
    }
};

// The pen, its width typed, a swatch, undo and redo, and a stroke left open by the cut.
QByteArray pen() {
    Session s;
    s.click("Command7");
    s.stroke({100, 100}, {3, 1.5}, 12);
    s.take({NewText{Control::Text6, QStringLiteral("5")}, Key{}});
    s.click("Picture6");
    s.stroke({50, 300}, {4, -2}, 10);
    s.take({Undo{}, Redo{}, Undo{}});
    s.take({OnCanvas{Pointer::Press, {200, 200}, Qt::LeftButton},
            OnCanvas{Pointer::Move, {210, 205}}});
    s.checkpoint();
    s.take({OnCanvas{Pointer::Move, {220, 215}},
            OnCanvas{Pointer::Release, {220, 215}, Qt::LeftButton}});
    return s.text;
}

// "②" running through a checkpoint, ended by an undo; then "◎" and "CLS".
QByteArray dots() {
    Session s;
    s.click("Command9");
    s.take({Steps{33}, Steps{33}});
    s.checkpoint();
    s.take({Steps{33}, OnControl{ControlEvent::MouseDown, QStringLiteral("Text7")}, Steps{10},
            Undo{}});
    s.click("Command2");
    s.click("Command3");
    return s.text;
}

// The chasing eye through a checkpoint, a menu item, and the user's end.
QByteArray chase() {
    Session s;
    s.click("Command14");
    s.take({OnCanvas{Pointer::Move, {300, 200}}, Steps{40}});
    s.checkpoint();
    s.take({Steps{40}, OnCanvas{Pointer::Move, {20, 30}}, Steps{80}});
    s.click("book");
    s.click("Command14");
    s.click("Command5");
    return s.text + recording::endLine();
}

// A screen of ratio 2, a new client size, the circle mode, then a new ratio.
QByteArray ratio() {
    Session s(2);
    s.take({ClientSize{QSize(300, 200)}});
    s.click("Command13");
    s.stroke({150, 100}, {5, 5}, 6);
    s.take({DeviceRatio{1.5}, ClientSize{QSize(451, 382)}});
    s.stroke({10, 10}, {1, 0}, 3);
    return s.text;
}

// The pen, "②" and "○" through the Recorder, gzip-compressed as the program writes it.
QByteArray recorded(const QString& path) {
    {
        Drawing drawing{QSize(451, 382), QFont(), none()};
        Recorder recorder(drawing, RecordingFile::create(path, nullptr));
        for (const char* control : {"Command7", "Command9"}) {
            drawing.take(OnControl{ControlEvent::MouseDown, QString::fromLatin1(control)});
            drawing.take(OnControl{ControlEvent::Click, QString::fromLatin1(control)});
        }
        drawing.take(Steps{50});
        drawing.take(OnControl{ControlEvent::Click, QStringLiteral("Command4")});
    }
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz-recording-seeds DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir temporary;
    const std::pair<const char*, QByteArray> seeds[] = {
        {"pen.qrec", pen()},
        {"dots.qrec", dots()},
        {"chase.qrec", chase()},
        {"ratio.qrec", ratio()},
        {"recorded.qrec.gz", recorded(temporary.filePath(QStringLiteral("a.qrec.gz")))},
    };
    for (const auto& [name, bytes] : seeds) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) ||
            file.write(bytes) != bytes.size())
            return std::fprintf(stderr, "cannot write %s\n", name), 1;
        std::printf("%s %lld bytes\n", name, static_cast<long long>(bytes.size()));
    }
    return 0;
}
