#include "charts/chart_font.h"

namespace torvex {

FontDescription& chartFont() {
    static FontDescription font = initialChartFont();
    return font;
}

void replaceFont(DrawingContext& dc, int height, int escapement) {
    FontDescription& font = chartFont();
    font.height = height;
    font.weight = 400;
    font.escapement = escapement;
    dc.selectFont(font);
}

void replaceFontWithArial(DrawingContext& dc, int height) {
    chartFont().face = "Arial";
    replaceFont(dc, height, 0);
}

TextSize sampleSize(const DrawingContext& dc) { return dc.textExtentWithTerminator("S"); }

} // namespace torvex
