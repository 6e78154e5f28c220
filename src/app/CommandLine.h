#pragma once

#include <QString>

#include <optional>

// Who the program is, for the desktop and for `--version`: application name, version and
// the desktop entry it belongs to. Call first thing in main, before any application object.
void describeApplication();

// Answers `--help` and `--version` on standard output, without a display. Returns the exit
// code when one of them was asked for, nothing otherwise. Every other option is ignored.
std::optional<int> answerInformationOptions(int argc, char* argv[]);

// Makes the film that `--export` asks for, with no display, and returns the exit code;
// nothing when it is not asked for. Call before any application object.
std::optional<int> answerExport(int argc, char* argv[]);

// What the command line asks of the window at start-up: whether `--last` asks for the last
// drawing back, and the drawing or picture to open, or empty (the first argument that is no
// option: the desktop's %f). Needs the application object.
struct StartAsked {
    bool bringBackLast = false;
    QString file;
};
StartAsked startAsked();

// What `--help` says: the options, then the window's keys from the key table. Needs an
// application object of any kind.
QString helpText();
