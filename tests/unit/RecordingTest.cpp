// A drawing as the stream of its actions: every action reads back from its recorded line
// as it was taken, a checkpoint brings back the whole drawing, and what comes back from a
// recording (whole, cut short or damaged) is the drawing as it was at its last whole action.

#include "app/CanvasView.h"
#include "app/Form1.h"
#include "app/MakingOfPlayer.h"
#include "app/PictureKeys.h"
#include "drawing/Drawing.h"
#include "recording/BringBack.h"
#include "recording/CheckpointData.h"
#include "recording/DrawingFile.h"
#include "recording/Film.h"
#include "recording/Playback.h"
#include "recording/RecordedLine.h"
#include "recording/Recorder.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFont>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <gtest/gtest.h>
#include <webp/demux.h>

#include <zlib.h>

#include <random>

namespace {

using namespace action;

QString described(const Action& a) { return QString::fromUtf8(recording::line(0, a)); }

// A picture of three colours, as an opened picture reaches the drawing.
QImage threeColours() {
    QImage image(3, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(2, 0, qRgb(10, 20, 30));
    return image;
}

// A PNG whose header claims width x height pixels, with one row of data.
QByteArray pngClaiming(quint32 width, quint32 height) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    threeColours().save(&buffer, "PNG");
    char* header = png.data() + 12; // "IHDR", its 13 bytes, their CRC
    qToBigEndian(width, header + 4);
    qToBigEndian(height, header + 8);
    qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef*>(header), 17)), header + 17);
    return png;
}

TEST(RecordedLine, EveryActionReadsBackAsItWasTaken) {
    const QString hostile = QStringLiteral("a\\b\nc\rd") + QChar(0) + QStringLiteral(" 😀 ") +
                            QChar(0xD800) + QStringLiteral("  ");
    const Action actions[] = {
        OnCanvas{Pointer::Press, {120.5, 80}, Qt::LeftButton},
        OnCanvas{Pointer::Move, {1.0 / 3, -2.75e-7}},
        OnCanvas{Pointer::Release, {121, 80.5}, Qt::RightButton},
        OnCanvas{Pointer::Press, {0, 0}, Qt::BackButton},
        OnControl{ControlEvent::MouseMove, QStringLiteral("Command7"), Qt::NoButton},
        OnControl{ControlEvent::MouseDown, QStringLiteral("Picture6"), Qt::MiddleButton},
        OnControl{ControlEvent::Click, QStringLiteral("Command9")},
        NewText{Control::Text6, QStringLiteral("１２８")},
        NewText{Control::Text5, QString()},
        NewText{Control::Text4, hostile},
        MenuItem{QStringLiteral("book")},
        Key{},
        Undo{},
        Redo{},
        Steps{33},
        ClientSize{QSize(1920, 1050)},
        DeviceRatio{1.5},
        Picture{threeColours()},
    };
    for (const Action& a : actions) {
        const QByteArray line = recording::line(1234, a);
        ASSERT_TRUE(line.endsWith('\n') && line.count('\n') == 1) << line.constData();
        QString error;
        const auto entry = recording::parse(QString::fromUtf8(line.chopped(1)), &error);
        ASSERT_TRUE(entry) << line.constData() << ": " << qPrintable(error);
        EXPECT_EQ(entry->ms, 1234);
        ASSERT_TRUE(std::holds_alternative<Action>(entry->what));
        EXPECT_EQ(described(std::get<Action>(entry->what)), described(a));
    }
    const auto typed = recording::parse(
        QString::fromUtf8(recording::line(5, NewText{Control::Text4, hostile}).chopped(1)),
        nullptr);
    EXPECT_EQ(std::get<NewText>(std::get<Action>(typed->what)).text, hostile);
    const auto picture = recording::parse(
        QString::fromUtf8(recording::line(5, Picture{threeColours()}).chopped(1)), nullptr);
    EXPECT_EQ(std::get<Picture>(std::get<Action>(picture->what)).image, threeColours());
}

// Actions kept to be written later come out as their lines in order, one a checkpoint
// stands for behind "# ".
TEST(RecordedLine, KeptActionsAreWrittenInOrder) {
    const std::vector<recording::Taken> kept{
        {7, false, Undo{}}, {9, true, Redo{}}, {12, false, OnCanvas{Pointer::Move, {3, 4.5}}}};
    EXPECT_EQ(recording::lines(kept), QByteArray("@7 undo\n# @9 redo\n@12 move 3 4.5\n"));
}

