#pragma once

#include "Replay.h"
#include "app/Form1.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

// Carries out one replay line; a line the harness rejects, or END, fails the test.
inline void act(Replay& replay, const QString& line) {
    const Replay::Outcome outcome = replay.run({line});
    ASSERT_EQ(outcome, Replay::Outcome::Finished)
        << qPrintable(line.left(60)) << ": " << qPrintable(replay.error());
}

// A canvas pixel as a 24-bit colour, red in the lowest byte.
inline unsigned pixelAt(Replay& replay, int x, int y) {
    const QRgb p = replay.form().drawing().canvas().raster().pixel(x, y);
    return unsigned(qRed(p)) | unsigned(qGreen(p)) << 8 | unsigned(qBlue(p)) << 16;
}

// The background a box shows, read from the box as drawn on the screen: two points of its
// inside, away from any text. Invalid when they differ.
inline QColor boxBackground(Replay& replay, const char* box) {
    QWidget* edit = replay.form().control(QString::fromLatin1(box));
    const QImage shown = edit->grab().toImage();
    const QColor top = shown.pixelColor(shown.width() / 2, 1);
    const QColor corner = shown.pixelColor(shown.width() - 2, shown.height() - 2);
    return top == corner ? top : QColor();
}

// Whether a box shows the light red of a text that cannot serve; fails the test when it
// shows neither that nor white.
inline bool markedAsUnfit(Replay& replay, const char* box) {
    const QColor shown = boxBackground(replay, box);
    EXPECT_TRUE(shown == QColor(255, 200, 200) || shown == QColor(Qt::white))
        << box << " shows " << qPrintable(shown.name());
    return shown == QColor(255, 200, 200);
}
