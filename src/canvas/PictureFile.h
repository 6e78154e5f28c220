#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QRect>
#include <QString>

// Keeping the picture outside the program: file names, formats and the writing itself,
// and where a printed picture goes on the page. Needs no widgets.
namespace picture {

// "quenzel-YYYYMMDD-HHMMSS.png" for that moment.
QString proposedFileName(const QDateTime& when);

// The path as saved: a name without a suffix gets ".png".
QString withDefaultSuffix(const QString& path);

// The image format the suffix picks ("png", "jpeg" or "bmp", any letter case), or empty
// for any other suffix.
QByteArray formatOf(const QString& path);

// Writes the image to the path in the format its suffix picks, all or nothing: an
// existing file is replaced only by a complete new one, and a failed write leaves no
// file behind. Returns the reason of a failure as the system gives it, or an empty text.
QString save(const QImage& image, const QString& path);

// The largest rectangle of the picture's proportions that fits the area, centred on it.
QRect fitCentred(QSize picture, const QRect& area);

} // namespace picture
