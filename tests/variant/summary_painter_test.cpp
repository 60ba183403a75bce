#include "platform/recording_context.h"
#include "tests/support/temp_dir.h"
#include "variant/summary_painter.h"
#include "pages/variant_summary.h"

#include <gtest/gtest.h>

namespace torvex {
namespace {

const Rgb kRed{255, 0, 0};
const Rgb kBlack{0, 0, 0};

VariantInputs inputs(int gas, double d, double l, double i, double g) {
    VariantInputs in;
    in.gasCode = gas;
    in.diameter = d;
    in.length = l;
    in.current = i;
    in.flow = g;
    return in;
}

UnitCodes units(int length, int flow) {
    UnitCodes u;
    u.length = length;
    u.flow = flow;
    return u;
}

void expectText(const RecordingContext& dc, const std::string& text, int x, int y, int height, Rgb colour) {
    const DrawCall call = dc.findText(text);
    ASSERT_EQ(call.text, text) << "not drawn";
    EXPECT_EQ(call.points.front(), (Point{x, y})) << text;
    EXPECT_EQ(call.font.height, height) << text;
    EXPECT_EQ(call.font.face, "Arial") << text;
    EXPECT_EQ(call.font.weight, 400) << text;
    EXPECT_EQ(call.textColour, colour) << text;
    EXPECT_EQ(call.backgroundMode, BackgroundMode::Opaque) << text;
    EXPECT_EQ(call.backgroundColour, (Rgb{194, 194, 194})) << text;
}

TEST(SummaryBlock, RunDialogBeforeTheRun) {
    test::TempDir dir;
    RecordingContext dc;
    drawVariantSummary(dc, runDialogSummary(inputs(1, 8.0, 14, 500, 35), units(1, 1), false, dir.file("iop.par")));
    expectText(dc, "Input data:", 450, 60, 24, kRed);
    expectText(dc, "Plasma gas: Ar", 450, 100, 18, kBlack);
    expectText(dc, "Anode diameter: 8.0 mm", 450, 130, 18, kBlack);
    expectText(dc, "Anode length: 14 mm", 450, 160, 18, kBlack);
    expectText(dc, "Arc current: 500 A", 450, 190, 18, kBlack);
    expectText(dc, "Gas flow rate: 35 SLPM", 450, 220, 18, kBlack);
    EXPECT_EQ(dc.textsDrawn().size(), 6u);  // no calculated section, no subscript
}

// Hydrogen mixture with the calculated section: the lowered "2" goes three
// units after "Plasma gas: Ar + H" (18 glyphs of 9 units) and half a line down.
TEST(SummaryBlock, CalculatedSectionAndSubscript) {
    test::TempDir dir;
    dir.write("iop.par", " 7  0.30  0.55  700  70 12.4\n 48.2  33.7 57\n");
    RecordingContext dc;
    drawVariantSummary(dc, runDialogSummary(inputs(7, 0.30, 0.55, 700, 70), units(2, 2), true, dir.file("iop.par")));
    expectText(dc, "Plasma gas: Ar + H   (15 %)", 450, 100, 18, kBlack);
    const DrawCall two = dc.findText("2");
    EXPECT_EQ(two.points.front(), (Point{450 + 162 + 3, 100 + 9}));
    EXPECT_EQ(two.font.height, 14);
    expectText(dc, "Anode diameter: 0.30 in", 450, 130, 18, kBlack);
    expectText(dc, "Gas flow rate: 70 SCFH", 450, 220, 18, kBlack);
    expectText(dc, "Calculated data:", 450, 280, 24, kRed);
    expectText(dc, "Arc voltage: 48.2 V", 450, 320, 18, kBlack);
    expectText(dc, "Electric power: 33.7 kW", 450, 350, 18, kBlack);
    expectText(dc, "Plasmatron efficiency: 57 %", 450, 380, 18, kBlack);
}

TEST(SummaryBlock, AsterisksShownOnTheirLineOnly) {
    test::TempDir dir;
    dir.write("iop.par", " 2  9.00 24.00  500  80 10.0\n*****  99.5 **\n");
    RecordingContext dc;
    drawVariantSummary(dc, previousVariantSummary(dir.file("iop.par"), true, units(1, 1)));
    expectText(dc, "Plasma gas: N", 450, 100, 18, kBlack);
    expectText(dc, "Anode diameter: 9.0 mm", 450, 130, 18, kBlack);
    expectText(dc, "Arc voltage: ***** V", 450, 320, 18, kBlack);
    expectText(dc, "Electric power: 99.5 kW", 450, 350, 18, kBlack);
    expectText(dc, "Plasmatron efficiency: ** %", 450, 380, 18, kBlack);
}

TEST(SummaryBlock, PreviousVariantWithMissingFiles) {
    test::TempDir dir;
    RecordingContext none;
    drawVariantSummary(none, previousVariantSummary(dir.file("iop.par"), true, units(1, 1)));
    EXPECT_EQ(none.textsDrawn(), (std::vector<std::string>{"No variant has been calculated yet."}));

    // iop.par without unp.dat: the unit-free calculated data only.
    dir.write("iop.par", " 1  8.00 14.00  500  35  4.2\n 30.1   15.1 41\n");
    RecordingContext noUnits;
    drawVariantSummary(noUnits, previousVariantSummary(dir.file("iop.par"), false, units(1, 1)));
    EXPECT_EQ(noUnits.findText("Input data:").text, "");
    expectText(noUnits, "Arc voltage: 30.1 V", 450, 320, 18, kBlack);

    // A truncated iop.par is no variant at all.
    dir.write("iop.par", " 1  8.00 14.00  500");
    RecordingContext truncated;
    drawVariantSummary(truncated, previousVariantSummary(dir.file("iop.par"), true, units(1, 1)));
    EXPECT_EQ(truncated.textsDrawn().size(), 1u);
}

TEST(SummaryBlock, UnknownGasLeavesTheGasLineEmpty) {
    test::TempDir dir;
    RecordingContext dc;
    drawVariantSummary(dc, runDialogSummary(inputs(3, 8.0, 14, 500, 35), units(1, 1), false, dir.file("iop.par")));
    EXPECT_EQ(dc.findText("Anode diameter: 8.0 mm").points.front(), (Point{450, 130}));
    for (const std::string& text : dc.textsDrawn()) EXPECT_EQ(text.find("Plasma gas"), std::string::npos);
}

} // namespace
} // namespace torvex
