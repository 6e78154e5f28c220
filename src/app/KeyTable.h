#pragma once

#include <QKeyCombination>
#include <QKeySequence>
#include <QList>
#include <QString>

#include <optional>
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
        Controls,
        // While the making-of of an opened drawing plays, and only then.
        PlayPause,
        PlayFaster,
        PlaySlower,
        PlayFromStart,
        PlayToEnd,
        PlayStop,
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
    // Whether the action's keys work only while a making-of plays: the player takes them
    // before anything else in the window, so they are no shortcuts.
    static bool whilePlaying(Action action) { return action >= Action::PlayPause; }
    // The playing key pressed, if any: Shift and the keypad do not count, as "+" needs Shift
    // on many keyboards.
    static std::optional<Action> playingKey(int key);
    // Whether the key opens the list of keys (F1, or the desktop's help key).
    static bool isShowKeys(QKeyCombination key);
    // Whether the key is Shift, Ctrl and the like, on the way to a key rather than one.
    static bool isModifier(int key);
    // "Ctrl+Shift+Z, Ctrl+Y": the listed keys in Qt's portable form, which needs no display.
    static QString keyText(const Row& row);
    // The listed keys and the desktop's own, each once. Needs the window's application.
    static QList<QKeySequence> boundKeys(const Row& row);
};
