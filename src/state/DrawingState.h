#pragma once

#include "Value.h"

// The form-level variables that every handler shares. One record, owned by the window,
// never reset: each member keeps what its last writer stored.
struct DrawingState {
    Switch penOn;
    Switch buttonHeld; // a mouse button is down on the canvas (the pen reads it)
    Switch pen2On;
    Switch sevenColoursOn;
    Switch circleOn;
    Switch dragHeld; // the same fact as buttonHeld, kept apart for circle mode
    Switch chaseOn;
    Value red;
    Value green;
    Value blue;
    Value spriteX; // the trailing point shared by pen 2 and the chasing eye
    Value spriteY;
    Value colourPhase; // component the seven-colour cycle waits on: 0 red, 1 green, 2 blue
    Value anchorX;     // last canvas press made in circle or chase mode
    Value anchorY;
    Value midX; // centre of the latest circle-mode circle
    Value midY;
    Value bounceAngle;    // the green trail's angle; its secant is the step
    Value bounceAngleSet; // 0 until bounceAngle has its first value, then 1
    Value lastMidX;       // midX of the previous circle-mode movement
    Value lastMidY;
    Value spriteFrame; // direction frame 1..8 of the chasing eye

    // Calls visit(name, member) for every member in declaration order.
    template <typename Visitor> void visitMembers(Visitor&& visit) {
        visit("penOn", penOn);
        visit("buttonHeld", buttonHeld);
        visit("pen2On", pen2On);
        visit("sevenColoursOn", sevenColoursOn);
        visit("circleOn", circleOn);
        visit("dragHeld", dragHeld);
        visit("chaseOn", chaseOn);
        visit("red", red);
        visit("green", green);
        visit("blue", blue);
        visit("spriteX", spriteX);
        visit("spriteY", spriteY);
        visit("colourPhase", colourPhase);
        visit("anchorX", anchorX);
        visit("anchorY", anchorY);
        visit("midX", midX);
        visit("midY", midY);
        visit("bounceAngle", bounceAngle);
        visit("bounceAngleSet", bounceAngleSet);
        visit("lastMidX", lastMidX);
        visit("lastMidY", lastMidY);
        visit("spriteFrame", spriteFrame);
    }
};