TEST(RecordedLine, LinesThatAreNoActionAreRefused) {
    for (const QByteArray& line :
         QByteArrayList{"",
                        "@",
                        "@x move 1 2",
                        "@-1 move 1 2",
                        "@5",
                        "@5 fly 1 2",
                        "@5 move 1",
                        "@5 move 1 nan",
                        "@5 move 1 inf",
                        "@5 down 1 2 thumb",
                        "@5 press",
                        "@5 type Command7 1",
                        "@5 type Text6 \\x4",
                        "@5 type Text6 \\q",
                        "@5 steps -1",
                        "@5 steps 1e30",
                        "@5 resize 1 99999999",
                        "@5 ratio 0",
                        "@5 ratio 1e9",
                        "move 1 2",
                        "@5 key Space",
                        "@5 picture",
                        "@5 picture !!!!",
                        "@5 picture bm90IGEgcGljdHVyZQ==",
                        "@5 picture " + pngClaiming(3, 16385).toBase64(),
                        "@5 picture " + pngClaiming(100000, 100000).toBase64()}) {
        QString error;
        EXPECT_FALSE(recording::parse(QString::fromLatin1(line), &error)) << line.constData();
        EXPECT_FALSE(error.isEmpty()) << line.constData();
    }
}

struct Recorded : testing::Test {
    static Drawing::Effects none() {
        return {.end = [] {}, .openUrl = [](const QUrl&) {}};
    }
    Drawing drawing{QSize(451, 382), QFont(), none()};

    void take(std::initializer_list<Action> actions) {
        for (const Action& a : actions)
            drawing.take(a);
    }
    void click(const char* control) {
        take({OnControl{ControlEvent::MouseDown, QString::fromLatin1(control)},
              OnControl{ControlEvent::Click, QString::fromLatin1(control)}});
    }
};

// Everything a test can see of a drawing, as one text.
QString seen(const Drawing& d) {
    DrawingState state = d.state();
    QString out;
    state.visitMembers([&](const char* name, const auto& member) {
        if constexpr (std::is_same_v<std::decay_t<decltype(member)>, Switch>)
            out += QStringLiteral("%1=%2 ").arg(name).arg(member.value);
        else
            out +=
                QStringLiteral("%1=%2:%3 ").arg(name).arg(int(member.type())).arg(member.toText());
    });
    for (int c = 0; c <= int(Control::Image9); ++c)
        out += d.text(Control(c)) + u'|';
    const Canvas& canvas = d.canvas();
    return out + QStringLiteral(" random %1 width %2 colour %3 mode %4 size %5x%6 ratio %7 %8 %9")
                     .arg(d.random().drawn())
                     .arg(canvas.drawWidth())
                     .arg(canvas.foreColor())
                     .arg(canvas.scaleMode())
                     .arg(canvas.clientSize().width())
                     .arg(canvas.clientSize().height())
                     .arg(canvas.deviceRatio())
                     .arg(d.looping())
                     .arg(qHashBits(canvas.picture().constBits(), canvas.picture().sizeInBytes()));
}

// A checkpoint in the middle of everything (a pen stroke held, "②" sprinkling its one open
// step, the chase half-way) brings back a drawing that goes on exactly as the first: the
// same pixels, state and numbers drawn, and one undo still takes back all of the dots.
TEST_F(Recorded, ACheckpointBringsBackADrawingThatGoesOnTheSame) {
    click("Picture6");
    click("Command14"); // chase on
    take({OnCanvas{Pointer::Move, {300, 200}}, Steps{40}});
    click("Command14"); // chase off; the eye goes on
    const QImage undotted = drawing.canvas().picture();
    click("Command9");
    take({Steps{500}});
    const QString data = QString::fromLatin1(recording::encode(drawing.snapshot()));
    QString error;
    const auto snapshot = recording::decode(data.toLatin1(), &error);
    ASSERT_TRUE(snapshot) << qPrintable(error);
    Drawing copy{QSize(10, 10), QFont(), none()};
    copy.restore(*snapshot);
    EXPECT_EQ(seen(copy), seen(drawing));
    for (Drawing* d : {&drawing, &copy}) {
        d->take(Steps{300});
        d->take(OnControl{ControlEvent::MouseDown, QStringLiteral("Text7")}); // ends the dots' step
        d->take(Undo{});
    }
    EXPECT_EQ(seen(copy), seen(drawing));
    EXPECT_EQ(copy.canvas().picture(), undotted) << "the dots before the checkpoint stayed";
}

