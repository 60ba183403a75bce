// The main window's chart views: the parameters read from iop.par, the page
// painted for each view, and a printed view as one page titled after the page and the variant.
#include "shell/chart_view.h"

#include <QPrinter>
#include <filesystem>
#include <regex>

#include "platform/recording_context.h"
#include "pages/variant_summary.h"
#include "tests/shell/shell_fixture.h"

namespace torvex {
namespace {

using test::TempDir;

IntegralParameters nitrogenVariant() {
    IntegralParameters p;
    p.gasCode = 2;
    p.diameter = 8;
    p.length = 14;
    p.current = 500;
    p.flow = 35;
    p.massFlowFigure = 1.2;
    p.arcVoltage = 41.5;
    p.arcPower = 20.8;
    p.efficiencyPercent = 61;
    return p;
}

TEST(ChartView, ParameterTextsAreTheSummaryLinesOfIopPar) {
    TempDir dir;
    EXPECT_TRUE(readParameterTexts(dir.file("iop.par"), UnitCodes{}).gas.empty());

    ASSERT_TRUE(writeIntegralParameters(dir.file("iop.par"), nitrogenVariant()));
    const ParameterTexts texts = readParameterTexts(dir.file("iop.par"), UnitCodes{1, 1, 2});
    EXPECT_EQ(texts.gas, "Plasma gas: N");
    EXPECT_EQ(texts.gasSubscriptAfter, "Plasma gas: N");
    EXPECT_EQ(texts.lines[0], "Anode diameter: 8.0 mm");
    EXPECT_EQ(texts.lines[3], "Gas flow rate: 35 SCFH");
    EXPECT_EQ(texts.lines[6], "Plasmatron efficiency: 61 %");

    // A voltage too wide for its field is shown as the file holds it.
    dir.write("iop.par", " 1  8.00 14.00  500  35  1.2\n***** 13.5 53\n");
    EXPECT_EQ(readParameterTexts(dir.file("iop.par"), UnitCodes{}).lines[4], "Arc voltage: ***** V");
    // A damaged file shows no lines rather than wrong ones.
    dir.write("iop.par", " 1  8.0");
    const ParameterTexts damaged = readParameterTexts(dir.file("iop.par"), UnitCodes{});
    EXPECT_TRUE(damaged.gas.empty());
    EXPECT_TRUE(damaged.lines[0].empty());
}

// The panel says when iop.par could not hold a value, instead of "0 mm",
// and shows nothing for an iop.par that is a device or a damaged number.
TEST(ChartView, AsterisksAreNotRepresentableAndAnUnreadableIopParShowsNothing) {
    TempDir dir;
    dir.write("iop.par", " 1 ***** *****  500  35  2.0\n 27.1  13.5 53\n");
    const ParameterTexts texts = readParameterTexts(dir.file("iop.par"), UnitCodes{});
    EXPECT_EQ(texts.lines[0], "Anode diameter: not representable");
    EXPECT_EQ(texts.lines[1], "Anode length: not representable");
    EXPECT_EQ(texts.lines[2], "Arc current: 500 A");
    EXPECT_EQ(previousVariantSummary(dir.file("iop.par"), true, UnitCodes{}).hasInputs, true);

    for (const char* damaged : {"1e300  8.00 14.00  500  35  2.0\n 27.1  13.5 53\n",
                                " 1  8.00 14.00 1e300  35  2.0\n 27.1  13.5 53\n"}) {
        dir.write("iop.par", damaged);
        EXPECT_TRUE(readParameterTexts(dir.file("iop.par"), UnitCodes{}).lines[0].empty()) << damaged;
    }
    std::filesystem::remove(dir.file("iop.par"));
    std::filesystem::create_symlink("/dev/zero", dir.file("iop.par"));
    EXPECT_TRUE(readParameterTexts(dir.file("iop.par"), UnitCodes{}).gas.empty());
    EXPECT_FALSE(previousVariantSummary(dir.file("iop.par"), true, UnitCodes{}).hasCalculated);
}

TEST(ChartView, EachViewPaintsItsPageAndViewZeroNothing) {
    TempDir dir;
    ASSERT_TRUE(writeIntegralParameters(dir.file("iop.par"), nitrogenVariant()));
    RecordingContext dc;
    paintCurrentView(dc, 0, UnitCodes{}, ViewArea{0, 0, 1000, 700}, dir.path());
    EXPECT_TRUE(dc.calls().empty());

    paintCurrentView(dc, 5, UnitCodes{}, ViewArea{0, 0, 1000, 700}, dir.path());
    EXPECT_FALSE(dc.findText("Axial Distributions").text.empty());
    EXPECT_FALSE(dc.findText("Arc voltage: 41.5 V").text.empty());
    // Painted in the state the paint handler sets, which is restored after.
    EXPECT_EQ(dc.calls().front().op, DrawOp::SaveState);
    EXPECT_EQ(dc.calls().back().op, DrawOp::RestoreState);
}

TEST(ChartView, APrintedViewIsOnePageTitledAfterPageAndVariant) {
    test::testApplication();
    TempDir dir;
    ASSERT_TRUE(writeIntegralParameters(dir.file("iop.par"), nitrogenVariant()));
    dir.write("ztu0.res", "   0.0  13.20  1500.00\n  50.0   6.00   500.00\n");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.file("printed.pdf")));
    std::filesystem::create_symlink(dir.file("made.pdf"), dir.file("printed.pdf"));  // replaced, no target made
    ASSERT_TRUE(printViewOn(printer, 1, UnitCodes{}, dir.path()));
    EXPECT_FALSE(dir.exists("made.pdf"));
    dir.write("unp.dat", "1 1 1 1 \n");
    // The formula keeps its subscript: "N₂", not "N".
    EXPECT_EQ(viewDocumentTitle(3, dir.path()),
              "TORVEX Radial Distributions \u2014 N\u2082, 8.0 mm, 14 mm, 500 A, 35 SLPM");
    EXPECT_EQ(printer.docName().toStdString(), "TORVEX All Charts \u2014 41.5 V, 20.8 kW, 61 %");

    const std::string pdf = dir.read("printed.pdf");
    ASSERT_EQ(pdf.substr(0, 5), "%PDF-");
    const std::regex page("/Type\\s*/Page[^s]");
    EXPECT_EQ(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()), 1);
}

}  // namespace
}  // namespace torvex
