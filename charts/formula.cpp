#include "charts/formula.h"

#include "charts/chart_font.h"
#include "charts/palette.h"
#include "charts/scales.h"

#include <string>

namespace torvex {

namespace {

// The main text at the cursor, then a "2" half a character cell after it and
// lowered by 0.4 of the height of a `fontHeight` font.
void drawFormula(DrawingContext& dc, const std::string& mainText, const FormulaFonts& fonts, int fontHeight,
                 double& x, double xOffset, double y) {
    chartFont().face = "MS Sans Serif";
    replaceFont(dc, fontHeight, 0);
    const double drop = 0.4 * dc.textExtent("S").height;

    chartFont().face = fonts.mainFace;
    replaceFont(dc, fonts.mainHeight, 0);
    const TextSize main = dc.textExtent(mainText);
    dc.setTextColour(kBlack);
    dc.textOut(toDevice(x + xOffset), toDevice(y), mainText);
    x += main.width;

    replaceFontWithArial(dc, fonts.subscriptHeight);
    const std::string subscript = "2";
    const int width = dc.textExtent(subscript).width;
    const int length = static_cast<int>(subscript.size());
    dc.textOut(toDevice(xOffset + x + (width / length) / 2), toDevice(y + drop), subscript);
}

} // namespace

void drawFormulaArH2(DrawingContext& dc, int fontHeight, double& x, double xOffset, double y) {
    drawFormula(dc, "Ar + H", FormulaFonts{}, fontHeight, x, xOffset, y);
}

void drawFormulaN2(DrawingContext& dc, int fontHeight, double& x, double xOffset, double y) {
    drawFormula(dc, "N", FormulaFonts{}, fontHeight, x, xOffset, y);
}

void drawFormulaArH2(DrawingContext& dc, const FormulaFonts& fonts, int fontHeight, double& x, double xOffset,
                     double y) {
    drawFormula(dc, "Ar + H", fonts, fontHeight, x, xOffset, y);
}

void drawFormulaN2(DrawingContext& dc, const FormulaFonts& fonts, int fontHeight, double& x, double xOffset,
                   double y) {
    drawFormula(dc, "N", fonts, fontHeight, x, xOffset, y);
}

} // namespace torvex
