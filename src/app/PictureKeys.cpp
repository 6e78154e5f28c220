#include "PictureKeys.h"

#include "KeyWindow.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

// One shortcut for all of an action's keys: a second shortcut on a key the desktop already
// binds would make it ambiguous, and neither would fire.
PictureKeys::PictureKeys(QWidget* window) : QObject(window), window_(window) {
    for (const KeyTable::Row& row : KeyTable::rows()) {
        // Qt's widgets answer these themselves; the making-of's player takes its own.
        if (row.action == Action::Controls || KeyTable::whilePlaying(row.action)) continue;
        auto* shortcut = new QShortcut(window);
        shortcut->setKeys(KeyTable::boundKeys(row));
        connect(shortcut, &QShortcut::activated, this, [this, a = row.action] { act(a); });
        bindings_.append({row.action, shortcut});
    }
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
        box->installEventFilter(this);
}

void PictureKeys::act(Action action) {
    switch (action) {
    case Action::Save:
        emit save();
        break;
    case Action::KeepDrawing:
        emit keepDrawing();
        break;
    case Action::Open:
        emit open();
        break;
    case Action::Copy:
        emit copy();
        break;
    case Action::Print:
        emit print();
        break;
    case Action::Undo:
        emit undo();
        break;
    case Action::Redo:
        emit redo();
        break;
    case Action::ShowKeys:
        showKeys();
        break;
    case Action::ExportFilm:
        emit exportFilm();
        break;
    default: // the widgets' own keys and the player's
        break;
    }
}

// The list opens beside the window, or comes to the front again if it is open.
void PictureKeys::showKeys() {
    if (!keyWindow_) keyWindow_ = new KeyWindow(window_);
    keyWindow_->show();
    keyWindow_->raise();
    keyWindow_->activateWindow();
}

bool PictureKeys::boxKeeps(const QLineEdit& box, Action action) {
    switch (action) {
    case Action::Undo:
        return box.isUndoAvailable();
    case Action::Redo:
        return box.isRedoAvailable();
    case Action::Copy:
        return box.hasSelectedText();
    default:
        return false;
    }
}

// A box accepts the shortcut override for Undo, Redo and Copy whether or not it has any
// use for them, which would keep those keys from the window for good.
bool PictureKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride) return false;
    const auto* box = qobject_cast<const QLineEdit*>(watched);
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    for (const Binding& binding : std::as_const(bindings_)) {
        if (!binding.shortcut->keys().contains(pressed)) continue;
        if (box && boxKeeps(*box, binding.action)) return false;
        event->ignore();
        return true;
    }
    return false;
}
