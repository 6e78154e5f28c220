#include "PictureKeeper.h"

#include "canvas/Canvas.h"
#include "canvas/PictureFile.h"
#include "recording/DrawingFile.h"

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

const QString kPictures = QStringLiteral("PNG, JPEG, BMP (*.png *.jpg *.jpeg *.bmp)");
const QString kDrawings = QStringLiteral("quenzel (*.quenzel)");
constexpr char16_t kNotSaved[] = u"「%1」を保存できませんでした。\n%2";

// Drawings and every picture format the reader knows, together and each kind alone.
QString openFilter() {
    const QString pictures = picture::readableFilters().join(u' ');
    return QString::fromUtf16(u"quenzel、画像 (*.quenzel %1);;quenzel (*.quenzel);;画像 (%1)")
        .arg(pictures);
}

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
            [](QWidget* parent, const QString& proposed, const QString& filter) {
                return QFileDialog::getSaveFileName(parent, QString(), proposed, filter);
            },
        .askOpenFile =
            [](QWidget* parent, const QString& folder, const QString& filter) {
                return QFileDialog::getOpenFileName(parent, QString(), folder, filter);
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

PictureKeeper::PictureKeeper(const Canvas& canvas, std::function<QByteArray()> recording,
                             Dialogs dialogs, QWidget* window)
    : QObject(window), canvas_(canvas), recording_(std::move(recording)),
      dialogs_(std::move(dialogs)), window_(window) {}

QString PictureKeeper::folder() const {
    if (!folder_.isEmpty()) return folder_;
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
}

// The next dialog starts where the user went.
void PictureKeeper::follow(const QString& chosen) {
    if (const QString chosenFolder = QFileInfo(chosen).absolutePath();
        !chosen.isEmpty() && QFileInfo(chosenFolder).isDir())
        folder_ = chosenFolder;
}

// Where to save, proposing a name of the moment with that suffix; empty when cancelled.
QString PictureKeeper::askWhere(const QString& suffix, const QString& filter) {
    const QString proposed =
        QDir(folder()).filePath(picture::proposedFileName(QDateTime::currentDateTime(), suffix));
    const QString chosen = dialogs_.askSaveFile(window_, proposed, filter);
    if (!chosen.isEmpty()) follow(chosen);
    return chosen;
}

void PictureKeeper::save() {
    const QImage picture = canvas_.picture();
    if (const QString chosen = askWhere(QStringLiteral("png"), kPictures); !chosen.isEmpty())
        write(picture, chosen);
}

void PictureKeeper::tellFailed(const QString& path, const QString& reason) {
    told(kNotSaved, path, reason);
}

bool PictureKeeper::saveTo(const QString& chosen) { return write(canvas_.picture(), chosen); }

bool PictureKeeper::write(const QImage& picture, const QString& chosen) {
    const QString path = picture::withDefaultSuffix(chosen);
    return told(kNotSaved, path, picture::save(picture, path));
}

// The recording is taken once a name is chosen, so that a dialog cancelled costs nothing;
// an endless drawing that runs meanwhile is kept as far as it came.
void PictureKeeper::keepDrawing() {
    if (const QString chosen = askWhere(QStringLiteral("quenzel"), kDrawings); !chosen.isEmpty())
        keepDrawingTo(chosen);
}

bool PictureKeeper::keepDrawingTo(const QString& chosen) {
    return writeDrawing(recording_(), chosen);
}

bool PictureKeeper::writeDrawing(const QByteArray& recording, const QString& chosen) {
    const QString path = recording::withDrawingSuffix(chosen);
    return told(kNotSaved, path, recording::keep(recording, path));
}

QString PictureKeeper::askOpen() {
    const QString chosen = dialogs_.askOpenFile(window_, folder(), openFilter());
    if (!chosen.isEmpty()) follow(chosen);
    return chosen;
}

void PictureKeeper::tellNotOpened(const QString& path, const QString& reason) {
    told(u"「%1」を開けませんでした。\n%2", path, reason);
}

// A failure's sentence about the file, with the reason under it; true where there was none.
bool PictureKeeper::told(const char16_t* sentence, const QString& path, const QString& reason) {
    if (reason.isEmpty()) return true;
    dialogs_.tell(window_,
                  QString::fromUtf16(sentence).arg(QDir::toNativeSeparators(path), reason));
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
