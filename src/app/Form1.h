#pragma once

#include "FormDesign.h"
#include "GatheredControls.h"
#include "LoopScheduler.h"
#include "PictureKeeper.h"
#include "canvas/Canvas.h"
#include "canvas/ControlSurface.h"
#include "canvas/History.h"
#include "canvas/Random.h"
#include "state/DrawingState.h"
#include "state/Easel.h"

#include <QHash>
#include <QMainWindow>
#include <QTimer>
#include <QUrl>

#include <functional>

class CanvasView;
class PictureKeys;
class QLineEdit;

// The one window: canvas and tool panel at once. Builds its controls from the design
// table, wires each control event to its handler and keeps the state every handler
// shares. The handlers only translate events and call the drawing logic.
class Form1 : public QMainWindow, public ControlSurface {
    Q_OBJECT
  public:
    // What the window needs from outside, so that tests and tools can run it off-screen.
    struct Services {
        std::function<void()> quit;               // END: the program ends
        std::function<void(const QUrl&)> openUrl; // the menu links
        LoopScheduler::Clock clock = LoopScheduler::Clock::Real;
        PictureKeeper::Dialogs dialogs = PictureKeeper::desktopDialogs();
    };
    static Services desktopServices();

    explicit Form1(Services services, QWidget* parent = nullptr);
    ~Form1() override;

    // Gives the first focus; call once the window is shown.
    void focusFirstControl();

    DrawingState& state() { return state_; }
    Canvas& canvas() { return canvas_; }
    LoopScheduler& loops() { return loops_; }
    const Random& random() const { return random_; }
    CanvasView* canvasView() const { return view_; }
    PictureKeeper& keeper() { return *keeper_; }
    // The control of that design name, or nullptr.
    QWidget* control(const QString& name) const { return controls_.value(name); }
    // Sets the client area to that size in pixels.
    void resizeClientArea(QSize size);
    // Take back, and bring back, what the last gesture drew (the undo and redo keys).
    void undo();
    void redo();

    // ControlSurface
    QString text(Control box) const override;
    void setText(Control box, const QString& text) override;
    void moveImage(Control image, QPointF topLeftPixels) override;
    void copyPicture(Control image, Control from) override;

  private:
    using Handler = void (Form1::*)();
    struct Wiring;
    static const Wiring kWiring[];

    // Start-up and the shell.
    void Form_Load();
    void Command3_Click();
    void Command5_Click();
    // The canvas.
    void Form_MouseDown(float x, float y);
    void Form_MouseUp();
    void Form_MouseMove(float x, float y);
    // Mode buttons.
    void Command7_MouseDown();
    void Command8_Click();
    void Command10_Click();
    void Command13_Click();
    void Command14_Click();
    // Generated art.
    void Command2_Click();
    void Command4_Click();
    void Command6_Click();
    void Command9_Click();
    void Command11_Click();
    // Colour.
    void Text6_Change();
    void Text2_Change();
    void Text3_Change();
    void Command12_Click();
    void Picture2_Click();
    void Picture4_Click();
    void Picture5_Click();
    void Picture6_Click();
    void Picture7_Click();
    void Picture8_Click();
    void Picture9_Click();
    void Picture10_Click();
    // Hints and links.
    void Command2_MouseMove();
    void Command4_MouseMove();
    void Command6_MouseMove();
    void Command7_MouseMove();
    void Command8_MouseMove();
    void Command9_MouseMove();
    void Command10_MouseMove();
    void Text6_MouseMove();
    void Text2_MouseMove();
    void Text3_MouseMove();
    void book_Click();
    void game_Click();

    void buildControls();
    QWidget* buildControl(const design::ControlRow& row);
    void buildMenu();
    void setTabOrder();
    void wireHandlers();
    void wireKeys();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void handle(Handler handler);
    void afterEvent();
    void showHint(const char* control);
    void openLink(Control addressBox);
    void markBoxes();
    QLineEdit* box(Control box) const;

    Services services_;
    DrawingState state_;
    Random random_;
    Canvas canvas_;
    Easel easel_{state_, canvas_, *this, random_};
    History history_{canvas_};
    QTimer historyIdle_; // once the events of the moment are handled, the history readies memory
    // What the endless drawings work with: their writes to the controls reach the widgets
    // once per display frame.
    GatheredControls loopControls_{*this};
    Easel loopEasel_{state_, canvas_, loopControls_, random_};
    LoopScheduler loops_;
    bool dotsRunning_ = false; // the current loop is "②"'s, not a chase
    CanvasView* view_ = nullptr;
    PictureKeeper* keeper_ = nullptr;
    PictureKeys* keys_ = nullptr;
    QHash<QString, QWidget*> controls_;
    // Handlers of events that arrive through the event filter rather than a signal.
    struct FilteredHandlers {
        Handler click = nullptr;
        Handler mouseDown = nullptr;
        Handler mouseMove = nullptr;
    };
    QHash<const QObject*, FilteredHandlers> filtered_;
};
