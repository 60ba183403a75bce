// The program's pictures, drawn by code at their fixed sizes.
#pragma once

#include <QImage>

namespace torvex {

// A plasma jet leaving the torch nozzle, in colour (About box).
QImage plasmaBitmap();  // 302 x 300
// The product name lettered in purple italics on a grey ground (About box).
QImage torvexBitmap();  // 167 x 57
// Black-and-white half-section of the plasmatron with the quantities the
// parameter dialogs ask for: G, d, L, I, and the axes r and z from the
// channel inlet 0 (parameter and run dialogs).
QImage inpBitmap();  // 391 x 487
// The program's icon: a purple italic "T" over a small plasma flame on grey
// (title bars and task bar); the installed icon files at their sizes.
QImage torvexIcon(int size = 32);  // size x size

}  // namespace torvex
