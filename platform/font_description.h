// The description a font is created from: the logical-font fields of the
// drawing layer. Heights, widths and positions are device units (screen
// pixels, printer dots), so one description yields the same layout on every
// device once scaled by the chart area it is used for.
#pragma once

#include <string>

namespace torvex {

// Precision, quality and pitch codes kept in a description. Only the values
// the program uses are named; the back end reads just the pitch bit.
constexpr int kDefaultPrecision = 0;
constexpr int kProofQuality = 2;
constexpr int kVariablePitch = 2;
constexpr int kFixedPitch = 1;
constexpr int kSwissFamily = 0x20;

struct FontDescription {
    std::string face = "Arial";
    // Character cell height (ascent + descent), device units.
    int height = 0;
    // Average character width, device units; 0 = the face's own proportions.
    int width = 0;
    // Angle of the text baseline, tenths of a degree counter-clockwise from the
    // x axis: 0 = left to right, 900 = bottom to top. Text turns about the
    // top-left corner of its unrotated box.
    int escapement = 0;
    // Angle of each glyph; kept for completeness, the back end draws glyphs
    // along the baseline.
    int orientation = 0;
    // Stroke weight, 1..1000: 400 normal, 700 bold; 0 counts as normal.
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charSet = 0;
    int outPrecision = kDefaultPrecision;
    int clipPrecision = kDefaultPrecision;
    int quality = kProofQuality;
    int pitchAndFamily = kVariablePitch | kSwissFamily;

    bool operator==(const FontDescription& other) const;
    bool operator!=(const FontDescription& other) const { return !(*this == other); }
};

// The chart font as the program starts with it: "Arial", cell height 26,
// normal weight, upright, horizontal, proof quality, variable pitch, swiss.
FontDescription initialChartFont();

// The font a fresh drawing context starts with, as a device's system font:
// a bold sans-serif face with a 16-unit cell.
FontDescription systemFontDescription();

} // namespace torvex
