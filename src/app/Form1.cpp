#include "Form1.h"

#include "CanvasView.h"
#include "CaptionButton.h"
#include "PictureKeys.h"
#include "art/BouncingTrail.h"
#include "art/ConcentricRings.h"
#include "art/GreenTrail.h"
#include "art/PulsingTrail.h"
#include "art/RandomDots.h"
#include "colour/ColourBoxes.h"
#include "colour/Swatches.h"
#include "interactive/ChaseRunner.h"
#include "interactive/PointerModes.h"
#include "state/ColourRule.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>

#include <algorithm>
#include <vector>

namespace {

constexpr int px(int twips) { return twips / design::kTwipsPerPixel; }

QRect pixelGeometry(const design::ControlRow& row) {
    return {px(row.left), px(row.top), px(row.width), px(row.height)};
}

// A sunken border, dark on the top and left and light on the bottom and right, one pixel
// thin to leave room for three digits in a 25-pixel box; a box whose text cannot serve
// shows it in light red until the text serves again.
const QString kBoxStyle = QStringLiteral("QLineEdit { border: 1px solid; padding: 0;"
                                         " border-color: #808080 #d4d0c8 #d4d0c8 #808080; }"
                                         "QLineEdit[serves=\"false\"] { background: #ffc8c8; }");

void markBox(QLineEdit* box, bool serves) {
    if (box->property("serves").toBool() == serves) return;
    box->setProperty("serves", serves);
    box->style()->unpolish(box);
    box->style()->polish(box);
}

} // namespace

enum class Event { Click, MouseDown, MouseMove, Change };

struct Form1::Wiring {
    const char* control;
    Event event;
    Handler handler;
};

// Every control event the window handles, and its handler. Anything else does nothing
// beyond the platform's default.
const Form1::Wiring Form1::kWiring[] = {
    {"Command3", Event::Click, &Form1::Command3_Click},
    {"Command5", Event::Click, &Form1::Command5_Click},
    {"Command7", Event::MouseDown, &Form1::Command7_MouseDown},
    {"Command8", Event::Click, &Form1::Command8_Click},
    {"Command10", Event::Click, &Form1::Command10_Click},
    {"Command13", Event::Click, &Form1::Command13_Click},
    {"Command14", Event::Click, &Form1::Command14_Click},
    {"Command12", Event::Click, &Form1::Command12_Click},
    {"Text6", Event::Change, &Form1::Text6_Change},
    {"Text2", Event::Change, &Form1::Text2_Change},
    {"Text3", Event::Change, &Form1::Text3_Change},
    {"Picture2", Event::Click, &Form1::Picture2_Click},
    {"Picture4", Event::Click, &Form1::Picture4_Click},
    {"Picture5", Event::Click, &Form1::Picture5_Click},
    {"Picture6", Event::Click, &Form1::Picture6_Click},
    {"Picture7", Event::Click, &Form1::Picture7_Click},
    {"Picture8", Event::Click, &Form1::Picture8_Click},
    {"Picture9", Event::Click, &Form1::Picture9_Click},
    {"Picture10", Event::Click, &Form1::Picture10_Click},
    {"Command2", Event::Click, &Form1::Command2_Click},
    {"Command4", Event::Click, &Form1::Command4_Click},
    {"Command6", Event::Click, &Form1::Command6_Click},
    {"Command9", Event::Click, &Form1::Command9_Click},
    {"Command11", Event::Click, &Form1::Command11_Click},
    {"Command2", Event::MouseMove, &Form1::Command2_MouseMove},
    {"Command4", Event::MouseMove, &Form1::Command4_MouseMove},
    {"Command6", Event::MouseMove, &Form1::Command6_MouseMove},
    {"Command7", Event::MouseMove, &Form1::Command7_MouseMove},
    {"Command8", Event::MouseMove, &Form1::Command8_MouseMove},
    {"Command9", Event::MouseMove, &Form1::Command9_MouseMove},
    {"Command10", Event::MouseMove, &Form1::Command10_MouseMove},
    {"Text6", Event::MouseMove, &Form1::Text6_MouseMove},
    {"Text2", Event::MouseMove, &Form1::Text2_MouseMove},
    {"Text3", Event::MouseMove, &Form1::Text3_MouseMove},
    {"book", Event::Click, &Form1::book_Click},
    {"game", Event::Click, &Form1::game_Click},
};

