#include "PictureFile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

namespace picture {

QString proposedFileName(const QDateTime& when, const QString& suffix) {
    return when.toString(QStringLiteral("'quenzel-'yyyyMMdd-HHmmss")) + u'.' + suffix;
}

QString withDefaultSuffix(const QString& path) {
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".png") : path;
}

QByteArray formatOf(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"png") return "png";
    if (suffix == u"jpg" || suffix == u"jpeg") return "jpeg";
    if (suffix == u"bmp") return "bmp";
    return {};
}

QString save(const QImage& image, const QString& path) {
    const QByteArray format = formatOf(path);
    if (format.isEmpty())
        return QString::fromUtf16(u"保存できるのは .png、.jpg、.jpeg、.bmp のファイルだけです");
    return saveWith(path, [&](QIODevice& file) {
        QImageWriter writer(&file, format);
        return writer.write(image) ? QString() : writer.errorString();
    });
}

QString saveWith(const QString& path, const std::function<QString(QIODevice&)>& write) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    // The device's own error names the system's reason (a full disk, say); the writer
    // only knows that writing failed. A failed write may leave the reason unnamed until
    // the flush that follows it, and commit() closes the file, which forgets the reason:
    // so flush here, whatever the writer says.
    const QString written = write(file);
    const bool flushed = file.flush();
    if (file.error() != QFileDevice::NoError) return file.errorString();
    if (!written.isEmpty()) return written;
    if (!flushed) return file.errorString();
    if (!file.commit()) return file.errorString();
    return {};
}

namespace {

QString tooLarge() {
    return QString::fromUtf16(u"絵が大きすぎます（幅も高さも %1 ピクセルまでです）").arg(kMaxSide);
}

bool withinLimits(QSize size) { return size.width() <= kMaxSide && size.height() <= kMaxSide; }

// Transparent parts over white, the canvas's ground.
QImage opaque(const QImage& image) {
    if (!image.hasAlphaChannel()) return image.convertToFormat(QImage::Format_RGB32);
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

} // namespace

std::optional<QImage> read(QIODevice& device, QString* reason, const QByteArray& format) {
    const auto fail = [&](const QString& why) {
        if (reason) *reason = why;
        return std::nullopt;
    };
    QImageReader reader(&device, format);
    // The reader's own refusal, in MB, for pictures whose header gives no size or a false
    // one: a raster of kMaxSide each way, 4 bytes a pixel.
    reader.setAllocationLimit(kMaxSide / 1024 * kMaxSide / 1024 * 4);
    reader.setAutoTransform(true);
    if (reader.supportsOption(QImageIOHandler::Size) && !withinLimits(reader.size()))
        return fail(tooLarge());
    QImage image = reader.read();
    if (image.isNull()) return fail(reader.errorString());
    if (!withinLimits(image.size())) return fail(tooLarge());
    return opaque(image);
}

std::optional<QImage> load(const QString& path, QString* reason) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (reason) *reason = file.errorString();
        return std::nullopt;
    }
    return read(file, reason);
}

QStringList readableFilters() {
    QStringList filters;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        filters << QStringLiteral("*.") + QString::fromLatin1(format);
    return filters;
}

QRect fitCentred(QSize picture, const QRect& area) {
    QRect fitted(QPoint(), picture.scaled(area.size(), Qt::KeepAspectRatio));
    fitted.moveCenter(area.center());
    return fitted;
}

} // namespace picture
