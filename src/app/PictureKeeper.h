#pragma once

#include <QObject>
#include <QString>

#include <functional>

class Canvas;
class QImage;
class QPrinter;
class QWidget;

// Keeps the picture beyond the run: saves it to a file, copies it to the clipboard and
// prints it. The picture is the drawing over the whole current client area, without the
// controls. A failure is told to the user and changes nothing else: the drawing, the
// settings and any running endless drawing carry on.
class PictureKeeper : public QObject {
    Q_OBJECT
  public:
    // The conversations with the user, replaceable so that tests and tools never wait on
    // a dialog. `parent` is the window.
    struct Dialogs {
        // Where to save, starting from the proposed path; empty when cancelled.
        std::function<QString(QWidget* parent, const QString& proposed)> askSaveFile;
        // Sets up the printer; false when cancelled.
        std::function<bool(QWidget* parent, QPrinter& printer)> askPrinter;
        // A message of the program's own, such as a save that failed.
        std::function<void(QWidget* parent, const QString& message)> tell;
    };
    static Dialogs desktopDialogs();

    PictureKeeper(const Canvas& canvas, Dialogs dialogs, QWidget* window);

    // Asks where, then saves the picture of the moment of asking.
    void save();
    // Asks where to keep a file, proposing `name` in the folder of the last one kept; empty
    // when cancelled. The dialog offers the files of the proposed name's kind.
    QString askWhere(const QString& name);
    // Tells the user that keeping `path` failed, and why.
    void tellFailed(const QString& path, const QString& reason);
    // Saves the picture as if `chosen` had been chosen in the dialog. False on failure.
    bool saveTo(const QString& chosen);
    void copy();
    // Asks for the printer, then prints; Cancel does nothing.
    void print();
    // Prints as if printing to that PDF file had been chosen in the dialog.
    void printToPdf(const QString& file);

  private:
    bool write(const QImage& picture, const QString& chosen);
    void printOn(QPrinter& printer);
    QString folder() const;

    const Canvas& canvas_;
    Dialogs dialogs_;
    QWidget* window_;
    QString folder_; // where the last save went, for the rest of the run
};
