// Dialog-unit geometry. Dialog layouts are given in dialog units; the program
// assumes dialog base units of 8 x 16 pixels, which makes one unit two pixels
// across and two pixels down. The pixel positions of text drawn into dialogs
// (summaries, progress) are computed with the same factors, so they line up
// with the controls.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace torvex {

// The dialog base units the layouts were made for, in pixels.
constexpr int kDialogBaseUnitWidth = 8;
constexpr int kDialogBaseUnitHeight = 16;

// A rectangle in dialog units: x, y, width, height.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Horizontal dialog units to pixels (a quarter of the base width each).
constexpr int dialogUnitsToPixelsX(int units) { return units * kDialogBaseUnitWidth / 4; }
// Vertical dialog units to pixels (an eighth of the base height each).
constexpr int dialogUnitsToPixelsY(int units) { return units * kDialogBaseUnitHeight / 8; }

QPoint dialogPointToPixels(int x, int y);
QSize dialogSizeToPixels(int width, int height);
QRect dialogRectToPixels(const DialogRect& r);

// Pixel height of a font of this many points on the 96-dot-per-inch display
// the layouts assume (10 points -> 13 pixels, 12 points -> 16 pixels).
int fontPointsToPixels(int points);

}  // namespace torvex
