// The rectangle a chart page takes on a printed sheet.
#pragma once

#include "platform/drawing_context.h"

namespace torvex {

// From the device's resolution and physical size: margins of 25 mm left,
// 15 mm right and 26 mm top in portrait, the height 0.68 of the width; in
// landscape (or square) 25 mm right, 26 mm top, 16 mm bottom and the width
// 1.47 of the height. Dots per millimetre are whole numbers. A device that
// reports no physical size gets its whole surface.
Rect printPageRect(const DeviceSize& device);
Rect printPageRect(const DrawingContext& dc);

// The pages are laid out for a window at least 1.3 times as wide as high;
// their fonts follow the height. The part of a window's client area a page
// takes: all of it, or in a window narrower than that (half a screen wide,
// beside the other program) its full width and the height that keeps the
// pages' proportions, at the top, so that no text is cut or overlaps.
constexpr double kNarrowestPageAspect = 1.3;
Rect windowPageRect(int width, int height);

} // namespace torvex
