#include "Form1.h"

#include "CanvasView.h"
#include "CaptionButton.h"
#include "FilmExport.h"
#include "MakingOfPlayer.h"
#include "PictureKeys.h"
#include "canvas/PictureFile.h"
#include "drawing/FormDesign.h"
#include "recording/DrawingFile.h"
#include "recording/StartUp.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
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

// The first local file among dropped addresses, or empty.
QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return {};
}

void markBox(QLineEdit* box, bool serves) {
    if (box->property("serves").toBool() == serves) return;
    box->setProperty("serves", serves);
    box->style()->unpolish(box);
    box->style()->polish(box);
}

} // namespace

Form1::Services Form1::desktopServices() {
    return {
        .quit = [] { QCoreApplication::exit(0); },
        // Handed on after the handler returns; whether a browser opens is not our concern.
        .openUrl =
            [](const QUrl& url) {
                QMetaObject::invokeMethod(
                    qApp, [url] { QDesktopServices::openUrl(url); }, Qt::QueuedConnection);
            },
        .recordings = RecordingFolder(),
    };
}

Form1::Form1(Services services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)),
      drawing_(QSize(px(design::kClientWidth), px(design::kClientHeight)), font(),
               {.end =
                    [this] {
                        hide();
                        services_.quit();
                    },
                .openUrl = [this](const QUrl& url) { services_.openUrl(url); }}),
      loops_(
          services_.clock,
          [this](long long steps) {
              drawing_.take(action::Steps{steps});
              return drawing_.looping();
          },
          [this](LoopScheduler::Showing what) {
              showWrites(what);
              view_->showChangesNow();
          }) {
    Q_INIT_RESOURCE(resources); // the pictures live in a static library
    setWindowTitle(QString::fromUtf16(design::kTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icon.xpm")));
    view_ = new CanvasView(
        drawing_, [this](const action::OnCanvas& pointer) { act(pointer); }, this);
    setCentralWidget(view_);
    buildMenu();
    menuBar()->setObjectName(QStringLiteral("menu"));
    menuBar()->installEventFilter(this); // a press on the menu ends a gesture too
    buildControls();
    setTabOrder();
    wireControls();
    wireKeys();
    setAcceptDrops(true);
    historyIdle_.setSingleShot(true);
    connect(&historyIdle_, &QTimer::timeout, this, [this] { drawing_.prepareHistory(); });
    resizeClientArea(drawing_.canvas().clientSize());
    if (services_.recordings) keepRecording();
}

Form1::~Form1() {
    delete std::exchange(player_, nullptr); // before the widgets whose input it takes
    if (recorder_) recorder_->finish();
}

void Form1::resizeClientArea(QSize size) {
    resize(size.width(), size.height() + menuBar()->sizeHint().height());
}

void Form1::focusFirstControl() {
    if (QWidget* first = controls_.value(QStringLiteral("Text10")))
        first->setFocus(Qt::OtherFocusReason);
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

// Each control's events become actions on it by its design name; what the drawing does
// with them is the drawing's affair.
void Form1::wireControls() {
    for (auto it = controls_.cbegin(); it != controls_.cend(); ++it) {
        const QString name = it.key();
        QWidget* widget = it.value();
        if (auto* button = qobject_cast<QPushButton*>(widget))
            connect(button, &QPushButton::clicked, this, [this, name] {
                act(action::OnControl{action::ControlEvent::Click, name});
            });
        // Typing only: the drawing's own writes are shown, not taken back in as actions.
        if (auto* box = qobject_cast<QLineEdit*>(widget))
            connect(box, &QLineEdit::textEdited, this,
                    [this, control = *controlNamed(name)](const QString& text) {
                        act(action::NewText{control, text});
                    });
    }
    for (QAction* item : menuBar()->actions())
        connect(item, &QAction::triggered, this,
                [this, name = item->objectName()] { act(action::MenuItem{name}); });
}

// Save, copy and print keep the picture; the undo and redo keys are the history's to take.
void Form1::wireKeys() {
    keeper_ = new PictureKeeper(
        drawing_.canvas(), [this] { return recording(); }, services_.dialogs, this);
    keys_ = new PictureKeys(this);
    connect(keys_, &PictureKeys::save, keeper_, &PictureKeeper::save);
    connect(keys_, &PictureKeys::keepDrawing, keeper_, &PictureKeeper::keepDrawing);
    connect(keys_, &PictureKeys::open, this, &Form1::askOpen);
    connect(keys_, &PictureKeys::copy, keeper_, &PictureKeeper::copy);
    connect(keys_, &PictureKeys::print, keeper_, &PictureKeeper::print);
    connect(keys_, &PictureKeys::undo, this, &Form1::undo);
    connect(keys_, &PictureKeys::redo, this, &Form1::redo);
    // The film is made from the recording, which only a recorded drawing has.
    connect(keys_, &PictureKeys::exportFilm, this, [this] {
        if (recorder_)
            exportWindowFilm(this, *keeper_, *recorder_);
        else
            tell(QString::fromUtf16(u"この絵は記録されていないので、動画にできません。"));
    });
}

// The pointer on a control, and keys, as actions. A button's click comes from its own
// signal, which the keyboard gives too; any other control is clicked by the left button
// released over it.
bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const QString& name = watched->objectName();
    const auto* widget = static_cast<const QWidget*>(watched);
    using enum action::ControlEvent;
    if (takeDrop(event)) return true;
    switch (event->type()) {
    case QEvent::KeyPress:
        // Ctrl or Shift held down on the way to a shortcut is no key yet: Ctrl+Z while "②"
        // runs takes back all of its dots, not those since Ctrl went down.
        if (!KeyTable::isModifier(static_cast<QKeyEvent*>(event)->key())) act(action::Key{});
        break;
    case QEvent::MouseMove:
        act(action::OnControl{MouseMove, name, Qt::NoButton});
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: // the second press of a double-click is a press too
        act(action::OnControl{MouseDown, name, static_cast<QMouseEvent*>(event)->button()});
        break;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton && !qobject_cast<const QPushButton*>(watched) &&
            widget->rect().contains(mouse->position().toPoint()))
            act(action::OnControl{Click, name});
        break;
    }
    default:
        break;
    }
    return false;
}

