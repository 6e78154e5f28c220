#include "FilmExport.h"

#include "CanvasView.h"
#include "Form1.h"
#include "canvas/PictureFile.h"
#include "recording/Recorder.h"
#include "recording/RecordingFile.h"

#include <QFileInfo>
#include <QProgressDialog>

#include <cstdio>
#include <cstdlib>

namespace {

// The client area as the window shows it after the drawing was played to the moment.
QImage windowFrame(Form1& form) {
    form.showPlayed();
    const Canvas& canvas = form.drawing().canvas();
    QImage frame(canvas.picture().size(), QImage::Format_ARGB32_Premultiplied);
    frame.setDevicePixelRatio(canvas.deviceRatio());
    form.canvasView()->render(&frame);
    return frame;
}

// The slowest speed of playing at which the film lasts a minute at most.
int filmSpeed(qint64 lengthMs) {
    constexpr qint64 kLongestFilmMs = 60'000;
    for (const int speed : film::kSpeeds)
        if (lengthMs <= kLongestFilmMs * speed) return speed;
    return film::kSpeeds.back();
}

} // namespace

film::Outcome exportFilm(const QByteArray& recording, const QString& path, FilmRequest request,
                         const film::Progress& progress, QString* error) {
    Playback playback(recording);
    if (!playback.playable()) {
        *error = QString::fromUtf16(u"絵の記録が読めません（%1）。").arg(playback.error());
        return film::Outcome::Failed;
    }
    // Nothing of this window reaches the user: no clock of its own, no recording, no dialog.
    Form1 form({.quit = [] {},
                .openUrl = [](const QUrl&) {},
                .clock = LoopScheduler::Clock::Manual,
                .dialogs = {}});
    form.setAttribute(Qt::WA_DontShowOnScreen);
    form.show();
    const film::Frames frames{form.drawing(), [&] {
                                  return request.pictureOnly ? form.drawing().canvas().picture()
                                                             : windowFrame(form);
                              }};
    return film::make(playback, frames, request.speed, path, progress, error);
}

int exportFromCommandLine(const QString& drawing, const QString& out, FilmRequest request) {
    const QByteArray recording = readRecording(drawing);
    QString error = recording.isEmpty() ? QStringLiteral("cannot read the drawing") : QString();
    int shown = -1; // the last tenth told
    const auto progress = [&](qint64 done, qint64 total) {
        if (const int tenth = int(done * 10 / total); tenth != shown) {
            shown = tenth;
            std::fprintf(stderr, "quenzel: %s: %d%%\n", qPrintable(out), tenth * 10);
        }
        return true;
    };
    if (error.isEmpty() &&
        exportFilm(recording, out, request, progress, &error) == film::Outcome::Done)
        return EXIT_SUCCESS;
    std::fprintf(stderr, "quenzel: cannot export %s to %s: %s\n", qPrintable(drawing),
                 qPrintable(out), qPrintable(error));
    return EXIT_FAILURE;
}

void exportWindowFilm(QWidget* window, PictureKeeper& keeper, Recorder& recorder) {
    const QString chosen =
        keeper.askWhere(QStringLiteral("webp"), QStringLiteral("WebP, MP4 (*.webp *.mp4)"));
    if (chosen.isEmpty()) return;
    const QByteArray recording = recorder.recording();
    QProgressDialog progress(QString::fromUtf16(u"動画を書き出しています…"),
                             QString::fromUtf16(u"やめる"), 0, 100, window);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    QString error;
    const film::Outcome outcome = exportFilm(
        recording, chosen, {.speed = filmSpeed(Playback(recording).length())},
        [&](qint64 done, qint64 total) {
            progress.setValue(int(done * 100 / total));
            return !progress.wasCanceled();
        },
        &error);
    progress.reset();
    if (outcome == film::Outcome::Failed) keeper.tellFailed(chosen, error);
}
