#pragma once

#include "Clocks.h"

#include <QPointF>
#include <QSize>

#include <algorithm>
#include <cmath>

// What recording costs a drawing, and what an hour of drawing leaves on disk.

// Where the pen-dots workload drags the pen at its i-th movement: a Lissajous figure over the
// whole client area, at whole pixels as a mouse delivers them.
QPointF penPath(QSize client, int i, double speed = 0.001);

// The same actions taken by two drawings in turns, one without and one with a Recorder writing
// to a file in a temporary folder: the fastest processor time of the drawing's thread for one
// run, in ms, each; and the processor time of the other threads, the recording file's writer,
// for all of it (the first checkpoint's compression included), per run.
struct RecorderCost {
    double withoutMs, withMs, writerMs;
    long long actions; // in one run
};
// `prepare` (untimed) and `run` on two subjects in turns, `runs` times each, the second of
// them recorded; `finish` then ends the recording and waits for its writer. `run` returns how
// many actions it took.
template <typename Subject, typename Prepare, typename Run, typename Finish>
RecorderCost inTurns(Subject& without, Subject& with, int runs, Prepare prepare, Run run,
                     Finish finish) {
    const double othersBefore = processorMs() - threadMs();
    RecorderCost cost{INFINITY, INFINITY, 0, 0};
    for (int i = 0; i < runs; ++i) {
        for (Subject* subject : {&without, &with}) {
            prepare(*subject);
            const double start = threadMs();
            cost.actions = run(*subject);
            double& best = subject == &with ? cost.withMs : cost.withoutMs;
            best = std::min(best, threadMs() - start);
        }
    }
    finish();
    cost.writerMs = (processorMs() - threadMs() - othersBefore) / runs;
    return cost;
}

// The pen switched on, then one stroke of `moves` movements along penPath.
RecorderCost recorderPenDots(QSize client, int moves, int runs);
// "②" started, then `steps` steps in batches of 33, as the window's clock takes them.
RecorderCost recorderDots(QSize client, int steps, int runs);

// A synthetic hour of drawing recorded as the program records it: the pointer moving 100 times a
// second in pen strokes of two to five seconds, "②" running from minute 20 to 30 (1000 steps a
// second, in batches of 33, stopped by an undo), an art button clicked every minute. Played as
// fast as the drawing goes, on a clock that reads the session's times.
struct Hour {
    long long actions = 0, lines = 0, checkpoints = 0;
    double textMB = 0, checkpointsMB = 0, fileMB = 0; // the text, its checkpoints, the file
    double playedS = 0, writerS = 0;    // processor time of the drawing's thread, and of the writer
    double readMs = 0, bringBackMs = 0; // reading the file, and bringing back its drawing
    long long actionsBroughtBack =
        0; // the recording holds (what a bring-back replays is those after its last checkpoint)
    double worstBringBackMs = 0; // at the moment before a checkpoint that takes longest
    long long worstActions = 0;  // the recording holds up to then
    double worstSeekMs = 0, medianSeekMs = 0; // a jump back to a moment of the film
    bool same = false;                        // the drawing brought back is the one recorded
};
Hour anHour(QSize client);
