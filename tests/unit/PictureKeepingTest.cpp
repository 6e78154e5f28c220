// Keeping the picture, on the real window: saving and recording (failures on a real tmpfs
// in a mount namespace of this process alone), printing to PDF (page and title), and which
// keys reach the window.
// Files go to a folder of the test's own, removed also when a check fails.
#include "Replay.h"
#include "app/Form1.h"
#include "app/PictureKeys.h"
#include "canvas/Canvas.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImageReader>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>

namespace {

class PictureKeeping : public testing::Test {
  protected:
    PictureKeeping() : replay_([this](const QString& line) { out_ << line; }) {}

    void run(const QStringList& lines) {
        ASSERT_EQ(replay_.run(lines), Replay::Outcome::Finished) << qPrintable(replay_.error());
    }
    QString path(const QString& name) const { return dir_.filePath(name); }
    // A 64 KiB tmpfs on the folder `name`, seen by this process only and gone with it,
    // holding the file old.bmp.
    bool mountSmallDisk(const QString& name) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr))
            return false;
        mounted_ = path(name);
        QFile old(mounted_ + "/old.bmp");
        return QDir().mkpath(mounted_) &&
               mount("tmpfs", qPrintable(mounted_), "tmpfs", 0, "size=64k") == 0 &&
               old.open(QIODevice::WriteOnly) && old.write("old picture") == 11 && old.flush();
    }
    ~PictureKeeping() override {
        if (!mounted_.isEmpty()) umount(qPrintable(mounted_));
    }

    // A failed save of `file` tells why, leaves `old` and the rest of its folder as they
    // were, and the pen (switched on) goes on drawing, at (60, y), with the same settings.
    void expectFailedSave(const QString& file, int error, const QString& old, int y) {
        const QDir folder = QFileInfo(file).dir();
        const QStringList before = folder.entryList(QDir::Files | QDir::Hidden);
        out_.clear();
        run({"dump state", "save " + file});
        const QString reason = QString::fromLocal8Bit(std::strerror(error));
        EXPECT_EQ(out_.takeLast().toStdString(),
                  QString::fromUtf16(u"message 「%1」を保存できませんでした。 %2")
                      .arg(file, reason)
                      .toStdString());
        EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden), before);
        QFile oldFile(old);
        EXPECT_TRUE(oldFile.open(QIODevice::ReadOnly) && oldFile.readAll() == "old picture");
        const QStringList stateBefore = std::exchange(out_, {});
        run({"dump state", QStringLiteral("down 60 %1").arg(y), QStringLiteral("move 60 %1").arg(y),
             QStringLiteral("up 60 %1").arg(y), QStringLiteral("dump pixel 60 %1").arg(y)});
        EXPECT_EQ(out_.takeLast(), QStringLiteral("16711680")); // the pen's blue dot
        EXPECT_EQ(out_, stateBefore);
    }

    QTemporaryDir dir_{QDir::current().filePath(QStringLiteral("picture-XXXXXX"))};
    QStringList out_;
    Replay replay_;
    QString mounted_;
};

TEST_F(PictureKeeping, SavedFilesHoldTheClientAreaInTheFormatOfTheirSuffix) {
    // Rings over the whole area, then a smaller client area: the picture is what is seen.
    run({"click Command2", "resize 300 200", "save " + path("rings.png"), "save " + path("plain"),
         "save " + path("rings.JPG"), "save " + path("rings.bmp")});
    EXPECT_TRUE(out_.isEmpty()) << qPrintable(out_.join(u' '));
    const QImage seen = replay_.form().drawing().canvas().raster().copy(0, 0, 300, 200);
    for (const char* name : {"rings.png", "plain.png"}) // a name without suffix gets ".png"
        EXPECT_EQ(QImage(path(name)).convertToFormat(QImage::Format_RGB32), seen) << name;
    EXPECT_FALSE(QFile::exists(path("plain")) || QFile::exists(path("rings.png.png")));
    for (const auto& [name, format] : {std::pair("rings.JPG", "jpeg"), {"rings.bmp", "bmp"}}) {
        QImageReader reader(path(name));
        EXPECT_EQ(reader.format(), QByteArray(format)) << name;
        EXPECT_EQ(reader.read().size(), QSize(300, 200)) << name;
    }
}

