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

} // namespace torvex