// Whatever the action drew and wrote is shown, and the clock follows the drawing's endless
// drawing; the history readies its memory once the events of the moment are handled.
void Form1::act(const Action& action) {
    drawing_.take(action);
    showWrites(loops_.afterAction(drawing_.looping()));
    if (recorder_ && recorder_->failed() && !std::exchange(toldRecordingFailed_, true))
        tell(QStringLiteral(
            "絵の記録を書けなくなったので、この絵は Ctrl+S で保存しないと残りません。"));
    view_->showChanges();
    // One pending timer for any number of events: this runs at every pointer movement.
    if (!historyIdle_.isActive()) historyIdle_.start(0);
}

void Form1::showWrites(LoopScheduler::Showing what) { drawing_.showWrites(what, *this); }

// Shows all of the drawing anew once it was brought back from elsewhere, and runs its clock.
void Form1::showBroughtBack() {
    resizeClientArea(drawing_.canvas().clientSize());
    showWrites(loops_.afterAction(drawing_.looping()));
    view_->update();
}

void Form1::restore(const Drawing::Snapshot& snapshot) {
    drawing_.restore(snapshot);
    if (recorder_) recorder_->checkpoint();
    showBroughtBack();
}

// ---- Opening ----

void Form1::askOpen() {
    if (const QString path = keeper_->askOpen(); !path.isEmpty()) open(path);
}

bool Form1::open(const QString& path) {
    return recording::isDrawingFile(path) ? openDrawing(path) : openPicture(path);
}

bool Form1::openDrawing(const QString& path) {
    auto opened = std::make_unique<recording::Opened>(recording::open(path, font()));
    if (!opened->drawing) {
        keeper_->tellNotOpened(path, opened->error);
        return false;
    }
    playMakingOf(std::move(opened));
    return true;
}

// The opened drawing is first played as it was made, in the window's own drawing: the
// recording of the drawing before ends as the user's own end would, and nothing records
// the playing. The window's clock sleeps, as the recording has the endless drawing's steps.
void Form1::playMakingOf(std::unique_ptr<recording::Opened> opened) {
    if (recorder_) recorder_->finish();
    recorder_.reset();
    delete std::exchange(player_, nullptr);
    opened_ = std::move(opened);
    loops_.afterAction(false);
    player_ = new MakingOfPlayer(drawing_, opened_->recording, services_.clock,
                                 {.widget = this,
                                  .show = [this] { showPlayed(); },
                                  .tell = [this](const QString& where) { tell(where); },
                                  .ended = [this] { drawOn(); }},
                                 this);
    if (!player_->start()) drawOn();
}

