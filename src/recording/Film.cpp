#include "Film.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryFile>

#include <webp/encode.h>
#include <webp/mux.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace film {

namespace {

// The film's time of frame `index`, in ms.
int timestampOf(qint64 index) {
    return int((index * 1000 + kFramesPerSecond / 2) / kFramesPerSecond);
}

// A frame of another size (the window was resized while drawing) at the top left of the film's.
QImage fitted(const QImage& frame, QSize size, QImage::Format format) {
    if (frame.size() == size) return frame.convertToFormat(format);
    QImage film(size, format);
    film.fill(Qt::white);
    QPainter painter(&film);
    painter.drawImage(QPoint(0, 0), frame);
    return film;
}

// Animated WebP, lossless, through libwebp's animation encoder. The encoder keeps the
// compressed frames; the file is written at the end.
class WebpFilm : public Encoder {
  public:
    WebpFilm(const QString& path, QSize size) : file_(path), size_(size) {
        WebPAnimEncoderOptions options;
        WebPAnimEncoderOptionsInit(&options);
        // Each frame only as the change from the one before: a drawing changes little at a time.
        options.kmax = 0;
        options.allow_mixed = 0;
        encoder_ = WebPAnimEncoderNew(size.width(), size.height(), &options);
        WebPConfigInit(&config_);
        WebPConfigLosslessPreset(&config_, 0); // the fastest: a film has thousands of frames
    }
    ~WebpFilm() override { WebPAnimEncoderDelete(encoder_); }

    // A folder that cannot take the film fails before any frame is made.
    bool start() override {
        return file_.open(QIODevice::WriteOnly) || failed(file_.errorString());
    }

    bool add(const QImage& frame) override {
        if (!encoder_) return failed(QStringLiteral("no WebP encoder"));
        const QImage argb = fitted(frame, size_, QImage::Format_ARGB32);
        WebPPicture picture;
        WebPPictureInit(&picture);
        picture.use_argb = 1;
        picture.width = size_.width();
        picture.height = size_.height();
        // QImage's ARGB32 is one 32-bit word a pixel, as WebP's own ARGB.
        bool ok = WebPPictureImportBGRA(&picture, argb.constBits(), int(argb.bytesPerLine()));
        ok = ok && WebPAnimEncoderAdd(encoder_, &picture, timestampOf(frames_), &config_);
        WebPPictureFree(&picture);
        ++frames_;
        return ok || failed(QString::fromUtf8(WebPAnimEncoderGetError(encoder_)));
    }

    bool finish() override {
        WebPData data;
        WebPDataInit(&data);
        const bool assembled =
            WebPAnimEncoderAdd(encoder_, nullptr, timestampOf(frames_), nullptr) &&
            WebPAnimEncoderAssemble(encoder_, &data);
        if (!assembled) return failed(QString::fromUtf8(WebPAnimEncoderGetError(encoder_)));
        const bool written = file_.write(reinterpret_cast<const char*>(data.bytes),
                                         qint64(data.size)) == qint64(data.size) &&
                             file_.commit();
        WebPDataClear(&data);
        return written || failed(file_.errorString());
    }

    QString error() const override { return error_; }

  private:
    bool failed(const QString& why) {
        error_ = why;
        return false;
    }

    QSaveFile file_; // written whole at the end, or not at all
    QSize size_;
    WebPAnimEncoder* encoder_ = nullptr;
    WebPConfig config_;
    qint64 frames_ = 0;
    QString error_;
};

// MP4 (H.264, yuv420p) through the ffmpeg program, which takes the frames as raw RGB on its
// input and writes a temporary file beside the film, renamed to it at the end. The program
// rather than FFmpeg's libraries: a recommended package instead of half a dozen libraries
// every install would need for a feature that few use.
class Mp4Film : public Encoder {
  public:
    // yuv420p halves the colour's resolution: the film's sides are even, one pixel wider or
    // taller where needed.
    Mp4Film(const QString& path, QSize size)
        : path_(path), size_((size.width() + 1) & ~1, (size.height() + 1) & ~1),
          temporary_(QFileInfo(path).absoluteDir().filePath(
              QStringLiteral(".%1.XXXXXX").arg(QFileInfo(path).fileName()))) {}

