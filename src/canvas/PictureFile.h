#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QIODevice;

// Keeping the picture outside the program and bringing one in: file names, formats, the
// writing and the reading, and where a printed picture goes on the page. Needs no widgets.
namespace picture {

// "quenzel-YYYYMMDD-HHMMSS.png" for that moment; another suffix for another kind of file.
QString proposedFileName(const QDateTime& when, const QString& suffix = QStringLiteral("png"));

// The path as saved: a name without a suffix gets ".png".
QString withDefaultSuffix(const QString& path);

// The image format the suffix picks ("png", "jpeg" or "bmp", any letter case), or empty
// for any other suffix.
QByteArray formatOf(const QString& path);

// Writes the image to the path in the format its suffix picks, all or nothing: an
// existing file is replaced only by a complete new one, and a failed write leaves no
// file behind. Returns the reason of a failure as the system gives it, or an empty text.
QString save(const QImage& image, const QString& path);
// Writes whatever `write` writes to the device, all or nothing, as save() does; `write`
// returns the reason of a failure that the device does not know, or an empty text.
QString saveWith(const QString& path, const std::function<QString(QIODevice&)>& write);

// The largest picture the program opens, in pixels each way: a raster of 1 GB.
constexpr int kMaxSide = 16384;
// Reads a picture in any format Qt's image reader knows (or in `format`), upright as a
// camera took it, transparent parts over white, as opaque RGB32. Nothing is trusted: a
// picture larger than kMaxSide either way, one whose header lies about its size, or one
// that would need more memory than such a picture, is refused before it is read, with
// the reason in the user's words.
std::optional<QImage> read(QIODevice& device, QString* reason, const QByteArray& format = {});
std::optional<QImage> load(const QString& path, QString* reason);
// "*.png", "*.jpg", ...: a name filter for every format the reader knows.
QStringList readableFilters();

// The largest rectangle of the picture's proportions that fits the area, centred on it.
QRect fitCentred(QSize picture, const QRect& area);

} // namespace picture