TEST_F(Recorded, DamagedOrHostileCheckpointsAreRefused) {
    click("Command6");
    const QByteArray good = recording::encode(drawing.snapshot());
    QByteArray bomb = QByteArray::fromBase64(good);
    bomb[0] = char(0x7F); // claims two gigabytes
    QByteArray flipped = QByteArray::fromBase64(good);
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x55);
    for (const QByteArray& data :
         {QByteArray(), QByteArray("!!!!"), good.left(good.size() / 2), bomb.toBase64(),
          flipped.toBase64(), qCompress(QByteArray(100, 'x')).toBase64()}) {
        QString error;
        EXPECT_FALSE(recording::decode(data, &error));
        EXPECT_FALSE(error.isEmpty());
    }
}

// A random session of a user's actions, among them undos reaching far back, "②" and the
// chase running, resizes and a new screen density. Recorded with a checkpoint after every
// action or with the program's own rule, the recording cut after any action line brings
// back the drawing exactly as it was then.
TEST(Recorder, EveryMomentComesBackAsItWas) {
    QTemporaryDir dir;
    std::mt19937 random(20261208);
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    const auto anywhere = [&] { return QPointF(pick(470) - 10, pick(400) - 10) + QPointF(0.5, 0); };
    const char* clicks[] = {"Command7", "Command10", "Command13", "Command8",
                            "Picture6", "Picture9",  "Command2",  "Command4",
                            "Command9", "Command14", "Command12", "Command3"};
    for (const Recorder::Checkpoints every :
         {Recorder::Checkpoints{1, 0}, Recorder::Checkpoints{}}) {
        const QString path = dir.filePath(QStringLiteral("%1.qrec.gz").arg(every.minGapMs));
        Drawing drawing{QSize(451, 382), QFont(), Recorded::none()};
        QStringList expected; // what the drawing was after each recorded action
        {
            Recorder recorder(drawing, RecordingFile::create(path, nullptr), every);
            for (int i = 0; i < 300; ++i) {
                const int what = pick(20);
                Action a = Key{};
                if (what < 6)
                    a = OnCanvas{Pointer(pick(3)), anywhere(), Qt::LeftButton};
                else if (what < 9)
                    a = OnControl{ControlEvent(pick(3)), QString::fromLatin1(clicks[pick(12)])};
                else if (what < 11)
                    a = Undo{};
                else if (what == 11)
                    a = Redo{};
                else if (what == 12)
                    a = NewText{Control::Text5, QString::number(pick(12))};
                else if (what == 13)
                    a = ClientSize{QSize(300 + pick(300), 200 + pick(300))};
                else if (what == 14)
                    a = DeviceRatio{pick(2) ? 1.0 : 2.0};
                else if (drawing.looping())
                    a = Steps{1 + pick(60)};
                drawing.take(a);
                expected << seen(drawing);
            }
        }
        const QByteArray text = readRecording(path);
        const QList<QByteArray> lines = text.split('\n');
        std::vector<qint64> effective; // when each action's effect is in the recording
        int replaced = 0;
        bool standsForAction = false; // the checkpoint to come holds an undo or redo
        QByteArray prefix;
        for (const QByteArray& line : lines) {
            prefix += line + '\n';
            const qsizetype at = line.indexOf('@');
            const qint64 ms = line.mid(at + 1, line.indexOf(' ', at) - at - 1).toLongLong();
            const bool checkpoint = line.contains(" checkpoint ");
            if (line.startsWith("# @")) {
                ++replaced;
                standsForAction = true;
                effective.push_back(ms);
                continue;
            }
            if (checkpoint ? !std::exchange(standsForAction, false) : !line.startsWith('@'))
                continue;
            if (!checkpoint) effective.push_back(ms);
            const qsizetype actions = qsizetype(effective.size());
            if (!checkpoint && actions % 37 && actions != qsizetype(expected.size())) continue;
            Drawing back{QSize(10, 10), QFont(), Recorded::none()};
            const recording::BroughtBack result = recording::bringBack(back, prefix);
            ASSERT_TRUE(result.brought && !result.damaged) << qPrintable(result.error);
            ASSERT_EQ(seen(back).toStdString(), expected[actions - 1].toStdString())
                << "after action " << actions << ", checkpoints at least every " << every.minGapMs
                << " ms";
        }
        ASSERT_EQ(effective.size(), std::size_t(expected.size()))
            << "every action is recorded, and only once";
        if (every.minGapMs == 0) {
            EXPECT_GT(replaced, 0) << "no undo reached behind a checkpoint";
        }
        // Any moment, forward or back: the drawing as it was after the last action by then.
        Playback playback(text);
        Drawing played{QSize(10, 10), QFont(), Recorded::none()};
        for (int k = 0; k < 40; ++k) {
            const qint64 moment = effective[pick(int(effective.size()))];
            const auto last = std::upper_bound(effective.begin(), effective.end(), moment) - 1;
            ASSERT_TRUE(playback.seek(played, moment));
            ASSERT_EQ(seen(played).toStdString(), expected[last - effective.begin()].toStdString())
                << "at " << moment << " ms";
        }
        EXPECT_TRUE(recording::endedByUser(text) == false);
    }
}

