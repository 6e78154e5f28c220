#pragma once

#include <QObject>
#include <QString>

#include <functional>

class Canvas;
class QImage;
class QPrinter;
class QWidget;

// Keeps the picture beyond the run: saves it to a file, copies it to the clipboard and
// prints it; keeps the whole drawing as a drawing file; and asks which file to open, in
// the same folder. The picture is the drawing over the whole current client area, without
// the controls. A failure is told to the user and changes nothing else: the drawing, the
// settings and any running endless drawing carry on.
class PictureKeeper : public QObject {
    Q_OBJECT
  public:
    // The conversations with the user, replaceable so that tests and tools never wait on
    // a dialog. `parent` is the window; `filter` names the kinds of file to show.
    struct Dialogs {
        // Where to save, starting from the proposed path; empty when cancelled.
        std::function<QString(QWidget* parent, const QString& proposed, const QString& filter)>
            askSaveFile;
        // Which file to open, starting in the folder; empty when cancelled.
        std::function<QString(QWidget* parent, const QString& folder, const QString& filter)>
            askOpenFile;
        // Sets up the printer; false when cancelled.
        std::function<bool(QWidget* parent, QPrinter& printer)> askPrinter;
        // A message of the program's own, such as a save that failed.
        std::function<void(QWidget* parent, const QString& message)> tell;
    };
    static Dialogs desktopDialogs();

    // `recording` gives the drawing's whole recording, for keeping it.
    PictureKeeper(const Canvas& canvas, std::function<QByteArray()> recording, Dialogs dialogs,
                  QWidget* window);

    // Asks where, then saves the picture of the moment of asking.
    void save();
    // Asks where to keep a file, proposing a name of the moment with `suffix` in the folder of
    // the last one kept, the dialog offering the files `filter` names; empty when cancelled.
    QString askWhere(const QString& suffix, const QString& filter);
    // Tells the user that keeping `path` failed, and why.
    void tellFailed(const QString& path, const QString& reason);
    // Saves the picture as if `chosen` had been chosen in the dialog. False on failure.
    bool saveTo(const QString& chosen);
    // Asks where, then keeps the drawing as a drawing file.
    void keepDrawing();
    // Keeps the drawing as if `chosen` had been chosen in the dialog. False on failure.
    bool keepDrawingTo(const QString& chosen);
    // Asks which drawing or picture to open: its path, or empty when cancelled.
    QString askOpen();
    // Tells the user that `path` did not open, and why.
    void tellNotOpened(const QString& path, const QString& reason);
    void copy();
    // Asks for the printer, then prints; Cancel does nothing.
    void print();
    // Prints as if printing to that PDF file had been chosen in the dialog.
    void printToPdf(const QString& file);

  private:
    void follow(const QString& chosen);
    bool write(const QImage& picture, const QString& chosen);
    bool writeDrawing(const QByteArray& recording, const QString& chosen);
    bool told(const char16_t* sentence, const QString& path, const QString& reason);
    void printOn(QPrinter& printer);
    QString folder() const;

    const Canvas& canvas_;
    std::function<QByteArray()> recording_;
    Dialogs dialogs_;
    QWidget* window_;
    QString folder_; // where the last file was saved or opened, for the rest of the run
};