Form1::Services Form1::desktopServices() {
    return {
        .quit = [] { QCoreApplication::exit(0); },
        // Handed on after the handler returns; whether a browser opens is not our concern.
        .openUrl =
            [](const QUrl& url) {
                QMetaObject::invokeMethod(
                    qApp, [url] { QDesktopServices::openUrl(url); }, Qt::QueuedConnection);
            },
    };
}

Form1::Form1(Services services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)),
      canvas_(QSize(px(design::kClientWidth), px(design::kClientHeight))),
      loops_(services_.clock, [this](LoopScheduler::Showing what) {
          loopControls_.show(what);
          view_->showChangesNow();
      }) {
    Q_INIT_RESOURCE(resources); // the pictures live in a static library
    setWindowTitle(QString::fromUtf16(design::kTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icon.xpm")));
    canvas_.setFont(font());
    view_ = new CanvasView(
        canvas_,
        [this](CanvasView::Pointer kind, QPointF pixels, Qt::MouseButtons) {
            const auto x = static_cast<float>(canvas_.fromPixels(pixels.x()));
            const auto y = static_cast<float>(canvas_.fromPixels(pixels.y()));
            switch (kind) {
            case CanvasView::Pointer::Press:
                history_.endGesture();
                Form_MouseDown(x, y);
                break;
            case CanvasView::Pointer::Move:
                Form_MouseMove(x, y);
                break;
            case CanvasView::Pointer::Release:
                Form_MouseUp();
                history_.endGesture();
                break;
            }
            afterEvent();
        },
        this);
    setCentralWidget(view_);
    buildMenu();
    menuBar()->installEventFilter(this); // a click on the menu ends a gesture too
    buildControls();
    setTabOrder();
    wireHandlers();
    wireKeys();
    historyIdle_.setSingleShot(true);
    connect(&historyIdle_, &QTimer::timeout, this, [this] { history_.prepare(); });
    resizeClientArea(canvas_.clientSize());
    Form_Load();
}

Form1::~Form1() = default;

void Form1::resizeClientArea(QSize size) {
    resize(size.width(), size.height() + menuBar()->sizeHint().height());
}

void Form1::focusFirstControl() {
    if (QWidget* first = controls_.value(QStringLiteral("Text10")))
        first->setFocus(Qt::OtherFocusReason);
}

// "②" stops at an undo, or it would go on sprinkling over the restored picture; a chase
// draws nothing and goes on.
void Form1::undo() {
    if (dotsRunning_) loops_.stop();
    dotsRunning_ = false;
    history_.undo();
    afterEvent();
}

void Form1::redo() {
    history_.redo();
    afterEvent();
}

// ---- Building the window from its design ----

void Form1::buildMenu() {
    for (const design::MenuRow& item : design::menu()) {
        QAction* action = menuBar()->addAction(QString::fromUtf16(item.caption));
        action->setObjectName(QString::fromLatin1(item.name));
    }
}

void Form1::buildControls() {
    for (const design::ControlRow& row : design::controls())
        controls_.insert(QString::fromLatin1(row.name), buildControl(row));
    // Labels and images are painted on the canvas itself, so every windowed control (button,
    // box, swatch) stands in front of them, the eye included, and takes the clicks where
    // they overlap. Either group keeps its own order.
    for (const design::ControlRow& row : design::controls())
        if (row.kind != design::Kind::Label && row.kind != design::Kind::Image)
            controls_.value(QString::fromLatin1(row.name))->raise();
}

QWidget* Form1::buildControl(const design::ControlRow& row) {
    QWidget* parent = row.parent ? controls_.value(QString::fromLatin1(row.parent)) : view_;
    const QString text = QString::fromUtf16(row.text);
    QWidget* widget = nullptr;
    switch (row.kind) {
    case design::Kind::Label:
        widget = new QLabel(text, parent);
        break;
    case design::Kind::TextBox: {
        auto* box = new QLineEdit(text, parent);
        box->setStyleSheet(kBoxStyle);
        box->setProperty("serves", true);
        widget = box;
        break;
    }
    case design::Kind::Button:
        widget = new CaptionButton(text, parent);
        break;
    case design::Kind::PictureBox: {
        auto* frame = new QFrame(parent);
        frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        widget = frame;
        break;
    }
    case design::Kind::Image: {
        auto* image = new QLabel(parent);
        image->setPixmap(QPixmap(text));
        image->setScaledContents(true);
        widget = image;
        break;
    }
    }
    widget->setObjectName(QString::fromLatin1(row.name));
    widget->setGeometry(pixelGeometry(row));
    if (row.hasBackground) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, QColor::fromRgb(row.background));
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    }
    if (row.fontFamily) {
        QFont font(QString::fromUtf16(row.fontFamily), row.fontPoints, QFont::Normal);
        widget->setFont(font);
    }
    if (row.upArrowCursor) widget->setCursor(Qt::UpArrowCursor);
    widget->setAccessibleName(QString::fromUtf16(row.accessibleName));
    if (row.hint) widget->setAccessibleDescription(QString::fromUtf16(row.hint));
    widget->setFocusPolicy(row.tab < 0 ? Qt::NoFocus : widget->focusPolicy());
    if (row.kind == design::Kind::PictureBox) widget->setFocusPolicy(Qt::StrongFocus);
    widget->setEnabled(row.enabled);
    widget->setVisible(row.visible);
    // Pointer events over a control are the control's, never the canvas's.
    widget->setAttribute(Qt::WA_NoMousePropagation);
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
    return widget;
}

