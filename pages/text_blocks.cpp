#include "pages/text_blocks.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>

#include "charts/chart_font.h"
#include "charts/palette.h"
#include "charts/scales.h"

namespace torvex::kavel {

namespace {

constexpr double kPitch = 1.35;  // row height in font heights, as the panel's
const char* const kMark = "\u2190 chosen";  // after the marked row

std::size_t rowCount(const std::vector<TextBlock>& blocks) {
    std::size_t rows = 2;  // the title
    for (const TextBlock& b : blocks) rows += 1 + b.lines.size() + b.table.size() + 1;
    return rows;
}

void selectWeight(DrawingContext& dc, int height, int weight) {
    FontDescription f = chartFont();
    f.height = height;
    f.weight = weight;
    f.escapement = 0;
    dc.selectFont(f);
}

// Widths of a table's columns at the selected font (bold for the marked row).
std::vector<int> columnWidths(DrawingContext& dc, const TextBlock& b, int font) {
    std::vector<int> widths;
    for (std::size_t r = 0; r < b.table.size(); ++r) {
        const bool bold = r == 0 || (b.marked >= 0 && static_cast<int>(r) - 1 == b.marked);
        selectWeight(dc, font, bold ? 700 : 400);
        for (std::size_t c = 0; c < b.table[r].size(); ++c) {
            if (widths.size() <= c) widths.push_back(0);
            widths[c] = std::max(widths[c], dc.textExtent(b.table[r][c]).width);
        }
    }
    return widths;
}

// The widest heading or table of the blocks at a font height (lines wrap).
int widestRow(DrawingContext& dc, const std::vector<TextBlock>& blocks, int font) {
    int widest = 0;
    for (const TextBlock& b : blocks) {
        selectWeight(dc, font, 700);
        widest = std::max(widest, dc.textExtent(b.heading).width);
        selectWeight(dc, font, 400);
        int table = font + dc.textExtent(kMark).width;
        selectWeight(dc, font, 400);
        for (int w : columnWidths(dc, b, font)) table += w + font;
        if (!b.table.empty()) widest = std::max(widest, table);
    }
    return widest;
}

// A line broken at blanks into rows that fit `room` at the selected font.
std::vector<std::string> wrapped(DrawingContext& dc, const std::string& line, int room) {
    std::vector<std::string> rows;
    std::string row;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = line.find(' ', start);
        if (end == std::string::npos) end = line.size();
        const std::string word = line.substr(start, end - start);
        const std::string longer = row.empty() ? word : row + " " + word;
        if (!row.empty() && dc.textExtent(longer).width > room) {
            rows.push_back(row);
            row = word;
        } else {
            row = longer;
        }
        start = end + 1;
    }
    if (!row.empty()) rows.push_back(row);
    return rows;
}

// The text height where the blocks fit the area, and their lines wrapped
// to its width at that height.
struct Layout {
    int font = 1;
    std::vector<TextBlock> blocks;
};

Layout layOut(DrawingContext& dc, const Rect& area, const std::vector<TextBlock>& blocks, int pageFont) {
    Layout layout{std::max(1, pageFont > 0 ? pageFont : area.height() / 20), blocks};
    for (int attempt = 0; attempt < 12; ++attempt) {
        int& font = layout.font;
        const int room = area.width() - 2 * font;
        const int widest = widestRow(dc, blocks, font);
        if (widest > room && widest > 0) font = std::max(1, font * room / widest);
        selectWeight(dc, font, 400);
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            layout.blocks[i].lines.clear();
            for (const std::string& line : blocks[i].lines)
                for (const std::string& row : wrapped(dc, line, area.width() - 3 * font))
                    layout.blocks[i].lines.push_back(row);
        }
        const double rows = static_cast<double>(rowCount(layout.blocks));
        if (kPitch * font * rows <= area.height() || font == 1) break;
        font = std::max(1, std::min(font - 1, toDevice(area.height() / (kPitch * rows))));
    }
    return layout;
}

bool numeric(const std::string& cell) {
    return !cell.empty() && (std::isdigit(static_cast<unsigned char>(cell[0])) || cell[0] == '-');
}

}  // namespace

int drawTextPageTitle(DrawingContext& dc, int left, int y, int font, int pitch, const std::string& title) {
    dc.setTextColour(kLabelColour);
    replaceFontWithArial(dc, toDevice(1.2 * font));
    dc.textOut(left, y, title);
    return y + toDevice(1.6 * pitch);
}

int drawHeadingAndLines(DrawingContext& dc, int left, int y, int font, int pitch, const std::string& heading,
                        const std::vector<std::string>& lines) {
    selectWeight(dc, font, 700);
    dc.textOut(left, y, heading);
    y += pitch;
    selectWeight(dc, font, 400);
    for (const std::string& line : lines) {
        dc.textOut(left + font, y, line);
        y += pitch;
    }
    return y;
}

void drawTextBlocks(DrawingContext& dc, const Rect& area, const std::string& title,
                    const std::vector<TextBlock>& original, int pageFont) {
    const Layout layout = layOut(dc, area, original, pageFont);
    const int font = layout.font;
    const std::vector<TextBlock>& blocks = layout.blocks;
    const int pitch = toDevice(kPitch * font);
    const int left = area.left + font;
    int y = drawTextPageTitle(dc, left, area.top + font / 2, font, pitch, title);
    for (const TextBlock& b : blocks) {
        y = drawHeadingAndLines(dc, left, y, font, pitch, b.heading, b.lines);
        const std::vector<int> widths = columnWidths(dc, b, font);
        for (std::size_t r = 0; r < b.table.size(); ++r) {
            const bool marked = b.marked >= 0 && static_cast<int>(r) - 1 == b.marked;
            selectWeight(dc, font, r == 0 || marked ? 700 : 400);
            int x = left + font;
            for (std::size_t c = 0; c < b.table[r].size(); ++c) {
                const std::string& cell = b.table[r][c];
                // A column of numbers is right-aligned, its title with it.
                const bool right = b.table.size() > 1 && c < b.table[1].size() && numeric(b.table[1][c]);
                const int shift = right ? widths[c] - dc.textExtent(cell).width : 0;
                dc.textOut(x + shift, y, cell);
                x += widths[c] + font;
            }
            if (marked) dc.textOut(x, y, kMark);
            y += pitch;
        }
        y += pitch / 2;
    }
}

std::string printed(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

std::string plusMinus(const particles::Estimate& estimate, int decimals, double scale) {
    return particles::withInterval(estimate, decimals, scale, " \u00b1 ");
}

std::string withPageSigns(std::string sentence) {
    for (std::size_t at; (at = sentence.find("+-")) != std::string::npos;) sentence.replace(at, 2, "\u00b1");
    return sentence;
}

std::string tabSeparated(const std::vector<TextBlock>& blocks) {
    std::string text;
    for (const TextBlock& b : blocks) {
        if (!text.empty()) text += "\n";
        text += b.heading + "\n";
        for (const std::string& line : b.lines) text += line + "\n";
        for (const std::vector<std::string>& row : b.table) {
            for (std::size_t k = 0; k < row.size(); ++k) text += (k ? "\t" : "") + row[k];
            text += "\n";
        }
    }
    return text;
}

}  // namespace torvex::kavel
