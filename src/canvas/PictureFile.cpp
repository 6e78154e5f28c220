#include "PictureFile.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

namespace picture {

QString proposedFileName(const QDateTime& when) {
    return when.toString(QStringLiteral("'quenzel-'yyyyMMdd-HHmmss'.png'"));
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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    QImageWriter writer(&file, format);
    // The device's own error names the system's reason (a full disk, say); the writer
    // only knows that writing failed. A failed write may leave the reason unnamed until
    // the flush that follows it, and commit() closes the file, which forgets the reason:
    // so flush here, whatever the writer says.
    const bool written = writer.write(image);
    const bool flushed = file.flush();
    if (file.error() != QFileDevice::NoError) return file.errorString();
    if (!written || !flushed) return writer.errorString();
    if (!file.commit()) return file.errorString();
    return {};
}

QRect fitCentred(QSize picture, const QRect& area) {
    QRect fitted(QPoint(), picture.scaled(area.size(), Qt::KeepAspectRatio));
    fitted.moveCenter(area.center());
    return fitted;
}

} // namespace picture