void Form1::setTabOrder() {
    std::vector<const design::ControlRow*> rows;
    for (const design::ControlRow& row : design::controls())
        if (row.tab >= 0) rows.push_back(&row);
    std::sort(rows.begin(), rows.end(), [](auto* a, auto* b) { return a->tab < b->tab; });
    for (std::size_t i = 1; i < rows.size(); ++i)
        QWidget::setTabOrder(controls_.value(QString::fromLatin1(rows[i - 1]->name)),
                             controls_.value(QString::fromLatin1(rows[i]->name)));
}

void Form1::wireHandlers() {
    for (const Wiring& w : kWiring) {
        const QString name = QString::fromLatin1(w.control);
        const Handler handler = w.handler;
        if (QWidget* widget = controls_.value(name)) {
            if (auto* button = qobject_cast<QPushButton*>(widget);
                button && w.event == Event::Click)
                connect(button, &QPushButton::clicked, this, [this, handler] { handle(handler); });
            else if (auto* box = qobject_cast<QLineEdit*>(widget); box && w.event == Event::Change)
                connect(box, &QLineEdit::textChanged, this, [this, handler] { handle(handler); });
            else if (w.event == Event::Click)
                filtered_[widget].click = handler;
            else if (w.event == Event::MouseDown)
                filtered_[widget].mouseDown = handler;
            else if (w.event == Event::MouseMove)
                filtered_[widget].mouseMove = handler;
        } else if (auto* item = menuBar()->findChild<QAction*>(name)) {
            connect(item, &QAction::triggered, this, [this, handler] { handle(handler); });
        }
    }
    // The width box has no handler, but shows whether its text can serve.
    connect(box(Control::Text5), &QLineEdit::textChanged, this, &Form1::markBoxes);
}

