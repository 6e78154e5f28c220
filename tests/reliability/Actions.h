#pragma once

#include "Replay.h"
#include "app/Form1.h"

#include <QColor>
#include <QLineEdit>

#include <gtest/gtest.h>

// Carries out one replay line; a line the harness rejects, or END, fails the test.
inline void act(Replay& replay, const QString& line) {
    const Replay::Outcome outcome = replay.run({line});
    ASSERT_EQ(outcome, Replay::Outcome::Finished)
        << qPrintable(line.left(60)) << ": " << qPrintable(replay.error());
}

// A canvas pixel as a 24-bit colour, red in the lowest byte.
inline unsigned pixelAt(Replay& replay, int x, int y) {
    const QRgb p = replay.form().canvas().raster().pixel(x, y);
    return unsigned(qRed(p)) | unsigned(qGreen(p)) << 8 | unsigned(qBlue(p)) << 16;
}

// Whether a box shows the light red of a text that cannot serve.
inline bool markedAsUnfit(Replay& replay, const char* box) {
    const auto* edit = qobject_cast<QLineEdit*>(replay.form().control(QString::fromLatin1(box)));
    return edit && edit->palette().color(QPalette::Base) == QColor(255, 200, 200);
}
