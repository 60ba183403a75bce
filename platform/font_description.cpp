#include "platform/font_description.h"

#include <tuple>

namespace torvex {

namespace {

auto fields(const FontDescription& f) {
    return std::tie(f.face, f.height, f.width, f.escapement, f.orientation, f.weight, f.italic, f.underline,
                    f.strikeOut, f.charSet, f.outPrecision, f.clipPrecision, f.quality, f.pitchAndFamily);
}

} // namespace

bool FontDescription::operator==(const FontDescription& other) const { return fields(*this) == fields(other); }

FontDescription initialChartFont() {
    FontDescription font;
    font.face = "Arial";
    font.height = 26;
    font.weight = 400;
    return font;
}

FontDescription systemFontDescription() {
    FontDescription font;
    font.face = "System";
    font.height = 16;
    font.weight = 700;
    return font;
}

} // namespace torvex
