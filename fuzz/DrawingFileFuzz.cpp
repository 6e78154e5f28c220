// Fuzz target: any bytes as a drawing file, read and brought back as Ctrl+O does it (without
// the window: in a drawing of its own, refused whole or taken whole), and as a picture,
// through the same reader and limits as a picture opened.

#include "QuietApplication.h"
#include "canvas/PictureFile.h"
#include "recording/DrawingFile.h"

#include <QBuffer>
#include <QFont>
#include <QGuiApplication>

#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    startQuietApplication<QGuiApplication>(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer drawing;
    drawing.setData(bytes);
    drawing.open(QIODevice::ReadOnly);
    const recording::Opened opened = recording::open(drawing, QFont());
    if (opened.drawing.has_value() == !opened.error.isEmpty()) __builtin_trap();
    QBuffer picture;
    picture.setData(bytes);
    picture.open(QIODevice::ReadOnly);
    QString reason;
    const auto image = picture::read(picture, &reason);
    if (image && (image->width() > picture::kMaxSide || image->height() > picture::kMaxSide ||
                  image->format() != QImage::Format_RGB32))
        __builtin_trap();
    return 0;
}