// Pointer movements are timed only now and then, but each counts for a replay's work, and
// every action has its moment, none before the one before it.
TEST(Recorder, EveryActionHasItsCostAndMoment) {
    Drawing drawing{QSize(451, 382), QFont(), Recorded::none()};
    std::vector<std::pair<qint64, qint64>> heard; // cost, done
    drawing.setTaken(
        [&](const Action&, qint64 cost, qint64 done) { heard.emplace_back(cost, done); });
    drawing.take(OnControl{ControlEvent::Click, QStringLiteral("Command7")});
    for (int i = 0; i < 40; ++i)
        drawing.take(OnCanvas{Pointer::Move, {120.0 + i, 80}});
    drawing.take(OnControl{ControlEvent::MouseMove, QStringLiteral("Command8"), Qt::NoButton});
    ASSERT_EQ(heard.size(), 42u);
    for (std::size_t i = 0; i < heard.size(); ++i) {
        EXPECT_GT(heard[i].first, 0) << "action " << i;
        if (i > 0) {
            EXPECT_GE(heard[i].second, heard[i - 1].second) << "action " << i;
        }
    }
}

// The lines of a gesture that goes on (pen 2 drawing as the pointer moves) reach the disk
// within a second, also when the user stops there and nothing else comes.
TEST(Recorder, AGestureLeftHalfWayIsWrittenWithinASecond) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("idle.qrec.gz"));
    Drawing drawing{QSize(451, 382), QFont(), Recorded::none()};
    Recorder recorder(drawing, RecordingFile::create(path, nullptr));
    drawing.take(OnControl{ControlEvent::Click, QStringLiteral("Command10")});
    drawing.take(OnCanvas{Pointer::Move, {120, 80}});
    QElapsedTimer waited;
    waited.start();
    while (!readRecording(path).contains("move 120 80") && waited.elapsed() < 3000) {
        QEventLoop loop;
        QTimer::singleShot(50, &loop, &QEventLoop::quit);
        loop.exec();
    }
    EXPECT_LT(waited.elapsed(), 1500);
}

// What a program prints, or fails the test.
QString output(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(120000) && process.exitCode() == 0)
        << qPrintable(program) << ": " << process.readAllStandardError().toStdString();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// The last frame of an animated WebP as it is shown, and how many frames it has.
std::pair<QImage, int> lastFrame(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    const WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()),
                        std::size_t(bytes.size())};
    WebPAnimDecoderOptions options;
    WebPAnimDecoderOptionsInit(&options);
    options.color_mode = MODE_BGRA;
    WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
    if (!decoder) return {};
    WebPAnimInfo info;
    WebPAnimDecoderGetInfo(decoder, &info);
    uint8_t* pixels = nullptr;
    int timestamp = 0, frames = 0;
    while (WebPAnimDecoderHasMoreFrames(decoder) &&
           WebPAnimDecoderGetNext(decoder, &pixels, &timestamp))
        ++frames;
    QImage last = pixels ? QImage(pixels, int(info.canvas_width), int(info.canvas_height),
                                  QImage::Format_ARGB32)
                               .convertToFormat(QImage::Format_RGB32)
                         : QImage();
    WebPAnimDecoderDelete(decoder);
    return {last, frames};
}