// Save, copy and print keep the picture; the undo and redo keys are the history's to take.
void Form1::wireKeys() {
    keeper_ = new PictureKeeper(canvas_, services_.dialogs, this);
    keys_ = new PictureKeys(this);
    connect(keys_, &PictureKeys::save, keeper_, &PictureKeeper::save);
    connect(keys_, &PictureKeys::copy, keeper_, &PictureKeeper::copy);
    connect(keys_, &PictureKeys::print, keeper_, &PictureKeeper::print);
    connect(keys_, &PictureKeys::undo, this, &Form1::undo);
    connect(keys_, &PictureKeys::redo, this, &Form1::redo);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // A press or a key anywhere ends what the pointer drew without a button held.
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick ||
        event->type() == QEvent::KeyPress)
        history_.endGesture();
    const auto found = filtered_.constFind(watched);
    if (found == filtered_.constEnd()) return false;
    const FilteredHandlers& handlers = *found;
    const auto* widget = static_cast<const QWidget*>(watched);
    switch (event->type()) {
    case QEvent::MouseMove:
        if (handlers.mouseMove) handle(handlers.mouseMove);
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: // the second press of a double-click is a press too
        if (handlers.mouseDown) handle(handlers.mouseDown);
        break;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (handlers.click && mouse->button() == Qt::LeftButton &&
            widget->rect().contains(mouse->position().toPoint()))
            handle(handlers.click);
        break;
    }
    default:
        break;
    }
    return false;
}

void Form1::handle(Handler handler) {
    (this->*handler)();
    afterEvent();
}

// Whatever a handler drew is shown, and a sleeping endless drawing looks again; the
// history readies its memory once the events of the moment are handled.
void Form1::afterEvent() {
    view_->showChanges();
    loops_.wake();
    // One pending timer for any number of events: this runs at every pointer movement.
    if (!historyIdle_.isActive()) historyIdle_.start(0);
}

// ---- ControlSurface ----

QLineEdit* Form1::box(Control box) const {
    return qobject_cast<QLineEdit*>(controls_.value(QString::fromLatin1(nameOf(box))));
}

QString Form1::text(Control control) const {
    const QLineEdit* b = box(control);
    return b ? b->text() : QString();
}

// A text the program writes is shown from its start, as the platform's text boxes show
// it, even where it is wider than its box.
void Form1::setText(Control control, const QString& text) {
    QLineEdit* b = box(control);
    if (!b || b->text() == text) return;
    b->setText(text);
    b->setCursorPosition(0);
}

void Form1::moveImage(Control image, QPointF topLeft) {
    // Far-off places are clamped to somewhere equally out of sight.
    constexpr double kFar = 1e6;
    if (QWidget* w = controls_.value(QString::fromLatin1(nameOf(image))))
        w->move(static_cast<int>(std::round(std::clamp(topLeft.x(), -kFar, kFar))),
                static_cast<int>(std::round(std::clamp(topLeft.y(), -kFar, kFar))));
}

void Form1::copyPicture(Control image, Control from) {
    auto* target = qobject_cast<QLabel*>(controls_.value(QString::fromLatin1(nameOf(image))));
    auto* source = qobject_cast<QLabel*>(controls_.value(QString::fromLatin1(nameOf(from))));
    // Each new chase runner shows its picture again; the same picture is not scaled again.
    if (target && source && target->pixmap().cacheKey() != source->pixmap().cacheKey())
        target->setPixmap(source->pixmap());
}

void Form1::markBoxes() {
    for (const Control c : {Control::Text6, Control::Text2, Control::Text3})
        markBox(box(c), colour::servesAsComponent(text(c)));
    markBox(box(Control::Text5), interactive::penWidthFromText(text(Control::Text5)).has_value());
}

// ---- Start-up and the shell ----

void Form1::Form_Load() {
    if (const auto width = interactive::penWidthFromText(text(Control::Text5)))
        canvas_.setDrawWidth(*width);
    state_.red = Value::text(text(Control::Text6));
    state_.green = Value::text(text(Control::Text2));
    state_.blue = Value::text(text(Control::Text3));
    if (const auto colour = penColour(state_)) canvas_.setForeColor(*colour);
}

void Form1::Command3_Click() {
    canvas_.Cls();
    history_.endGesture();
}

void Form1::Command5_Click() {
    hide();
    services_.quit();
}

// ---- The canvas ----

void Form1::Form_MouseDown(float x, float y) { interactive::Form_MouseDown(easel_, x, y); }

