#include "RecorderBench.h"

#include "Clocks.h"
#include "drawing/Drawing.h"
#include "recording/BringBack.h"
#include "recording/Playback.h"
#include "recording/Recorder.h"

#include <QFileInfo>
#include <QFont>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

using namespace action;

constexpr int kStepsPerBatch = 33; // the window's clock: 1000 steps a second, a batch per 33 ms

Drawing::Effects none() {
    return {.end = [] {}, .openUrl = [](const QUrl&) {}};
}

std::unique_ptr<RecordingFile> fileIn(const QTemporaryDir& dir) {
    QString error;
    auto file = RecordingFile::create(dir.filePath(QStringLiteral("bench.qrec.gz")), &error);
    if (file) return file;
    std::fprintf(stderr, "no recording: %s\n", qPrintable(error));
    std::exit(1);
}

void click(Drawing& drawing, const char* control) {
    const QString name = QString::fromLatin1(control);
    drawing.take(OnControl{ControlEvent::MouseMove, name, Qt::NoButton});
    drawing.take(OnControl{ControlEvent::MouseDown, name});
    drawing.take(OnControl{ControlEvent::Click, name});
}

// The same actions by two drawings, the second recorded to a file in a temporary folder.
template <typename Prepare, typename Run>
RecorderCost drawingsInTurns(QSize client, int runs, Prepare prepare, Run run) {
    QTemporaryDir dir;
    Drawing without{client, QFont(), none()}, with{client, QFont(), none()};
    auto recorder = std::make_unique<Recorder>(with, fileIn(dir));
    return inTurns(without, with, runs, prepare, run, [&] { recorder.reset(); });
}

// The hour's actions, each taken at its time of the session.
class HourPlay {
  public:
    static constexpr qint64 kHourMs = 3'600'000, kMoveMs = 10;
    static constexpr qint64 kDotsFrom = 20 * 60'000, kDotsTo = 30 * 60'000;

    HourPlay(Drawing& drawing, QSize client) : drawing_(drawing), client_(client) {}

    // Returns how many actions were taken.
    long long play() {
        click(0, "Command7"); // the pen
        for (qint64 ms = 100; ms < kHourMs; ms += kMoveMs) {
            if (ms == kDotsFrom) click(ms, "Command9");
            if (ms == kDotsTo) take(ms, Undo{}); // stops "②"
            for (; ms >= kDotsFrom && ms < kDotsTo && nextSteps_ <= ms;
                 nextSteps_ += kStepsPerBatch)
                take(nextSteps_, Steps{kStepsPerBatch});
            if (ms < strokeEnds_) {
                take(ms, OnCanvas{Pointer::Move, pointer()});
                continue;
            }
            if (strokeEnds_ > 0) take(ms, OnCanvas{Pointer::Release, pointer(), Qt::LeftButton});
            if (ms >= nextArt_) {
                click(ms, kArt[artClicks_++ % 4]);
                nextArt_ += 60'000;
            }
            strokeEnds_ = ms + 2000 + 1000 * (strokes_++ % 4);
            take(ms, OnCanvas{Pointer::Press, pointer(), Qt::LeftButton});
        }
        return actions_;
    }

  private:
    static constexpr const char* kArt[] = {"Command2", "Command4", "Command6", "Command11"};

    void take(qint64 ms, const Action& action) {
        clock_.at(ms);
        drawing_.take(action);
        ++actions_;
    }
    void click(qint64 ms, const char* control) {
        const QString name = QString::fromLatin1(control);
        take(ms, OnControl{ControlEvent::MouseMove, name, Qt::NoButton});
        take(ms + 10, OnControl{ControlEvent::MouseDown, name});
        take(ms + 20, OnControl{ControlEvent::Click, name});
    }
    // Along the pen's path ten times as fast (600 pixels a second at most), a pixel astray
    // now and then as a hand is.
    QPointF pointer() {
        const auto astray = [this] { return int(jitter_() % 3) - 1; };
        return penPath(client_, moves_++, 0.01) + QPointF(astray(), astray());
    }

    Drawing& drawing_;
    QSize client_;
    SessionClock clock_;
    std::mt19937 jitter_{18};
    long long actions_ = 0;
    qint64 strokeEnds_ = 0, nextSteps_ = kDotsFrom, nextArt_ = 60'000;
    int moves_ = 0, strokes_ = 0, artClicks_ = 0;
};

