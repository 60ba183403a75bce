// The spray pages without a window: units, scales, isotherms from the field,
// panel texts and page layouts on the recording context.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "pages/sensor_page.h"
#include "pages/spray_chart.h"
#include "pages/spray_pages.h"
#include "pages/spray_units.h"
#include "pages/tune_chart.h"
#include "particles/flight_by_class.h"
#include "platform/painter_context.h"
#include "platform/recording_context.h"
#include "tests/shell/shell_fixture.h"
#include "tests/support/temp_dir.h"

namespace torvex::kavel::test {
namespace {

using particles::JetField;
using particles::SprayOutcome;

// Remembers the smallest text height written, on a real painter's metrics.
class FontSpy : public PainterContext {
public:
    using PainterContext::PainterContext;
    void textOut(int x, int y, const std::string& text) override {
        smallest = std::min(smallest, font().height);
        PainterContext::textOut(x, y, text);
    }
    int smallest = 1000;
};

bool drewText(const RecordingContext& dc, const std::string& text) {
    for (const DrawCall& c : dc.calls())
        if (c.op == DrawOp::TextOut && c.text.find(text) != std::string::npos) return true;
    return false;
}

TEST(SprayUnits, MetricAndInchAndTheThreeTemperatureScales) {
    const SprayUnits metric = sprayUnitsOf(UnitCodes{1, 1, 1});
    EXPECT_DOUBLE_EQ(metric.distance(100), 100);
    EXPECT_DOUBLE_EQ(metric.velocity(200), 200);
    EXPECT_EQ(metric.distanceUnit() + metric.velocityUnit() + metric.temperatureUnit(), "mmm/sK");

    const SprayUnits inch = sprayUnitsOf(UnitCodes{2, 2, 2});
    EXPECT_DOUBLE_EQ(inch.distance(101.6), 4);
    EXPECT_DOUBLE_EQ(inch.millimetres(4), 101.6);
    EXPECT_NEAR(inch.velocity(304.8), 1000, 1e-9);
    // The program's offset of 273 K, as on the jet charts.
    EXPECT_DOUBLE_EQ(inch.temperatureOf(373), 212);
    EXPECT_DOUBLE_EQ(sprayUnitsOf(UnitCodes{1, 3, 1}).temperatureOf(2988), 2715);
    // Codes out of range read as metric and kelvin.
    const SprayUnits odd = sprayUnitsOf(UnitCodes{7, 9, 1});
    EXPECT_TRUE(odd.metric());
    EXPECT_EQ(odd.temperatureUnit(), "K");
}

TEST(SprayUnits, VariantUnitsComeFromTheRunThenTheCurrentFile) {
    torvex::test::TempDir dir;
    EXPECT_EQ(variantUnitCodes(dir.path()).length, 1);
    dir.write("un.dat", "1 3 1 1 \n");
    EXPECT_EQ(variantUnitCodes(dir.path()).temperature, 3);
    dir.write("unp.dat", "2 2 2 2 \n");
    const UnitCodes codes = variantUnitCodes(dir.path());
    EXPECT_EQ(codes.length, 2);
    EXPECT_EQ(codes.temperature, 2);
}

TEST(SpanScale, CoversTheRangeWithRoundStepsOnBothSides) {
    const AxisScale s = spanScale(-23.4, 23.4, 6);
    EXPECT_DOUBLE_EQ(s.step, 10);
    EXPECT_DOUBLE_EQ(scaleLow(s), -30);
    EXPECT_DOUBLE_EQ(scaleHigh(s), 30);
    EXPECT_EQ(s.ticks.size(), static_cast<std::size_t>(s.intervals) + 1);
    EXPECT_EQ(s.ticks[3], 0.0);  // exactly zero, not -1e-15

    const AxisScale t = spanScale(300, 3112, 5);
    EXPECT_DOUBLE_EQ(t.step, 1000);
    EXPECT_LE(scaleLow(t), 300);
    EXPECT_GE(scaleHigh(t), 3112);
    // A single value still gets a range around it.
    const AxisScale one = spanScale(5, 5, 4);
    EXPECT_LT(scaleLow(one), 5);
    EXPECT_GT(scaleHigh(one), 5);
}

// A field whose temperature falls linearly from the axis value at r = 0 to
// 300 K at r = 10 mm, the axis value falling by 100 K per cross-section.
JetField linearField(int records, double axisK) {
    JetField f;
    f.recordCount = records;
    f.temperature.assign(static_cast<std::size_t>(records) * particles::kFieldRadii, 300.0f);
    f.axialVelocity.assign(f.temperature.size(), 0.0f);
    f.radialVelocity.assign(f.temperature.size(), 0.0f);
    for (int k = 0; k < records; ++k) {
        const double axis = axisK - 100.0 * k;
        for (int j = 0; j < particles::kFieldRadii; ++j) {
            const double r = j * particles::kFieldRadiusStepMm;
            f.temperature[static_cast<std::size_t>(k) * particles::kFieldRadii + j] =
                static_cast<float>(r < 10 ? axis + (300 - axis) * r / 10 : 300);
        }
    }
    return f;
}

TEST(Isotherms, OutermostRadiusInterpolatedAndClosedOnTheAxis) {
    const JetField f = linearField(10, 2300);
    const IsothermLine line = isothermOf(f, 1300);
    // Axis 2300, 2200, ..., 1400: every record reaches the level, and with no
    // record beyond the last the line ends open there.
    ASSERT_EQ(line.distanceMm.size(), 10u);
    // Record 0: T = 2300 - 200 r, so 1300 K at r = 5 mm.
    EXPECT_NEAR(line.radiusMm[0], 5.0, 1e-4);
    EXPECT_NEAR(line.radiusMm[5], 10 * (1800.0 - 1300) / (1800 - 300), 1e-4);
    // Where the axis falls below the level (1400 K at record 9, 1300 K at
    // record 10) the line closes on the axis, between the two.
    const JetField longer = linearField(20, 2300);
    const IsothermLine closed = isothermOf(longer, 1350);
    EXPECT_EQ(closed.radiusMm.back(), 0.0);
    const double z9 = particles::fieldRecordDistanceMm(9), z10 = particles::fieldRecordDistanceMm(10);
    EXPECT_NEAR(closed.distanceMm.back(), z9 + 0.5 * (z10 - z9), 1e-9);
    EXPECT_TRUE(isothermOf(longer, 5000).distanceMm.empty());
}

TEST(Isotherms, LevelsAreRoundInTheShownUnit) {
    EXPECT_DOUBLE_EQ(isothermLevelsK(sprayUnitsOf({1, 1, 1}))[0], 2000);
    EXPECT_DOUBLE_EQ(isothermLevelsK(sprayUnitsOf({1, 3, 1}))[4], 10273);
    EXPECT_NEAR(sprayUnitsOf({1, 2, 1}).temperatureOf(isothermLevelsK(sprayUnitsOf({1, 2, 1}))[1]), 4000,
                1e-9);
}

// An outcome with the three size classes flying straight along the axis at
// 100 m/s and heating up, all arriving.
SprayOutcome straightFlight() {
    SprayOutcome o;
    o.standoffMm = 100;
    o.fieldEndMm = 200;
    o.material.name = "Alumina";
    o.material.meltingPoint = 2327;
    const double sizes[3] = {20, 40, 70};
    const char* labels[3] = {"d10", "d50", "d90"};
    for (int c = 0; c < 3; ++c) {
        particles::Trajectory t;
        t.label = labels[c];
        t.diameterUm = sizes[c];
        for (int z = 2; z <= 120; ++z) {
            particles::ParticleState s;
            s.axialMm = z;
            s.radialMm = 8.0 - z * 0.1 * (c + 1);
            s.velocity = 100;
            s.surfaceTemperature = 300 + 20 * z;
            s.moltenFraction = std::min(1.0, z / 100.0);
            t.samples.push_back(s);
        }
        o.trajectories.push_back(t);
    }
    for (int i = 0; i < 30; ++i) {
        particles::ParticleResult p;
        p.index = i;
        p.diameterUm = 20 + i;
        p.initialMassKg = 1e-12;
        p.final.axialMm = 100;
        p.final.velocity = 80 + i;
        p.final.surfaceTemperature = 2000 + 20 * i;
        p.final.meanTemperature = 1900 + 20 * i;
        p.final.moltenFraction = i / 29.0;
        p.final.massFraction = 1;
        o.particles.push_back(p);
    }
    return o;
}

TEST(SprayPages, EveryViewPaintsAndSaysWhatIsMissing) {
    const JetField field = linearField(136, 12000);
    SprayPageInputs in;
    const Rect page{0, 0, 1000, 700};
    for (int view : {kViewAll, kViewTrajectories, kViewFlight, kViewSubstrate, kViewSensor, kViewClassFlight}) {
        RecordingContext dc;
        EXPECT_TRUE(drawSprayPage(dc, view, page, in)) << view;
        EXPECT_TRUE(drewText(dc, "Parameters")) << view;
        EXPECT_FALSE(viewCaption(view).empty());
    }
    RecordingContext none;
    EXPECT_FALSE(drawSprayPage(none, kViewNothing, page, in));
    EXPECT_FALSE(drawSprayPage(none, 8, page, in));
    EXPECT_TRUE(none.calls().empty());

    RecordingContext noField;
    drawSprayPage(noField, kViewTrajectories, page, in);
    EXPECT_TRUE(drewText(noField, "No jet field (ftu.res) in this folder"));
    in.field = &field;
    RecordingContext noRun;
    drawSprayPage(noRun, kViewFlight, page, in);
    EXPECT_TRUE(drewText(noRun, "No spray run yet"));
    EXPECT_TRUE(drewText(noRun, "no calculated variant"));
    RecordingContext noScan;
    EXPECT_TRUE(drawSprayPage(noScan, kViewTune, page, in));
    EXPECT_TRUE(drewText(noScan, "No tuning scan yet"));
}

TEST(SprayPages, SensorPageAndTunePageWriteTheirNumbers) {
    SprayOutcome outcome = straightFlight();
    outcome.standoffMm = 100;
    outcome.particles[3].status = particles::ParticleStatus::MissedSide;
    SprayPageInputs in;
    in.outcome = &outcome;
    in.options.sizeClasses = 5;
    RecordingContext dc;
    ASSERT_TRUE(drawSprayPage(dc, kViewSensor, Rect{0, 0, 1000, 700}, in));
    for (const char* text : {"In-flight sensor at 100 mm", "Particles crossing it: ", "Deviation from the torch axis",
                             "lost 1 beside the substrate, 0 upstream", "evaporated %", "drag: film-temperature", "Parameters"})
        EXPECT_TRUE(drewText(dc, text)) << text;
    EXPECT_FALSE(drewText(dc, "\u2190 chosen"));  // no row of the size classes is chosen
    const std::vector<TextBlock> blocks = sensorBlocks(in);
    ASSERT_EQ(blocks[2].table.size(), 6u);  // the titles and five classes
    EXPECT_EQ(blocks[2].table[0][4], "velocity, m/s");
    EXPECT_EQ(blocks[4].heading, "Material data");
    // The size classes along the flight: a trajectory counts in the class of
    // its initial diameter, one beyond the largest particle in the last.
    const std::vector<particles::ClassFlight> flights = particles::flightBySizeClass(outcome, 5);
    ASSERT_EQ(flights.size(), 5u);
    EXPECT_EQ((std::vector<int>{flights[0].trajectories, flights[1].trajectories, flights[3].trajectories,
                                flights[4].trajectories}),
              (std::vector<int>{1, 0, 1, 1}));
    EXPECT_TRUE(flights[1].distanceMm.empty());
    EXPECT_EQ(flights[0].distanceMm[48], 50);
    EXPECT_DOUBLE_EQ(flights[0].surfaceTemperature[48], 1300);
    EXPECT_DOUBLE_EQ(flights[0].moltenShare[48], 0.5);

    particles::TuneOptions tune;
    tune.from = 1, tune.to = 3, tune.steps = 3;
    particles::TuneOutcome scan;
    for (int k = 0; k < 3; ++k) scan.steps.push_back({1.0 + k, {1.5 * k}, {0.5}, {0.9 - 0.05 * k}, {100}, {3000}, 10});
    scan.chosen = 1;
    // Under 90 % of the mass arriving: a "*" on each curve, as in the table.
    const auto tuned3 = tuneCharts(tune, scan)[1];
    ASSERT_EQ(tuned3.lines[2].tag, "*");
    EXPECT_EQ(tuned3.lines[2].x, std::vector<double>{2});
    EXPECT_DOUBLE_EQ(tuned3.lines[2].y[0], 85);
    EXPECT_EQ(tuneBlocks(tune, scan)[1].table[3][3], "80.0*");
    // A step the intervals cannot tell from the chosen one is marked and named.
    scan.steps[2].deviationDeg.halfWidth95 = 0.4;
    scan.indistinct = {2};
    EXPECT_EQ(tuneBlocks(tune, scan)[1].table[3][0], "3.00 \u2248");
    EXPECT_EQ(tuneBlocks(tune, scan)[1].table[3][1], "3.00 \u00b1 0.40");
    EXPECT_NE(tuneBlocks(tune, scan)[0].lines.back().find("cannot be told apart"), std::string::npos);
    in.tune = &scan;
    in.tuneOptions = tune;
    RecordingContext tuned;
    ASSERT_TRUE(drawSprayPage(tuned, kViewTune, Rect{0, 0, 1000, 700}, in));
    EXPECT_TRUE(drewText(tuned, "Particle Jet Deviation"));
    EXPECT_TRUE(drewText(tuned, "chosen: 2.00 SLPM (deviation 1.50"));
    EXPECT_TRUE(drewText(tuned, "\u2190 chosen"));
    EXPECT_EQ(tuneBlocks(tune, scan)[1].marked, 1);
    EXPECT_EQ(viewCharts(kViewTune, in).size(), 4u);
    particles::SprayOptions fixed;
    fixed.injection.speedFrom = particles::InjectionSpeed::Fixed;
    EXPECT_EQ(withChosenSetting(fixed, tune, scan).injection.speedFrom, particles::InjectionSpeed::CarrierGas);
    EXPECT_EQ(withChosenSetting(fixed, tune, scan).injection.carrierFlowSlpm, 2);
}

TEST(SprayPages, RunShowsItsSizeClassesAndTheSubstrateInTheVariantsUnits) {
    const JetField field = linearField(136, 12000);
    SprayOutcome outcome = straightFlight();
    outcome.standoffMm = 101.6;
    SprayPageInputs in;
    in.units = sprayUnitsOf(UnitCodes{2, 3, 2});
    in.field = &field;
    in.outcome = &outcome;
    in.options.standoffMm = 101.6;

    const SprayChart trajectories = trajectoryChart(in);
    EXPECT_EQ(trajectories.xTitle, "Distance from the nozzle exit, in");
    EXPECT_DOUBLE_EQ(scaleHigh(trajectories.x), 4);
    // Only the path up to the standoff, in inches.
    const ChartLine& d90 = trajectories.lines[trajectories.lines.size() - 2];
    EXPECT_EQ(d90.pen.colour, (Rgb{255, 0, 0}));
    EXPECT_LE(d90.x.back(), 4.0 + 1e-12);
    EXPECT_NEAR(d90.y.front(), (8.0 - 0.6) / 25.4, 1e-12);

    const auto flight = flightCharts(in);
    EXPECT_EQ(flight[0].yTitle, "Velocity, ft/s");
    EXPECT_NEAR(flight[0].lines[0].y[0], 100 / 0.3048, 1e-9);
    EXPECT_EQ(flight[1].legend.back().label, "melting point 2054 \u00b0C");
    EXPECT_NEAR(flight[1].lines.back().y[0], 2327 - 273, 1e-9);

    const auto substrate = substrateCharts(in);
    double share = 0;
    for (const ChartBar& b : substrate[0].bars) share += b.height;
    EXPECT_NEAR(share, 100, 1e-9);  // every arrived particle counted once
    EXPECT_GE(substrate[0].bars.front().x0, scaleLow(substrate[0].x));
    EXPECT_LE(substrate[0].bars.back().x1, scaleHigh(substrate[0].x));
    EXPECT_EQ(substrate[2].legend.size(), 2u);
    EXPECT_EQ(substrate[2].emptyNote, "");
    // Fully molten particles sit in the last bin, and the axis ends at 1.
    EXPECT_DOUBLE_EQ(scaleHigh(substrate[2].x), 1);
    EXPECT_DOUBLE_EQ(substrate[2].bars.back().x1, 1);
    share = 0;
    for (const ChartBar& b : substrate[2].bars) share += b.height;
    EXPECT_NEAR(share, 100, 1e-9);

    in.variant.gas = "Plasma gas: Ar + H   (15 %)";
    in.variant.gasSubscriptAfter = "Plasma gas: Ar + H";
    const std::vector<PanelSection> panel = panelSections(in);
    ASSERT_EQ(panel.size(), 3u);
    EXPECT_EQ(panel[0].lines[0], "Plasma gas: Ar + H2 (15 %)");
    EXPECT_EQ(panel[1].lines[3], "Injector: 0.0787 in downstream, 0.315 in from the axis");
    in.variant.gas = in.variant.gasSubscriptAfter = "Plasma gas: N";
    EXPECT_EQ(panelSections(in)[0].lines[0], "Plasma gas: N2");
    EXPECT_EQ(panel[1].lines[0], "Material: Alumina");
    EXPECT_EQ(panel[1].lines[5], "Standoff: 4 in, substrate radius 1.97 in");
    EXPECT_EQ(panel[2].lines[0], "Arrived: 30 of 30");
    EXPECT_EQ(panel[2].lines[1], "(mean \u00b1 standard deviation by number)");
    EXPECT_NE(panel[1].lines[4].find(", spread 20 % either way"), std::string::npos);
    // Every line of the trajectory chart in the legend; the isotherms in a
    // family of their own, labelled with their levels on the curves.
    std::vector<std::string> legend;
    for (const LegendEntry& e : trajectories.legend) legend.push_back(e.label);
    EXPECT_EQ(legend,
              (std::vector<std::string>{"isotherms: 2 kC", "4 kC", "6 kC", "8 kC", "10 kC", "d10 20 \u00b5m",
                                        "d50 40 \u00b5m", "d90 70 \u00b5m", "substrate at 4 in, 1.97 in radius"}));
    for (std::size_t i = 0; i < 5; ++i)
        for (std::size_t j = 5; j < 8; ++j)
            EXPECT_NE(trajectories.legend[i].pen.colour, trajectories.legend[j].pen.colour);
    EXPECT_EQ(trajectories.lines[0].tag, "2 kC");
    // With nothing molten there is no deposit to place.
    SprayOutcome solid = outcome;
    for (particles::ParticleResult& p : solid.particles) p.final.moltenFraction = 0;
    in.outcome = &solid;
    EXPECT_EQ(panelSections(in)[2].lines[6], "Deposition spot: none, no particle arrives molten");
    in.outcome = &outcome;

    RecordingContext dc;
    drawSprayPage(dc, kViewAll, Rect{0, 0, 1000, 700}, in);
    EXPECT_TRUE(drewText(dc, "d50 40 \u00b5m"));
    EXPECT_TRUE(drewText(dc, "6 kC"));
    // The texts of the small charts and the panel as large as those of the
    // jet's pages on a window of a 1024 x 768 screen (page 920 x 640).
    torvex::test::testApplication();
    QImage image(920, 640, QImage::Format_RGB32);
    QPainter painter(&image);
    FontSpy small(&painter);
    drawSprayPage(small, kViewAll, Rect{0, 0, 920, 640}, in);
    EXPECT_GE(small.smallest, 12);
    // The exported data of a page: the bins of a histogram, the points of each curve.
    EXPECT_EQ(
        sprayChartCsv(substrate[2])
            .rfind("Molten fraction from,Molten fraction to,share by number [%],share by mass [%]\n", 0),
        0u);
    EXPECT_NE(sprayChartCsv(trajectories).find("\nd50 40 \u00b5m,"), std::string::npos);
    EXPECT_EQ(viewCharts(kViewAll, in).size(), 4u);
}

TEST(SprayChartLayout, PlotStaysInsideItsAreaAndMakesRoomForTheLegend) {
    SprayChart chart;
    chart.x = spanScale(0, 100, 8);
    chart.y = spanScale(0, 1, 5);
    for (const Rect area : {Rect{0, 0, 1000, 700}, Rect{50, 20, 250, 400}, Rect{0, 0, 4000, 2700}}) {
        RecordingContext dc;
        const SprayChartLayout bare = sprayChartLayout(dc, area, chart);
        EXPECT_GT(bare.plot.left, area.left);
        EXPECT_LT(bare.plot.right, area.right);
        EXPECT_GT(bare.plot.top, area.top);
        EXPECT_LT(bare.plot.bottom, area.bottom);
        SprayChart withLegend = chart;
        for (const char* label : {"d10 20 \u00b5m", "d50 40 \u00b5m", "d90 70 \u00b5m", "melting point"})
            withLegend.legend.push_back({label, Pen{}});
        const SprayChartLayout legend = sprayChartLayout(dc, area, withLegend);
        EXPECT_GT(legend.plot.top, bare.plot.top);
        EXPECT_EQ(legend.plot.bottom, bare.plot.bottom);
    }
    // A narrow chart of a long flight labels every other tick rather than
    // running the labels into each other; a wide one labels them all.
    chart.x = spanScale(0, 160, 8);
    chart.xFormat = "%g";
    for (const int width : {120, 1000}) {
        RecordingContext dc;
        drawSprayChart(dc, Rect{0, 0, width, 300}, chart);
        const std::vector<std::string> texts = dc.textsDrawn();
        const auto drew = [&texts](const char* label) { return std::count(texts.begin(), texts.end(), label) > 0; };
        EXPECT_EQ(drew("20"), width == 1000) << width;
        EXPECT_TRUE(drew("40") && drew("160")) << width;
    }
}

}  // namespace
}  // namespace torvex::kavel::test
