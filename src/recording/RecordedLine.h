#pragma once

#include "drawing/Action.h"

#include <QByteArray>
#include <QSize>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

// A recording is plain text, one line an action, in the replay tool's words: the time it
// was taken (ms since the recording began) after '@', then the verb and its words.
//
//   # quenzel recording 1
//   # quenzel 1.0.0, client 451 382, ratio 2
//   @0 ratio 2
//   @0 resize 451 382
//   @1520 over Command7          pointer moved over a control
//   @1650 press Command7 left    a button pressed on a control
//   @1712 click Command7         a control clicked, or a menu item chosen
//   @2301 down 120.5 80 left     the pointer on the canvas: pressed, moved, released
//   @2310 move 121 80.5
//   @2400 up 121 80.5 left
//   @3000 type Text6 12          a box's new text, '\' and control characters escaped as \xHH
//   @3100 key                    a key pressed
//   @3200 undo / redo
//   @3300 steps 33               the endless drawing took 33 steps
//   @3400 checkpoint DATA        the whole drawing, to bring back any moment fast
//   @3500 picture DATA           a picture opened to draw on: PNG in base64
//   # end                        the user ended the program
//
// Unlike a replay script's, these lines reach the drawing as they stand: no hit-testing, no
// rounding of positions.
namespace recording {

constexpr int kFormat = 1;

QByteArray header(QSize client, double ratio);
QByteArray line(qint64 ms, const Action& action);
// The same line appended to `out`: no allocation but out's own growth.
void appendLine(QByteArray& out, qint64 ms, const Action& action);
// An action and when it was taken, kept to be written later; a `comment` line is written
// behind "# " (an undo or a redo a checkpoint stands for).
struct Taken {
    qint64 ms = 0;
    bool comment = false;
    Action action;
};
// Their lines, in order.
QByteArray lines(const std::vector<Taken>& taken);
QByteArray checkpointLine(qint64 ms, const QByteArray& data);
QByteArray endLine();

// What a recorded line holds.
struct Checkpoint {
    QByteArray data;
};
struct Entry {
    qint64 ms = 0;
    std::variant<Action, Checkpoint> what;
};
// One recorded line ("@MS ..."); an error in words for one that is not.
std::optional<Entry> parse(QStringView line, QString* error);
// The format a header line names ("# quenzel recording N"), if it is one.
std::optional<int> formatOf(QStringView line);
bool isEnd(QStringView line);
// A mouse button by its name in a line ("left", "right", "middle", or Qt's number of any
// other), as the replay tool's scripts name them too.
std::optional<Qt::MouseButton> mouseButtonNamed(QStringView word);

} // namespace recording
