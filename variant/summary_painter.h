// Painting of the variant summary block beside the plasmatron diagram, shared
// by the run dialog and the Previous-variant dialog.
#pragma once

#include "platform/drawing_context.h"
#include "pages/variant_summary.h"

class QPainter;
class QRect;

namespace torvex {

// Pixel positions of the summary block in the dialogs' client area.
constexpr int kSummaryLeft = 450;
constexpr int kDiagramLeft = 17;
constexpr int kDiagramTop = 17;

// The texts of the block: "Input data:" in red and the five inputted
// lines, then, when the summary has them, "Calculated data:" and the three
// calculated lines. The "2" of N2 and H2 is drawn smaller and lowered after
// the gas line. A summary with no data at all says so in one line.
void drawVariantSummary(DrawingContext& dc, const VariantSummary& summary);

// The plasmatron diagram at its place in the dialogs.
void drawPlasmatronDiagram(QPainter& painter);
// The diagram scaled down, if need be, to fit inside a frame (keeping its
// proportions), centred in it.
void drawPlasmatronDiagram(QPainter& painter, const QRect& frame);

} // namespace torvex
