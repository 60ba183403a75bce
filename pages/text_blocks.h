// Pages of numbers rather than curves (the sensor reading, the size-class
// table, the tuning steps): headed blocks of lines and tables, painted
// through the drawing context so that they show, print and export as the
// chart pages do.
#pragma once

#include <string>
#include <vector>

#include "platform/drawing_context.h"
#include "particles/sampling.h"

namespace torvex::kavel {

// A heading, its lines, then a table whose first row holds the column titles.
struct TextBlock {
    std::string heading;
    std::vector<std::string> lines;
    std::vector<std::vector<std::string>> table;
    int marked = -1;  // table row (after the titles, 0-based) written bold and flagged
};

// The blocks one under the other in `area`, in the page's text height
// (`pageFont`), smaller where they would not fit its height or width.
// Table columns are as wide as their widest cell; numbers right-aligned.
// A line of a page, formatted as printf does (up to 255 characters).
std::string printed(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A figure of the sample with its 95 % interval as a page writes it,
// "36.3 \u00b1 0.9" (value and half-width times `scale`).
std::string plusMinus(const particles::Estimate& estimate, int decimals, double scale = 1);
// A sentence of the terminal's with the page's sign: "+-" as "\u00b1".
std::string withPageSigns(std::string sentence);

// A page of text's title at (left, y), a fifth larger than its text; the y
// of its first block.
int drawTextPageTitle(DrawingContext& dc, int left, int y, int font, int pitch, const std::string& title);
// A block's heading in bold and its lines indented by a font height under
// it, `pitch` apart from y; the y under them.
int drawHeadingAndLines(DrawingContext& dc, int left, int y, int font, int pitch, const std::string& heading,
                        const std::vector<std::string>& lines);

void drawTextBlocks(DrawingContext& dc, const Rect& area, const std::string& title,
                    const std::vector<TextBlock>& blocks, int pageFont);

// The blocks as tab-separated text, as a spreadsheet pastes it: each block's
// heading and lines on rows of their own, its table one row per line with
// the cells between tabs; a blank row between blocks.
std::string tabSeparated(const std::vector<TextBlock>& blocks);

}  // namespace torvex::kavel
