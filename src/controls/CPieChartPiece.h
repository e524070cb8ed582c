#pragma once

#include "app/base/Colours.h"
#include "platform/Money.h"

#include <QtCore/QPoint>
#include <QtCore/QString>

// One labelled, coloured amount of a pie chart window, with what the window
// works out for it when it lays the pie out: its share as a whole percent
// text, the point on the rim where its wedge ends and the point at 0.8 of the
// radius in the middle of its wedge, where its label goes.
struct CPieChartPiece
{
    ColorRef colour = 0;
    ColorRef textColour = MakeColorRef(255, 255, 255);
    QString label;
    QString percentText;
    Money amount;
    QPoint endPoint;
    int endAngle = 0; // whole degrees clockwise from twelve o'clock, 0..360
    QPoint labelPoint;
};