    bool start() override {
        if (!temporary_.open()) return failed(temporary_.errorString());
        const QString size = QStringLiteral("%1x%2").arg(size_.width()).arg(size_.height());
        ffmpeg_.start(QStringLiteral("ffmpeg"), {"-hide_banner",
                                                 "-loglevel",
                                                 "error",
                                                 "-y",
                                                 "-f",
                                                 "rawvideo",
                                                 "-pix_fmt",
                                                 "rgb24",
                                                 "-s",
                                                 size,
                                                 "-r",
                                                 QString::number(kFramesPerSecond),
                                                 "-i",
                                                 "-",
                                                 "-c:v",
                                                 "libx264",
                                                 "-pix_fmt",
                                                 "yuv420p",
                                                 "-movflags",
                                                 "+faststart",
                                                 "-f",
                                                 "mp4",
                                                 temporary_.fileName()});
        if (ffmpeg_.waitForStarted()) return true;
        return failed(QString::fromUtf16(u"MP4 の動画を作るには ffmpeg が要ります"
                                         u"（Debian では apt install ffmpeg）。"));
    }

    ~Mp4Film() override {
        if (ffmpeg_.state() == QProcess::NotRunning) return;
        ffmpeg_.kill();
        ffmpeg_.waitForFinished();
    }

    bool add(const QImage& frame) override {
        const QImage rgb = fitted(frame, size_, QImage::Format_RGB888);
        for (int y = 0; y < rgb.height(); ++y)
            ffmpeg_.write(reinterpret_cast<const char*>(rgb.constScanLine(y)), rgb.width() * 3);
        // A few frames ahead at most: the rest waits here, not in memory.
        while (ffmpeg_.bytesToWrite() > 8 * rgb.sizeInBytes())
            if (!ffmpeg_.waitForBytesWritten()) return failedRun();
        return true;
    }

    bool finish() override {
        ffmpeg_.closeWriteChannel();
        if (!ffmpeg_.waitForFinished(-1) || ffmpeg_.exitStatus() != QProcess::NormalExit ||
            ffmpeg_.exitCode() != 0)
            return failedRun();
        // As any new file, readable by all unless the umask says otherwise; a temporary file is
        // the owner's alone.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        const QByteArray temporary = QFile::encodeName(temporary_.fileName());
        if (::chmod(temporary.constData(), 0666 & ~mask) != 0 ||
            std::rename(temporary.constData(), QFile::encodeName(path_).constData()) != 0)
            return failed(QString::fromLocal8Bit(std::strerror(errno)));
        temporary_.setAutoRemove(false);
        return true;
    }

    QString error() const override { return error_; }

  private:
    bool failed(const QString& why) {
        error_ = why;
        return false;
    }
    bool failedRun() {
        const QString said = QString::fromLocal8Bit(ffmpeg_.readAllStandardError()).trimmed();
        return failed(said.isEmpty() ? ffmpeg_.errorString() : said.section(u'\n', -1));
    }

    QString path_;
    QSize size_;
    QTemporaryFile temporary_;
    QProcess ffmpeg_;
    QString error_;
};

} // namespace

qint64 frameCount(qint64 lengthMs, int speed) {
    // The moments k * 1000 * speed / 30 < length, and the end.
    const qint64 step = 1000LL * speed;
    return (lengthMs * kFramesPerSecond + step - 1) / step + 1;
}

qint64 frameMoment(qint64 index, qint64 lengthMs, int speed) {
    if (index >= frameCount(lengthMs, speed) - 1) return lengthMs;
    return index * 1000 * speed / kFramesPerSecond;
}

std::unique_ptr<Encoder> encoderFor(const QString& path, QSize size, QString* error) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    std::unique_ptr<Encoder> encoder;
    if (suffix == u"webp") encoder = std::make_unique<WebpFilm>(path, size);
    if (suffix == u"mp4") encoder = std::make_unique<Mp4Film>(path, size);
    if (!encoder) *error = QString::fromUtf16(u"動画は .webp か .mp4 で保存します。");
    if (encoder && !encoder->start()) *error = std::exchange(encoder, nullptr)->error();
    return encoder;
}

Outcome make(Playback& playback, const Frames& frames, int speed, const QString& path,
             const Progress& progress, QString* error) {
    const qint64 length = playback.length();
    const qint64 total = frameCount(length, speed);
    // The film is as large as the final picture, which it ends with.
    playback.seek(frames.drawing, length);
    auto encoder = encoderFor(path, frames.render().size(), error);
    if (!encoder) return Outcome::Failed;
    for (qint64 k = 0; k < total; ++k) {
        if (!progress(k, total)) return Outcome::Cancelled;
        playback.seek(frames.drawing, frameMoment(k, length, speed));
        if (!encoder->add(frames.render())) return *error = encoder->error(), Outcome::Failed;
    }
    if (!encoder->finish()) return *error = encoder->error(), Outcome::Failed;
    progress(total, total);
    return Outcome::Done;
}

} // namespace film
