// Colours and pens shared by every chart and page.
#pragma once

#include "platform/drawing_context.h"

#include <array>

namespace torvex {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
// Frames around a chart or panel.
constexpr Rgb kFrameColour{100, 100, 100};
constexpr Rgb kGridColour{127, 127, 127};
constexpr Rgb kAxisColour = kBlack;
// Titles, axis titles and tick labels.
constexpr Rgb kLabelColour = kBlack;
// Text colour the main window's paint handler starts with.
constexpr Rgb kDefaultTextColour{128, 128, 128};

// The five curve families, in family order: red, orange, green, magenta, blue.
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kOrange{255, 127, 0};
constexpr Rgb kGreen{0, 150, 0};
constexpr Rgb kMagenta{255, 0, 255};
constexpr Rgb kBlue{0, 0, 255};
constexpr std::array<Rgb, 5> kCurveFamilyColours{kRed, kOrange, kGreen, kMagenta, kBlue};

constexpr Pen kFramePen{PenStyle::Solid, 2, kFrameColour};
constexpr Pen kGridPen{PenStyle::Dot, 1, kGridColour};
constexpr Pen kAxisPen{PenStyle::Solid, 2, kAxisColour};

} // namespace torvex
