#pragma once

#include "recording/Film.h"

#include <QByteArray>
#include <QString>

// The making-of of a recording as a film. The frames show the client area as the window
// showed it, played into a window of its own that never comes on screen, or with
// `pictureOnly` the picture alone; at the density the drawing was made at.
struct FilmRequest {
    int speed = 1;
    bool pictureOnly = false;
};

film::Outcome exportFilm(const QByteArray& recording, const QString& path, FilmRequest request,
                         const film::Progress& progress, QString* error);

class PictureKeeper;
class Recorder;
class QWidget;

// Ctrl+E: asks where, as a picture is kept, then exports the window's drawing from its start
// at the slowest of the playing speeds that makes a film of a minute at most, with a
// progress dialog that can cancel it. A cancelled or failed film leaves no file.
void exportWindowFilm(QWidget* window, PictureKeeper& keeper, Recorder& recorder);

// `quenzel --export DRAWING OUT`: the film with its progress on standard error; the exit code.
int exportFromCommandLine(const QString& drawing, const QString& out, FilmRequest request);