void Form1::showPlayed() {
    if (view_->size() != drawing_.canvas().clientSize())
        resizeClientArea(drawing_.canvas().clientSize());
    showWrites(LoopScheduler::Showing::Everything);
    view_->showChangesNow();
}

// The playing is over: the user draws on from where the opened drawing's recording ends.
void Form1::drawOn() {
    std::exchange(player_, nullptr)->deleteLater();
    drawOnFrom(*opened_);
    opened_.reset();
}

// The opened drawing becomes the window's, where its recording ends. A new recording holds
// all of the opened drawing's and goes on from it.
void Form1::drawOnFrom(recording::Opened& opened) {
    drawing_.restore(*opened.drawing);
    recording::StartUp start;
    if (services_.recordings)
        start = recording::continueRecording(drawing_, *services_.recordings, opened.recording,
                                             opened.endMs);
    start.broughtBack = true;
    recordFrom(std::move(start));
}

// The client area grows to hold the picture as far as the screen allows, before the picture
// comes, and what lies beyond is left out; the recording holds the picture as drawn.
bool Form1::openPicture(const QString& path) {
    QString reason;
    const auto image = picture::load(path, &reason);
    if (!image) {
        keeper_->tellNotOpened(path, reason);
        return false;
    }
    const QSize client = drawing_.canvas().clientSize();
    const QSize size = client.expandedTo(image->size().boundedTo(clientRoom()));
    if (size != client) resizeClientArea(size);
    act(action::Picture{image->copy(image->rect() & QRect(QPoint(), size))});
    return true;
}

// The largest client area the screen holds, beside the window's frame and menu bar.
QSize Form1::clientRoom() const {
    const QSize frame = frameGeometry().size() - geometry().size();
    return screen()->availableGeometry().size() - frame - QSize(0, menuBar()->sizeHint().height());
}

// A file dropped anywhere on the window opens, also on a box, which would take its name as
// text. It opens once the drop is over, so that the program that dragged it never waits on
// a message.
bool Form1::takeDrop(QEvent* event) {
    const auto type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const QString file = droppedFile(drop->mimeData());
    if (file.isEmpty()) return false;
    drop->acceptProposedAction();
    if (type == QEvent::Drop)
        QMetaObject::invokeMethod(
            this, [this, file] { open(file); }, Qt::QueuedConnection);
    return true;
}

void Form1::dragEnterEvent(QDragEnterEvent* event) { takeDrop(event); }
void Form1::dragMoveEvent(QDragMoveEvent* event) { takeDrop(event); }
void Form1::dropEvent(QDropEvent* event) { takeDrop(event); }

// The drawing's whole recording: while a making-of plays, the opened drawing's; where it has
// none (no folder, a failed disk), one of the drawing as it stands.
QByteArray Form1::recording() {
    if (opened_) return opened_->recording;
    const QByteArray recorded = recorder_ ? recorder_->recording() : QByteArray();
    return recorded.isEmpty() ? recording::recordingOf(drawing_) : recorded;
}

// The hint line tells the user what the program did on its own, or where a making-of plays;
// the next hint replaces it.
void Form1::tell(const QString& message) { setText(Control::Text4, message); }

// The drawing is recorded from start-up, brought back first where the last one ended
// unasked.
void Form1::keepRecording() {
    recordFrom(recording::startRecording(drawing_, *services_.recordings, services_.bringBackLast));
}

// The recording goes on in the one the start made; a drawing it brought is shown, and what
// the user is to know of it told.
void Form1::recordFrom(recording::StartUp start) {
    recorder_ = std::move(start.recorder);
    toldRecordingFailed_ = !recorder_;
    if (start.broughtBack) {
        view_->adoptScreenDensity();
        showBroughtBack();
    }
    if (!start.message.isEmpty()) tell(start.message);
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
// it, even where it is wider than its box; a box whose text cannot serve is marked, typed
// or written.
void Form1::setText(Control control, const QString& text) {
    QLineEdit* b = box(control);
    if (!b) return;
    markBox(b, drawing_.textServes(control));
    if (b->text() == text) return;
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