// A recording made by hand, at moments of our choosing: a blank drawing's checkpoint, then
// the actions taken, each into the drawing as well.
struct HandRecording {
    Drawing drawing{QSize(451, 382), QFont(), Recorded::none()};
    QByteArray text;

    HandRecording() {
        drawing.take(DeviceRatio{1});
        text = recording::header(QSize(451, 382), 1) +
               recording::checkpointLine(0, recording::encode(drawing.snapshot()));
    }
    void take(qint64 ms, const Action& a) {
        drawing.take(a);
        text += recording::line(ms, a);
    }
    // A pen stroke from (20, 20), a move every 10 ms from `from` ms on to `to` ms, to
    // (20 + ms / 5, 20 + ms / 10) at each.
    void penStroke(qint64 from, qint64 to) {
        take(from, OnControl{ControlEvent::MouseDown, QStringLiteral("Command7")});
        take(from, OnControl{ControlEvent::Click, QStringLiteral("Command7")});
        take(from, OnCanvas{Pointer::Press, QPointF(20, 20), Qt::LeftButton});
        for (qint64 ms = from + 10; ms <= to; ms += 10)
            take(ms, OnCanvas{Pointer::Move, QPointF(20 + ms / 5.0, 20 + ms / 10.0)});
    }
    QString write(const QTemporaryDir& dir, const QString& name) const {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
        return file.fileName();
    }
};

// `quenzel --export` makes a film of a pen stroke, a move every 10 ms for 1990 ms: a valid
// animated WebP and MP4 with 30 frames a second of film and one more for the end, each
// frame another part of the stroke, and the final picture exactly as the last WebP frame.
TEST(Film, ExportedFromTheCommandLineAsTheLengthAndSpeedGive) {
    QTemporaryDir dir;
    HandRecording made;
    constexpr qint64 kLength = 1990;
    made.penStroke(0, kLength);
    const QString recordingPath = made.write(dir, QStringLiteral("stroke.quenzel"));
    const Drawing& drawing = made.drawing;
    // Frames at k * 1000 / 30 * speed ms before the end, and the end.
    const auto framesAt = [&](int speed) {
        int frames = 1;
        for (int k = 0; k * 1000 * speed < 30 * kLength; ++k)
            ++frames;
        return frames;
    };

    const QString webp = dir.filePath(QStringLiteral("stroke.webp"));
    output(QStringLiteral(QUENZEL_PROGRAM),
           {"--export", recordingPath, webp, "--speed", "2", "--picture-only"});
    // Each frame lasts 1/30 s, the film's time rounded to whole ms.
    const QString info = output(QStringLiteral("webpmux"), {"-info", webp});
    EXPECT_TRUE(info.contains(QStringLiteral("Number of frames: %1\n").arg(framesAt(2))));
    int lasting = 0;
    for (const QString& row : info.split(u'\n').mid(5))
        lasting += row.simplified().section(u' ', 6, 6).toInt();
    EXPECT_EQ(lasting, (framesAt(2) * 1000 + 15) / 30);
    const auto [last, frames] = lastFrame(webp);
    EXPECT_EQ(frames, framesAt(2));
    EXPECT_TRUE(last == drawing.canvas().picture().convertToFormat(QImage::Format_RGB32));

    // The window as it showed, 451 pixels wide: one more for the colours of H.264.
    const QString mp4 = dir.filePath(QStringLiteral("stroke.mp4"));
    output(QStringLiteral(QUENZEL_PROGRAM), {"--export", recordingPath, mp4});
    EXPECT_EQ(
        output(QStringLiteral("ffprobe"),
               {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                "stream=codec_name,pix_fmt,width,height,nb_read_frames", "-of", "csv=p=0", mp4})
            .trimmed()
            .toStdString(),
        QStringLiteral("h264,452,382,yuv420p,%1").arg(framesAt(1)).toStdString());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3)
        << "only the drawing and its two films";
}

