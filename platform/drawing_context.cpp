#include "platform/drawing_context.h"

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

} // namespace torvex
