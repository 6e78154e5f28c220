#pragma once

#include <QKeyCombination>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <span>

// The window's keys and what each does: the one list from which the window binds its
// shortcuts (PictureKeys), F1 shows them (KeyWindow) and `--help` tells of them, so that
// none of them can name a key the window does not have. The manual page is held to it by a
// test. Qt Gui only, and readable without a display: `--help` runs with no window system.
class KeyTable {
  public:
    // What the window does on a key. Controls: a key Qt's own widgets answer (moving the
    // focus, pressing a button); listed for the user, not bound by the window.
    enum class Action {
        Save,
        KeepDrawing,
        Open,
        Copy,
        Print,
        Undo,
        Redo,
        ShowKeys,
        ExportFilm,
        Controls
    };

    struct Row {
        Action action;
        // The keys as they are listed; the window binds every one of them on every desktop.
        QList<QKeyCombination> keys;
        // The desktop's own keys for the action, bound as well; UnknownKey for none.
        QKeySequence::StandardKey standard;
        // What the key does, in Japanese.
        const char16_t* what;
    };

    static std::span<const Row> rows();
    // The row of that action; every action but Controls has exactly one.
    static const Row& row(Action action);
    // "Ctrl+Shift+Z, Ctrl+Y": the listed keys in Qt's portable form, which needs no display.
    static QString keyText(const Row& row);
    // The listed keys and the desktop's own, each once. Needs the window's application.
    static QList<QKeySequence> boundKeys(const Row& row);
};
