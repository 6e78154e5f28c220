#include "Drawing.h"

#include "FormDesign.h"
#include "art/BouncingTrail.h"
#include "art/ConcentricRings.h"
#include "art/GreenTrail.h"
#include "art/PulsingTrail.h"
#include "colour/ColourBoxes.h"
#include "interactive/PointerModes.h"
#include "state/ColourRule.h"

#include <chrono>
#include <type_traits>

using colour::Swatch;
using enum action::Pointer;

// Every control event the drawing answers, and its handler. Any other does nothing but
// what every press and every movement over a control does: a press ends the gesture, a
// movement over a control with a hint shows the hint.
const Drawing::Wiring Drawing::kWiring[] = {
    {"Command3", Event::Click, &Drawing::Command3_Click},
    {"Command5", Event::Click, &Drawing::Command5_Click},
    {"Command7", Event::MouseDown, &Drawing::onEasel<interactive::Command7_MouseDown>},
    {"Command8", Event::Click, &Drawing::onEasel<interactive::Command8_Click>},
    {"Command10", Event::Click, &Drawing::onEasel<interactive::Command10_Click>},
    {"Command13", Event::Click, &Drawing::onEasel<interactive::Command13_Click>},
    {"Command14", Event::Click, &Drawing::onEasel<interactive::Command14_Click>},
    {"Command12", Event::Click, &Drawing::onEasel<colour::Command12_Click>},
    {"Text6", Event::Change, &Drawing::onEasel<colour::Text6_Change>},
    {"Text2", Event::Change, &Drawing::onEasel<colour::Text2_Change>},
    {"Text3", Event::Change, &Drawing::onEasel<colour::Text3_Change>},
    {"Picture2", Event::Click, &Drawing::swatchClick<Swatch::Picture2>},
    {"Picture4", Event::Click, &Drawing::swatchClick<Swatch::Picture4>},
    {"Picture5", Event::Click, &Drawing::swatchClick<Swatch::Picture5>},
    {"Picture6", Event::Click, &Drawing::swatchClick<Swatch::Picture6>},
    {"Picture7", Event::Click, &Drawing::swatchClick<Swatch::Picture7>},
    {"Picture8", Event::Click, &Drawing::swatchClick<Swatch::Picture8>},
    {"Picture9", Event::Click, &Drawing::swatchClick<Swatch::Picture9>},
    {"Picture10", Event::Click, &Drawing::swatchClick<Swatch::Picture10>},
    {"Command2", Event::Click, &Drawing::generatedPicture<art::drawConcentricRings>},
    {"Command4", Event::Click, &Drawing::generatedPicture<art::drawBouncingTrail>},
    {"Command6", Event::Click, &Drawing::generatedPicture<art::drawPulsingTrail>},
    {"Command9", Event::Click, &Drawing::Command9_Click},
    {"Command11", Event::Click, &Drawing::generatedPicture<art::drawGreenTrail>},
    {"book", Event::Click, &Drawing::book_Click},
    {"game", Event::Click, &Drawing::game_Click},
};

Drawing::Drawing(QSize clientPixels, const QFont& font, Effects effects)
    : effects_(std::move(effects)), canvas_(clientPixels) {
    canvas_.setFont(font);
    Form_Load();
}

namespace {

// The pointer moving over the canvas or a control: cheap and many.
bool isMovement(const Action& action) {
    if (const auto* c = std::get_if<action::OnCanvas>(&action)) return c->pointer == Move;
    const auto* c = std::get_if<action::OnControl>(&action);
    return c && c->event == action::ControlEvent::MouseMove;
}

} // namespace

void Drawing::take(const Action& action) {
    const auto apply = [this](const auto& a) { this->apply(a); };
    if (!taken_) return std::visit(apply, action);
    const bool movement = isMovement(action);
    const bool timed = !movement || movesUntimed_++ % kMovesTimed == 0;
    const qint64 start = timed ? clockNs() : 0;
    std::visit(apply, action);
    const qint64 done = clockNs();
    if (movement && timed) moveCostNs_ = done - start;
    const qint64 cost = movement ? moveCostNs_ : done - start;
    if (!std::holds_alternative<action::Steps>(action))
        taken_(action, cost, done);
    else if (stepsTaken_ > 0)
        taken_(action::Steps{stepsTaken_}, cost, done);
}