void Form1::Form_MouseUp() { interactive::Form_MouseUp(easel_); }

void Form1::Form_MouseMove(float x, float y) {
    if (state_.chaseOn.on()) {
        dotsRunning_ = false;
        loops_.start([runner = interactive::ChaseRunner(x, y), this]() mutable {
            return runner.step(loopEasel_);
        });
    } else {
        interactive::drawPointerModes(easel_, x, y);
    }
}

// ---- Mode buttons ----

void Form1::Command7_MouseDown() { interactive::Command7_MouseDown(easel_); }
void Form1::Command8_Click() { interactive::Command8_Click(easel_); }
void Form1::Command10_Click() { interactive::Command10_Click(easel_); }
void Form1::Command13_Click() { interactive::Command13_Click(easel_); }
void Form1::Command14_Click() { interactive::Command14_Click(easel_); }

// ---- Generated art ----

// Each generated picture is one step of the history.
void Form1::Command2_Click() {
    art::drawConcentricRings(canvas_, random_);
    history_.endGesture();
}
void Form1::Command4_Click() {
    art::drawBouncingTrail(canvas_, random_);
    history_.endGesture();
}
void Form1::Command6_Click() {
    art::drawPulsingTrail(canvas_, random_);
    history_.endGesture();
}
void Form1::Command11_Click() {
    art::drawGreenTrail(canvas_, random_, state_);
    history_.endGesture();
}

void Form1::Command9_Click() {
    auto dots = art::RandomDots::begin(canvas_, random_);
    dotsRunning_ = true; // its dots are one step until the next gesture begins
    loops_.start([dots]() mutable {
        dots.step();
        return true;
    });
}

// ---- Colour ----

void Form1::Text6_Change() {
    colour::Text6_Change(easel_);
    markBoxes();
}
void Form1::Text2_Change() {
    colour::Text2_Change(easel_);
    markBoxes();
}
void Form1::Text3_Change() {
    colour::Text3_Change(easel_);
    markBoxes();
}
void Form1::Command12_Click() { colour::Command12_Click(easel_); }
void Form1::Picture2_Click() { colour::clickSwatch(easel_, colour::Swatch::Picture2); }
void Form1::Picture4_Click() { colour::clickSwatch(easel_, colour::Swatch::Picture4); }
void Form1::Picture5_Click() { colour::clickSwatch(easel_, colour::Swatch::Picture5); }
void Form1::Picture6_Click() { colour::clickSwatch(easel_, colour::Swatch::Picture6); }
void Form1::Picture7_Click() { colour::clickSwatch(easel_, colour::Swatch::Picture7); }
void Form1::Picture8_Click() { colour::clickSwatch(easel_, colour::Swatch::Picture8); }
void Form1::Picture9_Click() { colour::clickSwatch(easel_, colour::Swatch::Picture9); }
void Form1::Picture10_Click() { colour::clickSwatch(easel_, colour::Swatch::Picture10); }

// ---- Hints and links ----

// The hint is the control's row in the design table, where screen readers find it too.
void Form1::showHint(const char* control) {
    setText(Control::Text4, QString::fromUtf16(design::control(control).hint));
}

void Form1::Command2_MouseMove() { showHint("Command2"); }
void Form1::Command4_MouseMove() { showHint("Command4"); }
void Form1::Command6_MouseMove() { showHint("Command6"); }
void Form1::Command9_MouseMove() { showHint("Command9"); }
void Form1::Command7_MouseMove() { showHint("Command7"); }
void Form1::Command8_MouseMove() { showHint("Command8"); }
void Form1::Command10_MouseMove() { showHint("Command10"); }
void Form1::Text6_MouseMove() { showHint("Text6"); }
void Form1::Text2_MouseMove() { showHint("Text2"); }
void Form1::Text3_MouseMove() { showHint("Text3"); }

void Form1::openLink(Control addressBox) { services_.openUrl(QUrl(text(addressBox))); }

void Form1::book_Click() { openLink(Control::Text11); }
void Form1::game_Click() { openLink(Control::Text1); }
