#pragma once

#include <QColor>
#include <QString>

#include <span>
#include <string_view>

// The window as data: one row per control, as the designer laid it out. Places and
// sizes are in twips (15 per pixel); Form1 builds its controls from these rows.
namespace design {

constexpr int kTwipsPerPixel = 15;
constexpr int kClientWidth = 6765;  // twips: 451 pixels
constexpr int kClientHeight = 5730; // twips: 382 pixels
constexpr const char16_t* kTitle = u"Quenzel";

enum class Kind { Label, TextBox, Button, PictureBox, Image };

struct ControlRow {
    const char* name;
    Kind kind;
    const char16_t* text = u""; // caption, initial text, or ":/frameN.xpm" for an image
    int left = 0, top = 0, width = 0, height = 0;
    int tab = -1; // place in the focus order; -1 takes no focus
    QRgb background = 0;
    bool hasBackground = false;
    bool visible = true;
    bool enabled = true;
    const char* parent = nullptr;         // container other than the window
    bool upArrowCursor = false;           // pointer shape over the control
    const char16_t* fontFamily = nullptr; // own font; nullptr: the window's
    int fontPoints = 0;
    // What a screen reader says: the control's name, in the window's language, and its
    // hint, the text the hint line shows when the pointer moves over it (nullptr: none).
    const char16_t* accessibleName = u"";
    const char16_t* hint = nullptr;
};

std::span<const ControlRow> controls();
// The row of that design name; the name must be one of the table's.
const ControlRow& control(std::string_view name);
// The row of that design name, or nullptr.
const ControlRow* find(std::string_view name);

// The two menu items, in order: name, caption.
struct MenuRow {
    const char* name;
    const char16_t* caption;
};
std::span<const MenuRow> menu();

} // namespace design
