#pragma once

#include <QKeySequence>
#include <QObject>

class QLineEdit;
class QShortcut;
class QWidget;

// The window's keys for keeping the picture and for its history: the desktop's own
// bindings of Save, Copy, Print, Undo and Redo (and Ctrl+Y for Redo everywhere), one
// signal each. A text box keeps a key for itself only where it has a use for it, as in
// every program: Undo and Redo while it has typing of its own to take back or bring back,
// Copy while it has selected text; otherwise the key is the window's.
class PictureKeys : public QObject {
    Q_OBJECT
  public:
    // The shortcuts work anywhere in the window; the boxes are its text boxes as they
    // stand now.
    explicit PictureKeys(QWidget* window);

  signals:
    void save();
    void copy();
    void print();
    void undo();
    void redo();

  private:
    enum class Key { Save, Copy, Print, Undo, Redo };
    bool eventFilter(QObject* watched, QEvent* event) override;
    static bool boxKeeps(const QLineEdit& box, Key key);

    struct Binding {
        Key key;
        QShortcut* shortcut;
    };
    QList<Binding> bindings_;
};
