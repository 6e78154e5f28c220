#include "PictureKeys.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

PictureKeys::PictureKeys(QWidget* window) : QObject(window) {
    const auto bind = [&](Key key, QList<QKeySequence> sequences, void (PictureKeys::*signal)()) {
        auto* shortcut = new QShortcut(window);
        shortcut->setKeys(sequences);
        connect(shortcut, &QShortcut::activated, this, signal);
        bindings_.append({key, shortcut});
    };
    using K = QKeySequence;
    bind(Key::Save, K::keyBindings(K::Save), &PictureKeys::save);
    bind(Key::Copy, K::keyBindings(K::Copy), &PictureKeys::copy);
    bind(Key::Print, K::keyBindings(K::Print), &PictureKeys::print);
    bind(Key::Undo, K::keyBindings(K::Undo), &PictureKeys::undo);
    // One shortcut for all of Redo's sequences: a second shortcut on a sequence the desktop
    // already binds would make it ambiguous, and neither would fire.
    QList<QKeySequence> redo = K::keyBindings(K::Redo);
    if (const K ctrlY(Qt::CTRL | Qt::Key_Y); !redo.contains(ctrlY)) redo << ctrlY;
    bind(Key::Redo, redo, &PictureKeys::redo);
    for (QLineEdit* box : window->findChildren<QLineEdit*>())
        box->installEventFilter(this);
}

bool PictureKeys::boxKeeps(const QLineEdit& box, Key key) {
    switch (key) {
    case Key::Undo:
        return box.isUndoAvailable();
    case Key::Redo:
        return box.isRedoAvailable();
    case Key::Copy:
        return box.hasSelectedText();
    case Key::Save:
    case Key::Print:
        return false;
    }
    return false;
}

// A box accepts the shortcut override for Undo, Redo and Copy whether or not it has any
// use for them, which would keep those keys from the window for good.
bool PictureKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride) return false;
    const auto* box = qobject_cast<const QLineEdit*>(watched);
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    for (const Binding& binding : std::as_const(bindings_)) {
        if (!binding.shortcut->keys().contains(pressed)) continue;
        if (box && boxKeeps(*box, binding.key)) return false;
        event->ignore();
        return true;
    }
    return false;
}