// An opened drawing plays in the window as it was made, its pause of 10 s shortened to 2 s,
// at the speed chosen; the hint line says where and how fast; the pointer draws nothing
// until the end, where the first press draws on. What the drawing did beyond itself is not
// done again: a link opens nothing, END ends nothing.
TEST(MakingOf, PlaysInTheWindowAsItWasMadeAtTheSpeedChosen) {
    QTemporaryDir dir;
    HandRecording made;
    made.penStroke(0, 1000); // to (220, 120)
    made.take(1000, OnCanvas{Pointer::Release, QPointF(220, 120), Qt::LeftButton});
    made.take(11000, OnCanvas{Pointer::Press, QPointF(300, 300), Qt::LeftButton});
    made.take(11000, OnCanvas{Pointer::Move, QPointF(300, 300)});
    made.take(11000, OnCanvas{Pointer::Release, QPointF(300, 300), Qt::LeftButton});
    made.take(11000, MenuItem{QStringLiteral("book")});
    made.take(11000, OnControl{ControlEvent::Click, QStringLiteral("Command5")});
    int outside = 0;
    Form1::Services services;
    services.quit = [&] { ++outside; };
    services.openUrl = [&](const QUrl&) { ++outside; };
    services.clock = LoopScheduler::Clock::Manual;
    services.recordings = RecordingFolder(dir.filePath(QStringLiteral("recordings")));
    Form1 form(services);
    form.show();
    const auto inked = [&](int x, int y) {
        return form.drawing().canvas().picture().pixel(x, y) != qRgb(255, 255, 255);
    };
    const auto hint = [&] { return qobject_cast<QLineEdit*>(form.control("Text4"))->text(); };
    const auto key = [&](int code) {
        for (const auto type : {QEvent::ShortcutOverride, QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, code, Qt::NoModifier);
            QCoreApplication::sendEvent(form.focusWidget() ? form.focusWidget() : &form, &event);
        }
    };
    const auto click = [&](QPoint at) {
        for (const auto type :
             {QEvent::MouseButtonPress, QEvent::MouseMove, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, form.canvasView()->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                              Qt::NoModifier);
            QCoreApplication::sendEvent(form.canvasView(), &event);
        }
    };

    ASSERT_TRUE(form.open(made.write(dir, QStringLiteral("made.quenzel"))));
    MakingOfPlayer* player = form.player();
    ASSERT_TRUE(player);
    EXPECT_EQ(player->length(), 3000);
    EXPECT_FALSE(inked(60, 40));
    EXPECT_TRUE(hint().contains(u"再生中") && hint().contains(u"0:00 / 0:03") &&
                hint().contains(u"×1"))
        << hint().toStdString();
    player->advance(500); // the stroke to (120, 70)
    EXPECT_TRUE(inked(60, 40));
    EXPECT_FALSE(inked(180, 100));
    key(Qt::Key_Plus);
    key(Qt::Key_Plus);
    EXPECT_EQ(player->speed(), 4);
    player->advance(250); // 1000 ms of the film: all of the stroke
    EXPECT_TRUE(inked(180, 100));
    EXPECT_FALSE(inked(300, 300));
    key(Qt::Key_Space);
    player->advance(60000);
    click(QPoint(400, 50));
    EXPECT_FALSE(inked(300, 300) || inked(400, 50));
    EXPECT_TRUE(hint().contains(u"止めています") && hint().contains(u"×4")) << hint().toStdString();
    key(Qt::Key_Space);
    player->advance(374); // at x4; the dot comes 2000 ms of the film after the stroke
    EXPECT_FALSE(inked(300, 300));
    player->advance(1);
    EXPECT_TRUE(inked(300, 300));
    EXPECT_TRUE(player->atEnd() && hint().contains(u"最後まで")) << hint().toStdString();
    EXPECT_EQ(outside, 0);
    EXPECT_TRUE(form.isVisible());
    for (int i = 0; i < 8; ++i)
        key(Qt::Key_Plus);
    EXPECT_EQ(player->speed(), 64);
    for (int i = 0; i < 8; ++i)
        key(Qt::Key_Minus);
    EXPECT_EQ(player->speed(), 1);

    click(QPoint(400, 50));
    EXPECT_EQ(form.player(), nullptr);
    EXPECT_TRUE(inked(400, 50));

    // Nor when the same recording is brought back after an end that was not the user's.
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("crashed")));
    made.write(dir, QStringLiteral("crashed/20261208-000000000-1.qrec.gz"));
    services.recordings = RecordingFolder(dir.filePath(QStringLiteral("crashed")));
    Form1 broughtBack(services);
    EXPECT_NE(broughtBack.drawing().canvas().picture().pixel(300, 300), qRgb(255, 255, 255));
    EXPECT_EQ(outside, 0);
}

