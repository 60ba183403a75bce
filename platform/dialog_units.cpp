#include "platform/dialog_units.h"

namespace torvex {

namespace {
// Dots per inch of the display the dialog layouts were drawn for.
constexpr int kLayoutDotsPerInch = 96;
constexpr int kPointsPerInch = 72;
}  // namespace

QPoint dialogPointToPixels(int x, int y) { return QPoint(dialogUnitsToPixelsX(x), dialogUnitsToPixelsY(y)); }

QSize dialogSizeToPixels(int width, int height) {
    return QSize(dialogUnitsToPixelsX(width), dialogUnitsToPixelsY(height));
}

QRect dialogRectToPixels(const DialogRect& r) {
    return QRect(dialogPointToPixels(r.x, r.y), dialogSizeToPixels(r.width, r.height));
}

int fontPointsToPixels(int points) {
    // Rounded to the nearest pixel, as the platform maps point sizes.
    return (points * kLayoutDotsPerInch + kPointsPerInch / 2) / kPointsPerInch;
}

}  // namespace torvex
