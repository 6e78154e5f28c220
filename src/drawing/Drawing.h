#pragma once

#include "Action.h"
#include "ControlModel.h"
#include "art/RandomDots.h"
#include "canvas/Canvas.h"
#include "canvas/History.h"
#include "canvas/Random.h"
#include "colour/Swatches.h"
#include "interactive/ChaseRunner.h"
#include "state/DrawingState.h"
#include "state/Easel.h"

#include <QFont>
#include <QUrl>

#include <functional>
#include <utility>
#include <variant>

// What a drawing is: the state every handler shares, the canvas at its device ratio, the
// random generator, the history, the endless drawing that runs and what it all wrote to
// the controls. Every user action enters through take(), the one door, and nothing else
// changes a drawing: the window, the replay tool and anything that plays actions back all
// drive the same code. Knows no widget and no clock; an endless drawing advances only by
// the steps it is given.
class Drawing {
  public:
    // What a drawing asks of the program around it.
    struct Effects {
        std::function<void()> end;                // END: the program ends
        std::function<void(const QUrl&)> openUrl; // a menu item's web page
    };

    // A new drawing on a client area of `clientPixels`, printing text in `font`.
    Drawing(QSize clientPixels, const QFont& font, Effects effects);
    Drawing(const Drawing&) = delete;
    Drawing& operator=(const Drawing&) = delete;

    void take(const Action& action);

    // While one lives, the drawing takes actions without doing what they did beyond it (END
    // ends nothing, a link opens nothing): a recording played back, to bring a drawing back or
    // to watch it being made, shows what was done without doing it again.
    class Replaying {
      public:
        explicit Replaying(Drawing& drawing)
            : drawing_(drawing),
              outside_(std::exchange(drawing.effects_, {[] {}, [](const QUrl&) {}})) {}
        ~Replaying() { drawing_.effects_ = std::move(outside_); }
        Replaying(const Replaying&) = delete;
        Replaying& operator=(const Replaying&) = delete;

      private:
        Drawing& drawing_;
        Effects outside_;
    };

    // Receives every action as the drawing took it (steps as many as it took), with the time
    // taking it cost and when it was done (on clockNs()), in nanoseconds: how a recording hears
    // of them.
    using Taken = std::function<void(const Action&, qint64 costNs, qint64 doneNs)>;
    void setTaken(Taken taken) { taken_ = std::move(taken); }
    // The steady clock the drawing times its actions on.
    static qint64 clockNs();

    // Everything a drawing is but its history: what a checkpoint keeps. Taken in no time:
    // the raster is shared until either side draws again.
    struct DotsRunning {};
    struct Snapshot {
        DrawingState state;
        Random random;
        Canvas::Saved canvas;
        ControlModel::Saved controls;
        std::variant<std::monostate, interactive::ChaseRunner, DotsRunning> loop;
        bool resting = false;
        History::Open open; // the gesture still open, so that one undo still takes all of it back
    };
    Snapshot snapshot() const;
    // Becomes the drawing of the snapshot, with a history that starts afresh from its
    // picture; everything is to be shown again.
    void restore(const Snapshot& snapshot);

    // Whether an endless drawing runs with something to do: its last step changed something,
    // or the user did something since. A drawing at rest waits for the next action.
    bool looping() const { return !std::holds_alternative<std::monostate>(loop_) && !resting_; }
    // Whether a box's text serves for what it sets (a colour component, the pen width; any
    // text serves a box that sets nothing); the window marks a box whose text does not.
    bool textServes(Control box) const;
    // Readies the history's memory for the next large step; call when idle.
    void prepareHistory() { history_.prepare(); }

    const DrawingState& state() const { return state_; }
    const Canvas& canvas() const { return canvas_; }
    const Random& random() const { return random_; }
    const History& history() const { return history_; }
    QString text(Control box) const { return controls_.text(box); }

    // The window's side: what to repaint, and the controls' writes to show.
    QRegion takeRepaintRegion() { return canvas_.takeDirtyRegion(); }
    void forgetRepaints() { canvas_.takeDirty(); }
    void showWrites(ControlModel::Showing what, ControlSurface& widgets) {
        controls_.show(what, widgets);
    }
    // Receives one line per canvas operation and setting write while set (the replay trace).
    void setTrace(std::function<void(const QString&)> trace) { canvas_.setTrace(std::move(trace)); }

  private:
    using Handler = void (Drawing::*)();
    enum class Event { MouseDown, Click, MouseMove, Change };
    struct Wiring {
        const char* control;
        Event event;
        Handler handler;
    };
    static const Wiring kWiring[];

    // The controls as the logic writes them: through one writer for the handlers and one
    // for the endless drawings' steps.
    class Writes : public ControlSurface {
      public:
        Writes(Drawing& drawing, ControlModel::Writer writer)
            : drawing_(drawing), writer_(writer) {}
        QString text(Control box) const override { return drawing_.controls_.text(box); }
        void setText(Control box, const QString& text) override;
        void moveImage(Control image, QPointF topLeftPixels) override;
        void copyPicture(Control image, Control from) override;

      private:
        Drawing& drawing_;
        ControlModel::Writer writer_;
    };

    void apply(const action::OnCanvas& a);
    void apply(const action::OnControl& a);
    void apply(const action::NewText& a);
    void apply(const action::MenuItem& a);
    void apply(const action::Key& a);
    void apply(const action::Undo& a);
    void apply(const action::Redo& a);
    void apply(const action::Steps& a);
    void apply(const action::ClientSize& a);
    void apply(const action::DeviceRatio& a);
    void apply(const action::Picture& a);
    void dispatch(Event event, const QString& control);
    void textChanged(Control box);
    template <typename Loop> void startLoop(Loop loop);
    bool step();

    // Handlers: each named after the control event it answers.
    void Form_Load();
    void Form_MouseMove(float x, float y);
    void Command3_Click();
    void Command5_Click();
    void Command9_Click();
    void book_Click();
    void game_Click();
    template <void (*Handle)(Easel&)> void onEasel() { Handle(easel_); }
    template <auto Draw> void generatedPicture();
    template <colour::Swatch S> void swatchClick();
    void showHint(const QString& control);

    Effects effects_;
    DrawingState state_;
    Random random_;
    Canvas canvas_;
    History history_{canvas_};
    ControlModel controls_;
    Writes handlerWrites_{*this, ControlModel::Writer::Action};
    Writes loopWrites_{*this, ControlModel::Writer::Loop};
    Easel easel_{state_, canvas_, handlerWrites_, random_};
    Easel loopEasel_{state_, canvas_, loopWrites_, random_};
    // The one endless drawing, if any: the chasing eye or the dots of "②".
    std::variant<std::monostate, interactive::ChaseRunner, art::RandomDots> loop_;
    bool resting_ = false;     // its last step changed nothing, and no action came since
    long long stepsTaken_ = 0; // by the last Steps action
    Taken taken_;
    // Pointer movements are many and cheap, a clock read a good part of one: one in
    // kMovesTimed is timed, and the others are taken to cost what it did.
    static constexpr unsigned kMovesTimed = 16;
    unsigned movesUntimed_ = 0;
    qint64 moveCostNs_ = 0;
};
