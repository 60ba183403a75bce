// Gas formulas with a lowered subscript "2": "Ar + H2" and "N2".
#pragma once

#include "platform/drawing_context.h"

#include <string>

namespace torvex {

// Draws the main text in a 16-unit font at (trunc(x + xOffset), trunc(y)),
// advances x by its width, then draws "2" in a 14-unit Arial font half a
// character cell further right and lowered by 0.4 of the height of a
// `fontHeight` font. Leaves the chart font at Arial, height 14, horizontal.
void drawFormulaArH2(DrawingContext& dc, int fontHeight, double& x, double xOffset, double y);
void drawFormulaN2(DrawingContext& dc, int fontHeight, double& x, double xOffset, double y);

// The fonts of a formula: by default the main text "MS Sans Serif" in a
// 16-unit cell and the subscript Arial in 14. A dialog that labels its
// controls in another font passes that font's face and cell height, so the
// formulas match the other labels.
struct FormulaFonts {
    std::string mainFace = "MS Sans Serif";
    int mainHeight = 16;
    int subscriptHeight = 14;
};
void drawFormulaArH2(DrawingContext& dc, const FormulaFonts& fonts, int fontHeight, double& x, double xOffset,
                     double y);
void drawFormulaN2(DrawingContext& dc, const FormulaFonts& fonts, int fontHeight, double& x, double xOffset,
                   double y);

} // namespace torvex