// Ctrl+E in the window: asked where with a proposed WebP name, the window's own drawing from
// its start as a film whose last frame is the client area as the window shows it.
TEST(Film, CtrlEExportsTheWindowsDrawingFromItsStart) {
    QTemporaryDir dir;
    Form1::Services services;
    services.clock = LoopScheduler::Clock::Manual;
    services.recordings = RecordingFolder(dir.filePath(QStringLiteral("recordings")));
    QStringList asked;
    services.dialogs.askSaveFile = [&](QWidget*, const QString& proposed, const QString&) {
        asked << QFileInfo(proposed).suffix();
        return dir.filePath(QStringLiteral("film.webp"));
    };
    services.dialogs.tell = [&](QWidget*, const QString& text) { asked << text; };
    Form1 form(services);
    form.show();
    form.act(OnControl{ControlEvent::Click, QStringLiteral("Command7")});
    form.act(OnCanvas{Pointer::Press, QPointF(30, 40), Qt::LeftButton});
    form.act(OnCanvas{Pointer::Move, QPointF(200, 90)});
    form.act(OnCanvas{Pointer::Release, QPointF(200, 90), Qt::LeftButton});
    emit form.findChild<PictureKeys*>()->exportFilm();
    EXPECT_EQ(asked, QStringList{QStringLiteral("webp")});
    const auto [last, frames] = lastFrame(dir.filePath(QStringLiteral("film.webp")));
    EXPECT_GE(frames, 1);
    EXPECT_TRUE(last == form.canvasView()->grab().toImage().convertToFormat(QImage::Format_RGB32));
}

// A drawing opened from its file goes on in a recording that holds all of the file's first,
// its times going on from there: cut down to its first checkpoint and the actions, what is
// kept next still brings back the drawing as it ends, so every action from the start is in
// it, the opened picture's too.
TEST(Recorder, AnOpenedDrawingGoesOnFromItsWholeRecording) {
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    const auto draw = [](Drawing& d, QPointF from, QPointF to) {
        for (const Action& a : {Action(OnControl{ControlEvent::MouseDown, "Command7"}),
                                Action(OnCanvas{Pointer::Press, from, Qt::LeftButton}),
                                Action(OnCanvas{Pointer::Move, to}),
                                Action(OnCanvas{Pointer::Release, to, Qt::LeftButton})})
            d.take(a);
    };
    Drawing first{QSize(451, 382), QFont(), Recorded::none()};
    QByteArray kept;
    {
        Recorder recorder(first, RecordingFile::create(path("1.qrec.gz"), nullptr));
        draw(first, {100, 100}, {200, 150});
        kept = recorder.recording();
    }
    ASSERT_EQ(recording::keep(kept, path("kept.quenzel")), QString());
    const recording::Opened opened = recording::open(path("kept.quenzel"), QFont());
    ASSERT_TRUE(opened.drawing) << qPrintable(opened.error);
    EXPECT_EQ(opened.recording, kept);
    Drawing second{QSize(10, 10), QFont(), Recorded::none()};
    second.restore(*opened.drawing);
    EXPECT_EQ(seen(second), seen(first));
    QByteArray whole;
    {
        Recorder recorder(second, RecordingFile::create(path("2.qrec.gz"), nullptr),
                          opened.recording, opened.endMs);
        second.take(Picture{threeColours()});
        draw(second, {50, 300}, {400, 20});
        whole = recorder.recording();
    }
    ASSERT_TRUE(whole.startsWith(kept));
    QByteArray firstCheckpointOnly;
    int checkpoints = 0;
    qint64 last = 0;
    for (const QByteArray& line : whole.split('\n')) {
        if (line.startsWith('@')) {
            const qint64 ms = line.mid(1, line.indexOf(' ') - 1).toLongLong();
            EXPECT_GE(ms, last) << line.left(40).constData();
            last = ms;
        }
        if (!line.contains(" checkpoint ") || ++checkpoints == 1)
            firstCheckpointOnly += line + '\n';
    }
    EXPECT_GE(checkpoints, 2) << "the recording goes on from a checkpoint of its own";
    Drawing back{QSize(10, 10), QFont(), Recorded::none()};
    const recording::BroughtBack result = recording::bringBack(back, firstCheckpointOnly);
    ASSERT_TRUE(result.brought && !result.damaged) << qPrintable(result.error);
    EXPECT_EQ(seen(back), seen(second));
}

} // namespace
