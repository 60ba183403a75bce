#include "platform/drawing_context.h"

#include <algorithm>
#include <cmath>

namespace torvex {

TextSize DrawingContext::textExtentWithTerminator(const std::string& text) const {
    TextSize size = textExtent(text);
    size.width += defaultGlyphWidth();
    return size;
}

void DrawingContext::line(int x0, int y0, int x1, int y1) {
    moveTo(x0, y0);
    lineTo(x1, y1);
}

int screenPixels(const DrawingContext& dc, int pixels) {
    return std::max(1, static_cast<int>(std::lround(pixels * dc.unitsPerPixel())));
}

} // namespace torvex
