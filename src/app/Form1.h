#pragma once

#include "LoopScheduler.h"
#include "PictureKeeper.h"
#include "canvas/ControlSurface.h"
#include "drawing/Drawing.h"
#include "recording/RecordingFolder.h"

#include <QHash>
#include <QMainWindow>
#include <QTimer>
#include <QUrl>

#include <functional>

class CanvasView;
class MakingOfPlayer;
class PictureKeys;
class Recorder;
class QLineEdit;

namespace design {
struct ControlRow;
}
namespace recording {
struct Opened;
struct StartUp;
} // namespace recording

// The one window: canvas and tool panel at once. Builds its controls from the design
// table, turns the events of the controls, the canvas, the menu and the keys into the
// drawing's actions, runs the clock of its endless drawing and shows what the drawing
// wrote. Holds no rule of the drawing.
class Form1 : public QMainWindow, private ControlSurface {
    Q_OBJECT
  public:
    // What the window needs from outside, so that tests and tools can run it off-screen.
    struct Services {
        std::function<void()> quit;               // END: the program ends
        std::function<void(const QUrl&)> openUrl; // the menu links
        LoopScheduler::Clock clock = LoopScheduler::Clock::Real;
        PictureKeeper::Dialogs dialogs = PictureKeeper::desktopDialogs();
        // Where the drawing is recorded as it is made, if anywhere; and whether the last
        // drawing comes back even where the user ended it.
        std::optional<RecordingFolder> recordings = std::nullopt;
        bool bringBackLast = false;
    };
    static Services desktopServices();

    explicit Form1(Services services, QWidget* parent = nullptr);
    // The user's own end: the recording says so.
    ~Form1() override;

    // Gives the first focus; call once the window is shown.
    void focusFirstControl();

    Drawing& drawing() { return drawing_; }
    LoopScheduler& loops() { return loops_; }
    CanvasView* canvasView() const { return view_; }
    PictureKeeper& keeper() { return *keeper_; }
    // The control of that design name, or nullptr.
    QWidget* control(const QString& name) const { return controls_.value(name); }
    // Sets the client area to that size in pixels.
    void resizeClientArea(QSize size);
    // Take back, and bring back, what the last gesture drew (the undo and redo keys).
    void undo() { act(action::Undo{}); }
    void redo() { act(action::Redo{}); }
    // Takes an action as if an event had made it, and shows what it wrote: how the replay
    // tool plays a recording.
    void act(const Action& action);
    // Shows the drawing as a playback of its recording left it: in a client area of its size,
    // with everything it wrote; the window's clock stays as it is.
    void showPlayed();
    // Makes the drawing that of the snapshot, brought from elsewhere, and shows it; the
    // recording takes it in as a checkpoint.
    void restore(const Drawing::Snapshot& snapshot);
    // Opens a drawing file (its making-of plays, and the window's drawing becomes it) or a
    // picture (drawn on the canvas, one step of the history), as if chosen in the open
    // dialog. A file that does not open is told, and the window stays as it was: false then.
    bool open(const QString& path);
    // The making-of playing, if one is.
    MakingOfPlayer* player() const { return player_; }

  private:
    void buildControls();
    QWidget* buildControl(const design::ControlRow& row);
    void buildMenu();
    void setTabOrder();
    void wireControls();
    void wireKeys();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool takeDrop(QEvent* event);
    void askOpen();
    bool openDrawing(const QString& path);
    void playMakingOf(std::unique_ptr<recording::Opened> opened);
    void showBroughtBack();
    void drawOn();
    void drawOnFrom(recording::Opened& opened);
    void recordFrom(recording::StartUp start);
    bool openPicture(const QString& path);
    QSize clientRoom() const;
    QByteArray recording();
    void keepRecording();
    void tell(const QString& message);
    void showWrites(LoopScheduler::Showing what);
    QLineEdit* box(Control box) const;

    // ControlSurface: the widgets, as the drawing's writes reach them.
    QString text(Control box) const override;
    void setText(Control box, const QString& text) override;
    void moveImage(Control image, QPointF topLeftPixels) override;
    void copyPicture(Control image, Control from) override;

    Services services_;
    Drawing drawing_;
    LoopScheduler loops_;
    QTimer historyIdle_; // once the events of the moment are handled, the history readies memory
    CanvasView* view_ = nullptr;
    PictureKeeper* keeper_ = nullptr;
    PictureKeys* keys_ = nullptr;
    QHash<QString, QWidget*> controls_;
    std::unique_ptr<Recorder> recorder_;
    // The drawing opened, while its making-of plays; the player, a child of the window.
    std::unique_ptr<recording::Opened> opened_;
    MakingOfPlayer* player_ = nullptr;
    bool toldRecordingFailed_ = false;
};
