#include "PictureKeeper.h"

#include "canvas/Canvas.h"
#include "canvas/PictureFile.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>

namespace {

// A printed page is named as a saved picture would be at that moment, without the suffix:
// the name of the print queue's job and the PDF's title.
void nameAfterNow(QPrinter& printer) {
    const QString saved = picture::proposedFileName(QDateTime::currentDateTime());
    printer.setDocName(QFileInfo(saved).completeBaseName());
}

} // namespace

PictureKeeper::Dialogs PictureKeeper::desktopDialogs() {
    return {
        // No caption of our own: Qt's dialogs name themselves in the user's language.
        .askSaveFile =
            [](QWidget* parent, const QString& proposed) {
                const bool film = QStringList{"webp", "mp4"}.contains(QFileInfo(proposed).suffix());
                return QFileDialog::getSaveFileName(
                    parent, QString(), proposed,
                    film ? QStringLiteral("WebP, MP4 (*.webp *.mp4)")
                         : QStringLiteral("PNG, JPEG, BMP (*.png *.jpg *.jpeg *.bmp)"));
            },
        .askPrinter =
            [](QWidget* parent, QPrinter& printer) {
                QPrintDialog dialog(&printer, parent);
                return dialog.exec() == QDialog::Accepted;
            },
        .tell =
            [](QWidget* parent, const QString& message) {
                QMessageBox::warning(parent, parent->windowTitle(), message);
            },
    };
}

PictureKeeper::PictureKeeper(const Canvas& canvas, Dialogs dialogs, QWidget* window)
    : QObject(window), canvas_(canvas), dialogs_(std::move(dialogs)), window_(window) {}

QString PictureKeeper::folder() const {
    if (!folder_.isEmpty()) return folder_;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

void PictureKeeper::save() {
    const QImage picture = canvas_.picture();
    const QString chosen = askWhere(picture::proposedFileName(QDateTime::currentDateTime()));
    if (!chosen.isEmpty()) write(picture, chosen);
}

QString PictureKeeper::askWhere(const QString& name) {
    const QString chosen = dialogs_.askSaveFile(window_, QDir(folder()).filePath(name));
    if (const QString chosenFolder = QFileInfo(chosen).absolutePath();
        !chosen.isEmpty() && QFileInfo(chosenFolder).isDir())
        folder_ = chosenFolder;
    return chosen;
}

void PictureKeeper::tellFailed(const QString& path, const QString& reason) {
    dialogs_.tell(window_, QString::fromUtf16(u"「%1」を保存できませんでした。\n%2")
                               .arg(QDir::toNativeSeparators(path), reason));
}

bool PictureKeeper::saveTo(const QString& chosen) { return write(canvas_.picture(), chosen); }

bool PictureKeeper::write(const QImage& picture, const QString& chosen) {
    const QString path = picture::withDefaultSuffix(chosen);
    const QString reason = picture::save(picture, path);
    if (reason.isEmpty()) return true;
    tellFailed(path, reason);
    return false;
}

void PictureKeeper::copy() { QGuiApplication::clipboard()->setImage(canvas_.picture()); }

void PictureKeeper::print() {
    QPrinter printer(QPrinter::HighResolution);
    nameAfterNow(printer);
    if (dialogs_.askPrinter(window_, printer)) printOn(printer);
}

void PictureKeeper::printToPdf(const QString& file) {
    QPrinter printer(QPrinter::HighResolution);
    nameAfterNow(printer);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    printOn(printer);
}

// The picture centred on the printable area, as large as fits, its proportions kept.
void PictureKeeper::printOn(QPrinter& printer) {
    const QImage picture = canvas_.picture();
    QPainter painter;
    if (!painter.begin(&printer)) {
        const QString where = printer.outputFileName().isEmpty()
                                  ? printer.printerName()
                                  : QDir::toNativeSeparators(printer.outputFileName());
        dialogs_.tell(window_, QString::fromUtf16(u"「%1」に印刷できませんでした。").arg(where));
        return;
    }
    // A drawing of flat colours and sharp edges: a lossy format would blur it.
    painter.setRenderHint(QPainter::LosslessImageRendering);
    const QRect printable(0, 0, printer.width(), printer.height());
    painter.drawImage(picture::fitCentred(picture.size(), printable), picture);
}