// The checkpoints of the hour's text, and the moments just before each, where bringing the
// drawing back replays the most.
void checkpointsOf(Hour& hour, const QByteArray& text, QSize client) {
    for (qsizetype at = 0; (at = text.indexOf(" checkpoint ", at + 1)) > 0;) {
        const qsizetype start = text.lastIndexOf('\n', at) + 1;
        ++hour.checkpoints;
        hour.checkpointsMB += (text.indexOf('\n', at) + 1 - start) / 1e6;
        Drawing earlier{client, QFont(), none()};
        recording::BroughtBack r;
        const double ms = elapsedMs([&] { r = recording::bringBack(earlier, text.left(start)); });
        if (r.brought && ms > hour.worstBringBackMs) {
            hour.worstBringBackMs = ms;
            hour.worstActions = r.actions;
        }
    }
}

// Jumps to moments spread over the film, each from its start, as Home and then a jump
// while watching the making-of: each from the checkpoint before its moment.
void seeksOf(Hour& hour, const QByteArray& text, QSize client) {
    constexpr int kSeeks = 120;
    Playback playback(text);
    Drawing drawing{client, QFont(), none()};
    std::vector<double> ms;
    for (int i = 1; i <= kSeeks; ++i) {
        playback.seek(drawing, 0);
        ms.push_back(elapsedMs([&] { playback.seek(drawing, playback.length() * i / kSeeks); }));
    }
    std::ranges::sort(ms);
    hour.medianSeekMs = ms[ms.size() / 2];
    hour.worstSeekMs = ms.back();
}

} // namespace

QPointF penPath(QSize client, int i, double speed) {
    const double t = i * speed;
    return {std::round((0.5 + 0.45 * std::sin(3 * t)) * client.width()),
            std::round((0.5 + 0.45 * std::sin(4 * t)) * client.height())};
}

RecorderCost recorderPenDots(QSize client, int moves, int runs) {
    const auto prepare = [](Drawing& drawing) {
        click(drawing, "Command3"); // CLS
        drawing.prepareHistory();
        if (!drawing.state().penOn.on()) click(drawing, "Command7"); // the pen
    };
    std::vector<Action> stroke{OnCanvas{Pointer::Press, penPath(client, 0), Qt::LeftButton}};
    for (int i = 1; i <= moves; ++i)
        stroke.push_back(OnCanvas{Pointer::Move, penPath(client, i)});
    stroke.push_back(OnCanvas{Pointer::Release, penPath(client, moves), Qt::LeftButton});
    const auto run = [&](Drawing& drawing) {
        for (const Action& action : stroke)
            drawing.take(action);
        return static_cast<long long>(stroke.size());
    };
    return drawingsInTurns(client, runs, prepare, run);
}

RecorderCost recorderDots(QSize client, int steps, int runs) {
    const auto prepare = [](Drawing& drawing) {
        click(drawing, "Command3");
        drawing.prepareHistory();
        click(drawing, "Command9");
    };
    const auto run = [steps](Drawing& drawing) {
        long long actions = 0;
        for (int done = 0; done < steps; done += kStepsPerBatch, ++actions)
            drawing.take(Steps{std::min(kStepsPerBatch, steps - done)});
        return actions;
    };
    return drawingsInTurns(client, runs, prepare, run);
}

Hour anHour(QSize client) {
    QTemporaryDir dir;
    Drawing drawing{client, QFont(), none()};
    Hour hour;
    const double othersBefore = processorMs() - threadMs();
    const double threadBefore = threadMs();
    {
        Recorder recorder(drawing, fileIn(dir));
        hour.actions = HourPlay(drawing, client).play();
    }
    hour.playedS = (threadMs() - threadBefore) / 1000;
    hour.writerS = (processorMs() - threadMs() - othersBefore) / 1000;
    const QString path = dir.filePath(QStringLiteral("bench.qrec.gz"));
    hour.fileMB = QFileInfo(path).size() / 1e6;
    QByteArray text;
    hour.readMs = elapsedMs([&] { text = readRecording(path); });
    hour.textMB = text.size() / 1e6;
    hour.lines = text.count('\n');
    Drawing back{client, QFont(), none()};
    recording::BroughtBack result;
    hour.bringBackMs = elapsedMs([&] { result = recording::bringBack(back, text); });
    hour.actionsBroughtBack = result.actions;
    checkpointsOf(hour, text, client);
    seeksOf(hour, text, client);
    hour.same = result.brought && !result.damaged &&
                back.canvas().picture() == drawing.canvas().picture() &&
                back.random().drawn() == drawing.random().drawn();
    return hour;
}
