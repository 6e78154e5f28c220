#pragma once

#include "KeyTable.h"

#include <QObject>

class KeyWindow;
class QLineEdit;
class QShortcut;
class QWidget;

// The window's keys, bound from the key table: the desktop's own bindings of Save, Save As,
// Open, Copy, Print, Undo and Redo (and the keys the table lists, Ctrl+Y for Redo, on every
// desktop), one signal each, and F1, which shows the list of keys itself. A text box keeps a key
// for itself only where it has a use for it, as in every program: Undo and Redo while it has typing
// of its own to take back or bring back, Copy while it has selected text; otherwise the key is the
// window's.
class PictureKeys : public QObject {
    Q_OBJECT
  public:
    // The shortcuts work anywhere in the window; the boxes are its text boxes as they
    // stand now.
    explicit PictureKeys(QWidget* window);

  signals:
    void save();
    void keepDrawing();
    void open();
    void copy();
    void print();
    void undo();
    void redo();
    void exportFilm();

  private:
    using Action = KeyTable::Action;
    void act(Action action);
    void showKeys();
    bool eventFilter(QObject* watched, QEvent* event) override;
    static bool boxKeeps(const QLineEdit& box, Action action);

    struct Binding {
        Action action;
        QShortcut* shortcut;
    };
    QList<Binding> bindings_;
    QWidget* window_;
    KeyWindow* keyWindow_ = nullptr; // made at the first F1
};
