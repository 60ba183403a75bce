// The shared chart font description and the font replacement every painter
// goes through. The description is one for the whole program: the shell sets
// it to initialChartFont() when the main window is created, and each painter
// edits the fields it needs (height, weight, escapement, sometimes the face)
// before creating a font from it; edits persist until the next painter.
#pragma once

#include "platform/drawing_context.h"
#include "platform/font_description.h"

namespace torvex {

// The program's one chart font description.
FontDescription& chartFont();

// Sets the chart font's height, weight 400 and escapement, creates the font,
// selects it and deletes the font selected before.
void replaceFont(DrawingContext& dc, int height, int escapement);
// The same with the face set to Arial first, horizontal: how each chart and
// page starts its texts whatever face the painter before it left behind.
void replaceFontWithArial(DrawingContext& dc, int height);

// Advance width and height of "S" measured together with its terminator in
// the selected font: the unit of every chart margin.
TextSize sampleSize(const DrawingContext& dc);

} // namespace torvex