TEST_F(PictureKeeping, ASaveWhileDotsAreDrawnKeepsThatMomentAndTheDrawingGoesOn) {
    run({"click Command9", "steps 300", "canvas-png " + path("moment.png"),
         "save " + path("dots.png"), "steps 300", "canvas-png " + path("later.png")});
    EXPECT_EQ(QImage(path("dots.png")), QImage(path("moment.png")));
    EXPECT_NE(QImage(path("dots.png")), QImage(path("later.png")));
}

TEST_F(PictureKeeping, ASaveOntoAFullDiskOrIntoAReadOnlyFolderChangesNothing) {
    if (!mountSmallDisk("small")) GTEST_SKIP() << "cannot mount: " << std::strerror(errno);
    run({"click Command7"});
    // 451 x 382 pixels of 3 bytes each are far more than 64 KiB.
    expectFailedSave(path("small/old.bmp"), ENOSPC, path("small/old.bmp"), 60);
    ASSERT_EQ(mount(nullptr, qPrintable(mounted_), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    expectFailedSave(path("small/new.png"), EROFS, path("small/old.bmp"), 100);
}

// Where the drawing cannot be recorded, drawing goes on and the hint line says so, once:
// a disk full at start-up, and one that fills while the user draws.
TEST_F(PictureKeeping, WhereNoRecordingCanBeWrittenDrawingGoesOnAndTheHintLineSaysSoOnce) {
    if (!mountSmallDisk("small")) GTEST_SKIP() << "cannot mount: " << std::strerror(errno);
    QFile filler(path("small/filler"));
    const auto fillDisk = [&filler] {
        const QByteArray block(4096, 'x');
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
        while (filler.write(block) == block.size() && filler.flush()) {
        }
        filler.close();
    };
    Form1::Services services;
    services.clock = LoopScheduler::Clock::Manual;
    services.recordings = RecordingFolder(path("small/recordings"));
    using action::ControlEvent::Click, action::ControlEvent::MouseDown,
        action::ControlEvent::MouseMove, action::Pointer;
    const auto hint = [](const Form1& form) {
        return qobject_cast<QLineEdit*>(form.control(QStringLiteral("Text4")))
            ->text()
            .toStdString();
    };

    fillDisk();
    {
        Form1 full(services);
        EXPECT_EQ(hint(full), "絵の記録を書けないので、この絵は Ctrl+S で保存しないと残りません。");
        const QImage blank = full.drawing().canvas().picture();
        full.act(action::OnControl{Click, QStringLiteral("Command6")});
        EXPECT_NE(full.drawing().canvas().picture(), blank);
    }

    ASSERT_TRUE(filler.remove());
    Form1 filling(services);
    EXPECT_EQ(hint(filling), "");
    fillDisk();
    // Pen strokes until the recording no longer fits: the file's thread finds out in its
    // own time, and the next action tells. The pen goes on drawing.
    const std::string told =
        "絵の記録を書けなくなったので、この絵は Ctrl+S で保存しないと残りません。";
    filling.act(action::OnControl{MouseDown, QStringLiteral("Command7")}); // the pen
    const auto stroke = [&filling](int y) {
        filling.act(action::OnCanvas{Pointer::Press, QPointF(1, y), Qt::LeftButton});
        for (int x = 1; x < 450; x += 7)
            filling.act(action::OnCanvas{Pointer::Move, QPointF(x, y + x % 5)});
        filling.act(action::OnCanvas{Pointer::Release, QPointF(450, y), Qt::LeftButton});
    };
    QElapsedTimer waited;
    waited.start();
    for (int y = 0; hint(filling) != told && waited.elapsed() < 10'000; y = (y + 3) % 380) {
        stroke(y);
        QThread::msleep(5);
    }
    EXPECT_EQ(hint(filling), told);
    const QImage before = filling.drawing().canvas().picture();
    stroke(200);
    EXPECT_NE(filling.drawing().canvas().picture(), before);
    // Said once: a hint replaces the sentence, and it does not come back.
    filling.act(action::OnControl{MouseMove, QStringLiteral("Command6")});
    EXPECT_EQ(hint(filling), "アート４");
    for (int y = 0; y < 100; y += 10)
        stroke(y);
    EXPECT_EQ(hint(filling), "アート４");
}

TEST_F(PictureKeeping, TheSaveDialogProposesATimedNameInThePicturesFolderThenTheLastFolder) {
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(dir_.path()));
    QStringList folders;
    QString answer;
    Form1::Services services;
    services.clock = LoopScheduler::Clock::Manual;
    services.dialogs.askSaveFile = [&](QWidget*, const QString& proposed, const QString&) {
        EXPECT_TRUE(QRegularExpression(QStringLiteral("/quenzel-20\\d{6}-\\d{6}\\.png$"))
                        .match(proposed)
                        .hasMatch())
            << qPrintable(proposed);
        folders << QFileInfo(proposed).path();
        return std::exchange(answer, {});
    };
    services.dialogs.tell = [&](QWidget*, const QString& text) { folders << text; };
    Form1 form(services);
    form.keeper().save(); // no pictures folder: the home folder
    QDir(dir_.path()).mkdir(QStringLiteral("Pictures"));
    answer = path("chosen.png");
    form.keeper().save();
    form.keeper().save();
    qputenv("HOME", home);
    EXPECT_EQ(folders, QStringList({dir_.path(), path("Pictures"), dir_.path()}));
    EXPECT_TRUE(QFile::exists(path("chosen.png")));
}

TEST_F(PictureKeeping, PrintingToPdfGivesOnePageWithThePictureCentredAndFitted) {
    // A pen dot wider than the window makes the whole picture blue.
    const qint64 before = QDateTime::currentSecsSinceEpoch();
    run({"type Text5 1000", "click Command7", "down 200 200", "move 201 200", "up 200 200",
         "print " + path("picture.pdf")});
    const qint64 after = QDateTime::currentSecsSinceEpoch();
    // The title names the program and the moment of printing, to the second.
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {path("picture.pdf")});
    ASSERT_TRUE(info.waitForFinished());
    const QString infoText = QString::fromUtf8(info.readAllStandardOutput());
    const auto title = QRegularExpression(QStringLiteral("^Title: +quenzel-(\\d{8}-\\d{6})$"),
                                          QRegularExpression::MultilineOption)
                           .match(infoText);
    ASSERT_TRUE(title.hasMatch()) << qPrintable(infoText);
    const qint64 printed =
        QDateTime::fromString(title.captured(1), QStringLiteral("yyyyMMdd-HHmmss"))
            .toSecsSinceEpoch();
    EXPECT_GE(printed, before);
    EXPECT_LE(printed, after);
    ASSERT_EQ(QProcess::execute(QStringLiteral("pdftoppm"),
                                {"-r", "36", "-png", path("picture.pdf"), path("page")}),
              0);
    const QStringList pages = QDir(dir_.path()).entryList({QStringLiteral("page*.png")});
    ASSERT_EQ(pages.size(), 1);
    const QImage page(path(pages.first()));
    QRect blue;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (page.pixel(x, y) == qRgb(0, 0, 255)) blue |= QRect(x, y, 1, 1);
    // Proportions kept (to a pixel of the page), centred, and as wide as the printable
    // area allows: the margins are at most a tenth of the page.
    EXPECT_NEAR(blue.width() * 382.0 / 451.0, blue.height(), 2.0);
    EXPECT_NEAR(blue.center().x(), page.rect().center().x(), 2.0);
    EXPECT_NEAR(blue.center().y(), page.rect().center().y(), 2.0);
    EXPECT_GT(blue.width(), page.width() * 0.8);
}

TEST_F(PictureKeeping, UndoAndRedoKeysReachTheWindowUnlessABoxHasTypingToTakeBack) {
    auto* keys = replay_.form().findChild<PictureKeys*>();
    ASSERT_NE(keys, nullptr);
    QSignalSpy undo(keys, &PictureKeys::undo), redo(keys, &PictureKeys::redo);
    // At start-up the focus is in a box nobody typed into; then on a button.
    run({"key Ctrl+Z", "key Ctrl+Shift+Z", "key Ctrl+Y", "click Command7", "key Ctrl+Z"});
    EXPECT_EQ(undo.count(), 2);
    EXPECT_EQ(redo.count(), 2);
    // A box with typing of its own keeps Undo, and then Redo, until there is none left.
    run({"type Text6 12", "key Ctrl+Z", "key Ctrl+Y", "key Ctrl+Y", "dump text Text6"});
    EXPECT_EQ(undo.count(), 2);
    EXPECT_EQ(redo.count(), 3);
    EXPECT_EQ(out_, QStringList{"12"});
}

} // namespace
