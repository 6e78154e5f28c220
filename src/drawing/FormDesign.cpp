#include "FormDesign.h"

#include <algorithm>
#include <array>

namespace design {

namespace {

using enum Kind;

constexpr QRgb rgb(int r, int g, int b) { return 0xFF000000u | r << 16 | g << 8 | b; }

constexpr ControlRow label(const char* name, const char16_t* text, int top, int tab) {
    return {.name = name,
            .kind = Label,
            .text = text,
            .left = 120,
            .top = top,
            .width = 255,
            .height = 255,
            .tab = tab,
            .background = rgb(255, 255, 255),
            .hasBackground = true};
}
constexpr ControlRow valueBox(const char* name, const char16_t* text, int top, int tab) {
    return {.name = name,
            .kind = TextBox,
            .text = text,
            .left = 360,
            .top = top,
            .width = 375,
            .height = 270,
            .tab = tab};
}
constexpr ControlRow modeButton(const char* name, const char16_t* caption, int top, int tab) {
    return {.name = name,
            .kind = Button,
            .text = caption,
            .left = 120,
            .top = top,
            .width = 615,
            .height = 375,
            .tab = tab};
}
constexpr ControlRow swatch(const char* name, int left, int top, QRgb colour, int tab) {
    return {.name = name,
            .kind = PictureBox,
            .left = left,
            .top = top,
            .width = 255,
            .height = 255,
            .tab = tab,
            .background = colour,
            .hasBackground = true};
}
constexpr ControlRow readOut(const char* name, int left, int tab) {
    return {.name = name,
            .kind = TextBox,
            .left = left,
            .top = 4920,
            .width = 375,
            .height = 375,
            .tab = tab};
}
constexpr ControlRow artButton(const char* name, const char16_t* caption, int top, int tab,
                               bool upArrow) {
    return {.name = name,
            .kind = Button,
            .text = caption,
            .left = 6240,
            .top = top,
            .width = 375,
            .height = 375,
            .tab = tab,
            .upArrowCursor = upArrow};
}
constexpr ControlRow shellButton(const char* name, const char16_t* caption, int left, int tab) {
    return {.name = name,
            .kind = Button,
            .text = caption,
            .left = left,
            .top = 5280,
            .width = 615,
            .height = 375,
            .tab = tab};
}
// Never shown: holds the web address a menu item opens.
constexpr ControlRow addressBox(const char* name, const char16_t* address, int top, int tab) {
    return {.name = name,
            .kind = TextBox,
            .text = address,
            .left = 2280,
            .top = top,
            .width = 1815,
            .height = 270,
            .tab = tab,
            .visible = false};
}
constexpr ControlRow frame(const char* name, const char16_t* picture, int left, int top) {
    return {.name = name,
            .kind = Image,
            .text = picture,
            .left = left,
            .top = top,
            .width = 750,
            .height = 660,
            .visible = false};
}

// The row with what a screen reader says of its control: a name and, where it has one, the hint.
constexpr ControlRow spoken(ControlRow row, const char16_t* name, const char16_t* hint = nullptr) {
    row.accessibleName = name;
    row.hint = hint;
    return row;
}

// Rows in the order the designer created them; the tab column fixes the focus order.
constexpr std::array kControls = {
    // Colour and width values, mode buttons.
    spoken(label("Label1", u"R", 120, 34), u"赤の強さ"),
    spoken(valueBox("Text6", u"0", 120, 17), u"赤の強さ", u" 赤色の強さを変更かけれる！"),
    spoken(label("Label2", u"G", 480, 33), u"緑の強さ"),
    spoken(valueBox("Text2", u"0", 480, 24), u"緑の強さ", u"緑色の強さを変更！"),
    spoken(label("Label3", u"B", 840, 32), u"青の強さ"),
    spoken(valueBox("Text3", u"255", 840, 23), u"青の強さ", u" 青色の強さを変更！"),
    spoken(label("Label4", u"Ｄ", 1200, 31), u"ペンの太さ"),
    spoken(valueBox("Text5", u"10", 1200, 21), u"ペンの太さ"),
    spoken(modeButton("Command8", u"七色", 1560, 20), u"七色モード", u"自動的に色を変える！"),
    spoken(modeButton("Command7", u"ペ　ン", 1920, 25), u"ペン", u"クリックすると絵がかける"),
    spoken(modeButton("Command10", u"ペン２", 2280, 18), u"ペン２、追っかけるペン",
           u"ペンが追っかける！"),
    spoken(modeButton("Command12", u"消し　ゴム", 2640, 6), u"消しゴム"),
    spoken(modeButton("Command13", u"円", 3000, 5), u"円モード"),
    // Colour swatches: two columns of four, neighbours overlapping by one pixel.
    spoken(swatch("Picture2", 120, 3720, rgb(255, 255, 255), 14), u"白"),
    spoken(swatch("Picture4", 360, 3720, rgb(64, 0, 64), 13), u"濃い紫"),
    spoken(swatch("Picture5", 120, 3960, rgb(0, 0, 255), 12), u"青"),
    spoken(swatch("Picture6", 360, 3960, rgb(255, 0, 0), 11), u"赤"),
    spoken(swatch("Picture7", 120, 4200, rgb(255, 255, 128), 10), u"薄い黄色"),
    spoken(swatch("Picture8", 360, 4200, rgb(0, 255, 255), 9), u"水色"),
    spoken(swatch("Picture9", 120, 4440, rgb(0, 255, 0), 8), u"緑"),
    spoken(swatch("Picture10", 360, 4440, rgb(255, 0, 255), 7), u"赤紫"),
    // Lies beyond Picture2's interior, so it is never seen.
    ControlRow{.name = "Picture3",
               .kind = PictureBox,
               .left = 240,
               .top = 0,
               .width = 15,
               .height = 255,
               .tab = 15,
               .parent = "Picture2",
               .accessibleName = u"見えない枠"},
    // Read-outs and the bottom row.
    spoken(readOut("Text7", 360, 3), u"目の横の位置"),
    spoken(readOut("Text8", 720, 2), u"目の縦の位置"),
    spoken(readOut("Text9", 1080, 1), u"ポインターの横の位置"),
    spoken(readOut("Text10", 1440, 0), u"ポインターの縦の位置"),
    ControlRow{.name = "Text4",
               .kind = TextBox,
               .left = 360,
               .top = 5280,
               .width = 4575,
               .height = 375,
               .tab = 22,
               .enabled = false,
               .fontFamily = u"ＭＳ Ｐ明朝",
               .fontPoints = 12,
               .accessibleName = u"ヒント"},
    spoken(shellButton("Command5", u"END", 5160, 27), u"終わる"),
    spoken(shellButton("Command3", u"CLS", 6000, 29), u"全部消す"),
    // One-click drawings and the chase button.
    spoken(artButton("Command2", u"◎", 120, 30, true), u"同心円の円盤をかく", u" アート２"),
    spoken(artButton("Command4", u"○", 480, 28, true), u"はねる円をかく", u"アート３"),
    spoken(artButton("Command6", u"①", 840, 26, true), u"大きさの変わる円をかく", u"アート４"),
    spoken(artButton("Command9", u"②", 1200, 19, false), u"点を打ち続ける", u"アート５"),
    spoken(artButton("Command11", u"③", 1560, 16, false), u"緑の円の列をかく"),
    spoken(artButton("Command14", u"④", 1920, 4, false), u"目が追っかけるモード"),
    // The web addresses behind the menu items, and the sprite with its frames.
    spoken(addressBox("Text11", u"https://www.kinokuniya.co.jp/", 2280, 36),
           u"本のページのアドレス"),
    spoken(addressBox("Text1", u"https://www.nintendo.co.jp/", 2640, 35),
           u"ゲームのページのアドレス"),
    ControlRow{.name = "Image1",
               .kind = Image,
               .text = u":/frame1.xpm",
               .left = 3240,
               .top = 5880,
               .width = 735,
               .height = 780,
               .accessibleName = u"追っかける目"},
    frame("Image2", u":/frame1.xpm", 1200, 120),
    frame("Image3", u":/frame2.xpm", 1920, 120),
    frame("Image4", u":/frame3.xpm", 2640, 120),
    frame("Image5", u":/frame4.xpm", 3360, 120),
    frame("Image6", u":/frame5.xpm", 1200, 720),
    frame("Image7", u":/frame6.xpm", 1920, 720),
    frame("Image8", u":/frame7.xpm", 2640, 720),
    frame("Image9", u":/frame8.xpm", 3360, 720),
};

constexpr std::array kMenu = {
    MenuRow{"book", u"Book"},
    MenuRow{"game", u"Game"},
};

} // namespace

std::span<const ControlRow> controls() { return kControls; }

const ControlRow* find(std::string_view name) {
    const auto found =
        std::ranges::find_if(kControls, [name](const ControlRow& row) { return row.name == name; });
    return found == kControls.end() ? nullptr : &*found;
}

const ControlRow& control(std::string_view name) {
    const ControlRow* row = find(name);
    Q_ASSERT(row);
    return *row;
}
std::span<const MenuRow> menu() { return kMenu; }

} // namespace design