qint64 Drawing::clockNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

Drawing::Snapshot Drawing::snapshot() const {
    Snapshot s{state_, random_, canvas_.save(), controls_.save(), {}, resting_, history_.open()};
    if (const auto* chase = std::get_if<interactive::ChaseRunner>(&loop_)) s.loop = *chase;
    if (std::holds_alternative<art::RandomDots>(loop_)) s.loop = DotsRunning{};
    return s;
}

void Drawing::restore(const Snapshot& s) {
    state_ = s.state;
    random_ = s.random;
    canvas_.restore(s.canvas);
    controls_.restore(s.controls);
    if (const auto* chase = std::get_if<interactive::ChaseRunner>(&s.loop))
        loop_ = *chase;
    else if (std::holds_alternative<DotsRunning>(s.loop))
        loop_ = art::RandomDots::resume(canvas_, random_);
    else
        loop_ = std::monostate();
    resting_ = s.resting;
    history_.restart(s.open);
}

// ---- Actions ----

// A stroke is one step of the history: it begins at the press and ends at the release.
void Drawing::apply(const action::OnCanvas& a) {
    resting_ = false;
    const auto x = static_cast<float>(canvas_.fromPixels(a.pixels.x()));
    const auto y = static_cast<float>(canvas_.fromPixels(a.pixels.y()));
    switch (a.pointer) {
    case Press:
        history_.endGesture();
        interactive::Form_MouseDown(easel_, x, y);
        break;
    case Move:
        Form_MouseMove(x, y);
        break;
    case Release:
        interactive::Form_MouseUp(easel_);
        history_.endGesture();
        break;
    }
}

// A press anywhere ends what the pointer drew without a button held.
void Drawing::apply(const action::OnControl& a) {
    resting_ = false;
    switch (a.event) {
    case action::ControlEvent::MouseDown:
        history_.endGesture();
        dispatch(Event::MouseDown, a.control);
        break;
    case action::ControlEvent::Click:
        dispatch(Event::Click, a.control);
        break;
    case action::ControlEvent::MouseMove:
        showHint(a.control);
        break;
    }
}

// Typing runs the box's change handling even where the text comes out as it was.
void Drawing::apply(const action::NewText& a) {
    resting_ = false;
    controls_.setText(a.box, a.text, ControlModel::Writer::Action);
    textChanged(a.box);
}

void Drawing::apply(const action::MenuItem& a) {
    resting_ = false;
    dispatch(Event::Click, a.name);
}

void Drawing::apply(const action::Key&) {
    resting_ = false;
    history_.endGesture();
}

// "②" stops at an undo, or it would go on sprinkling over the restored picture; a chase
// draws nothing and goes on.
void Drawing::apply(const action::Undo&) {
    resting_ = false;
    if (std::holds_alternative<art::RandomDots>(loop_)) loop_ = std::monostate();
    history_.undo();
}

void Drawing::apply(const action::Redo&) {
    resting_ = false;
    history_.redo();
}

void Drawing::apply(const action::Steps& a) {
    resting_ = false;
    stepsTaken_ = 0;
    if (std::holds_alternative<std::monostate>(loop_)) return;
    while (stepsTaken_ < a.count && !resting_) {
        ++stepsTaken_;
        resting_ = !step();
    }
}

void Drawing::apply(const action::ClientSize& a) { canvas_.setClientSize(a.pixels); }

void Drawing::apply(const action::DeviceRatio& a) { canvas_.setDeviceRatio(a.ratio); }

// An opened picture is one step of the history, as "CLS" is; an endless drawing goes on over it.
void Drawing::apply(const action::Picture& a) {
    resting_ = false;
    history_.endGesture();
    canvas_.PaintPicture(a.image);
    history_.endGesture();
}

void Drawing::dispatch(Event event, const QString& control) {
    for (const Wiring& w : kWiring)
        if (w.event == event && control == QLatin1String(w.control)) (this->*w.handler)();
}

void Drawing::textChanged(Control box) {
    dispatch(Event::Change, QString::fromLatin1(nameOf(box)));
}

bool Drawing::textServes(Control box) const {
    switch (box) {
    case Control::Text5:
        return interactive::penWidthFromText(text(box)).has_value();
    case Control::Text6:
    case Control::Text2:
    case Control::Text3:
        return colour::servesAsComponent(text(box));
    default:
        return true;
    }
}

// ---- The endless drawings ----

// Starting one runs its first step at once and replaces, and frees, the one that ran
// before: they never nest, so memory stays flat however many are started.
template <typename Loop> void Drawing::startLoop(Loop loop) {
    loop_ = std::move(loop);
    resting_ = !step();
}

// One step of the endless drawing; whether it changed anything.
bool Drawing::step() {
    return std::visit(
        [this](auto& loop) {
            using L = std::decay_t<decltype(loop)>;
            if constexpr (std::is_same_v<L, interactive::ChaseRunner>) {
                return loop.step(loopEasel_);
            } else if constexpr (std::is_same_v<L, art::RandomDots>) {
                loop.step();
                return true;
            } else {
                return false;
            }
        },
        loop_);
}

// ---- The controls as the logic writes them ----

// A write that changes a box's text runs its change handling, as typing does.
void Drawing::Writes::setText(Control box, const QString& text) {
    if (drawing_.controls_.setText(box, text, writer_)) drawing_.textChanged(box);
}

void Drawing::Writes::moveImage(Control image, QPointF topLeftPixels) {
    drawing_.controls_.moveImage(image, topLeftPixels, writer_);
}

void Drawing::Writes::copyPicture(Control image, Control from) {
    drawing_.controls_.copyPicture(image, from, writer_);
}

// ---- Handlers ----

void Drawing::Form_Load() {
    if (const auto width = interactive::penWidthFromText(text(Control::Text5)))
        canvas_.setDrawWidth(*width);
    state_.red = Value::text(text(Control::Text6));
    state_.green = Value::text(text(Control::Text2));
    state_.blue = Value::text(text(Control::Text3));
    if (const auto colour = penColour(state_)) canvas_.setForeColor(*colour);
}

void Drawing::Form_MouseMove(float x, float y) {
    if (state_.chaseOn.on())
        startLoop(interactive::ChaseRunner(x, y));
    else
        interactive::drawPointerModes(easel_, x, y);
}

// "CLS" is one step of the history.
void Drawing::Command3_Click() {
    canvas_.Cls();
    history_.endGesture();
}

void Drawing::Command5_Click() { effects_.end(); }

// Its dots are one step until the next gesture begins.
void Drawing::Command9_Click() { startLoop(art::RandomDots::begin(canvas_, random_)); }

// Each generated picture is one step of the history.
template <auto Draw> void Drawing::generatedPicture() {
    if constexpr (std::is_invocable_v<decltype(Draw), Canvas&, Random&>)
        Draw(canvas_, random_);
    else
        Draw(canvas_, random_, state_);
    history_.endGesture();
}

template <Swatch S> void Drawing::swatchClick() { colour::clickSwatch(easel_, S); }

// The hint is the control's row in the design table, where screen readers find it too.
void Drawing::showHint(const QString& control) {
    const QByteArray name = control.toLatin1();
    const design::ControlRow* row = design::find(std::string_view(name.data(), name.size()));
    if (row && row->hint) handlerWrites_.setText(Control::Text4, QString::fromUtf16(row->hint));
}

void Drawing::book_Click() { effects_.openUrl(QUrl(text(Control::Text11))); }
void Drawing::game_Click() { effects_.openUrl(QUrl(text(Control::Text1))); }
