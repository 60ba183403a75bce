// "Charts > Export..." writes the view in four formats, and the status bar
// reads the position and value under the pointer back from the plots the
// charts painted.
#include <QAction>
#include <QImage>
#include <QStatusBar>
#include <filesystem>

#include "platform/page_export.h"
#include "platform/recording_context.h"
#include "pages/jet_pages.h"
#include "shell/export_view.h"
#include "shell/main_window.h"
#include "shell/value_readout.h"
#include "solver/solver.h"
#include "tests/shell/shell_fixture.h"

namespace torvex {
namespace {

// A recording context that also keeps the charts' notes of their plots.
class NoteRecorder : public RecordingContext {
public:
    void notePlot(const PlotNote& note) override { notes.push_back(note); }
    std::vector<PlotNote> notes;
};

PlotNote note(const char* yName, const char* yUnit, double yMax, double yFactor) {
    PlotNote n;
    n.plot = Rect{100, 50, 300, 250};
    n.xMax = 10;
    n.yMax = yMax;
    n.xName = "distance";
    n.xUnit = "cm";
    n.yName = yName;
    n.yUnit = yUnit;
    n.yFactor = yFactor;
    return n;
}

TEST(ValueReadout, PointerPositionInTheChartsUnits) {
    PlotReadout readout;
    EXPECT_EQ(readout.textAt(200, 150), "");
    readout.add(note("temperature", "kK", 20, 1));
    EXPECT_EQ(readout.textAt(200, 150), "Distance 5.0 cm, temperature 10.0 kK");
    EXPECT_EQ(readout.textAt(100, 250), "Distance 0.0 cm, temperature 0.0 kK");
    EXPECT_EQ(readout.textAt(99, 150), "");
    // A velocity axis counted in 100 m/s reads in m/s.
    readout.add(note("velocity", "m/s", 8, 100));
    EXPECT_EQ(readout.textAt(200, 50), "Distance 5.0 cm, velocity 800 m/s");
    EXPECT_EQ(readoutNumber(-0.0001, 2), "0.00");  // no "-0.00"

    // Over curves, the curves' values at the pointer's abscissa, whatever the
    // pointer's height, each with a marker on its curve; where no curve
    // reaches the abscissa, the pointer's position again.
    PlotNote curves = note("temperature", "kK", 20, 1);
    curves.curves = {PlotCurve{"", {0, 4, 6}, {14, 6, 2}, {255, 0, 0}}};
    readout.add(curves);
    for (int y : {60, 150, 240}) EXPECT_EQ(readout.textAt(200, y), "Distance 5.0 cm: temperature 4.0 kK") << y;
    const Readout r = readout.readAt(200, 60);
    ASSERT_EQ(r.markers.size(), 1u);
    EXPECT_EQ(r.markers[0].at.x, 200);
    EXPECT_EQ(r.markers[0].at.y, 210);  // 4 kK of 20 over 200 pixels, up from 250
    EXPECT_EQ(readout.textAt(280, 150), "Distance 9.0 cm, temperature 10.0 kK");
    EXPECT_TRUE(readout.readAt(280, 150).markers.empty());
    curves.curves.push_back(PlotCurve{"at 0.5 cm", {0, 10}, {10, 0}, {0, 0, 255}});
    curves.curves.front().label = "at 0.0 cm";
    readout.add(curves);
    EXPECT_EQ(readout.textAt(200, 60), "Distance 5.0 cm: temperature 4.0 kK at 0.0 cm, 5.0 kK at 0.5 cm");
}

TEST(ValueReadout, EveryChartTellsItsPlotsInItsUnits) {
    test::TempDir dir;
    dir.write("ztu0.res", "   0.0  13.20  1500.00\n  50.0   6.00   500.00\n");
    NoteRecorder axial;
    paintCurrentView(axial, kViewAxial, UnitCodes{1, 3, 1}, ViewArea{0, 0, 1000, 700}, dir.path());
    ASSERT_EQ(axial.notes.size(), 2u);
    EXPECT_EQ(axial.notes[0].yName, "temperature");
    EXPECT_EQ(axial.notes[0].yUnit, "kC");
    EXPECT_EQ(axial.notes[1].yUnit, "m/s");
    EXPECT_DOUBLE_EQ(axial.notes[1].yFactor, 100);
    EXPECT_GE(axial.notes[0].yMax, 12.9);
    EXPECT_GE(axial.notes[0].xMax, 5.0);  // cm
    NoteRecorder all;
    paintCurrentView(all, kViewAllCharts, UnitCodes{2, 1, 1}, ViewArea{0, 0, 1000, 700}, dir.path());
    ASSERT_EQ(all.notes.size(), 5u);
    EXPECT_EQ(all.notes[0].xName + all.notes[0].xUnit + all.notes[0].yName + all.notes[0].yUnit,
              "distanceinradiusin");
    EXPECT_EQ(all.notes[1].xName + all.notes[1].yName + all.notes[1].yUnit, "radiustemperaturekK");
    EXPECT_EQ(all.notes[2].yName + all.notes[2].yUnit, "velocityft/s");
}

class ExportView : public test::InTempDir {
protected:
    void SetUp() override {
        writeUnitCodes("un.dat", UnitCodes{});
        writeInputParameters("ip.dat", VariantInputs{1, 8, 14, 500, 35});
        ASSERT_EQ(runSolver(dir.path(), nullptr).result, RunResult::Completed);
    }
    bool exportAs(const std::string& name, int view, QString* why = nullptr) {
        return exportViewTo(QString::fromStdString(dir.file(name)), view, UnitCodes{}, 900, 600, dir.path(),
                            why);
    }
};

TEST_F(ExportView, PngPdfSvgAndCsvOfTheCurrentView) {
    // A link at a name, to a file outside or dangling, is replaced.
    test::TempDir outside;
    outside.write("kept.txt", "kept\n");
    for (const char* name : {"view.png", "view.pdf", "view.svg", "all-radial.csv"})
        std::filesystem::create_symlink(outside.file(name[5] == 'p' ? "kept.txt" : "made"), dir.file(name));
    ASSERT_TRUE(exportAs("view.png", kViewRadial));
    EXPECT_EQ(dir.read("view.png").substr(1, 3), "PNG");
    ASSERT_TRUE(exportAs("view.pdf", kViewAllCharts));
    EXPECT_EQ(dir.read("view.pdf").substr(0, 5), "%PDF-");
    ASSERT_TRUE(exportAs("view.svg", kViewIsotherms));
    const std::string svg = dir.read("view.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("Isothermal"), std::string::npos);
    ASSERT_TRUE(exportAs("axial.csv", kViewAxial));
    EXPECT_EQ(dir.read("axial.csv").rfind("distance [mm],T_axis [K],u_axis [m/s]\n0.0,", 0), 0u);
    // All Charts: one plain table per file; isotherms not reached are empty cells.
    ASSERT_TRUE(exportAs("all.csv", kViewAllCharts));
    EXPECT_FALSE(dir.exists("all.csv"));
    const std::string isotherms = dir.read("all-isotherms.csv");
    EXPECT_EQ(isotherms.rfind("distance [mm],r_2000K [mm]", 0), 0u);
    EXPECT_NE(isotherms.find(",,\n"), std::string::npos);
    EXPECT_EQ(isotherms.find(",0.000"), std::string::npos);
    EXPECT_EQ(dir.read("all-radial.csv").rfind("distance [mm],radius [mm],T [K],u [m/s]\n", 0), 0u);
    EXPECT_EQ(dir.read("all-axial.csv").rfind("distance [mm],T_axis [K]", 0), 0u);
    // A PNG at 300 dpi: the view's layout with 300/96 times the pixels.
    ASSERT_TRUE(exportViewTo(QString::fromStdString(dir.file("big.png")), kViewAxial, UnitCodes{}, 900, 600,
                             dir.path(), nullptr, 300));
    EXPECT_EQ(QImage(QString::fromStdString(dir.file("big.png"))).width(), 2813);
    // The filter decides when no extension is typed; a typed one is kept.
    EXPECT_EQ(exportPathFor("page", "PDF document (*.pdf)"), "page.pdf");
    EXPECT_EQ(exportPathFor("page.svg", "PDF document (*.pdf)"), "page.svg");
    EXPECT_EQ(outside.read("kept.txt"), "kept\n");
    EXPECT_FALSE(outside.exists("made"));
}

// The levels and sections are those the run searched and wrote: a variant
// calculated in kelvin and millimetres, exported after the units became
// degrees Celsius and inches, names them as the run did; a folder that no
// longer says its run's units is refused rather than guessed at.
TEST_F(ExportView, CsvNamesTheRunsLevelsAndSectionsAfterAUnitsChange) {
    ASSERT_TRUE(exportViewTo(QString::fromStdString(dir.file("c.csv")), kViewAllCharts, UnitCodes{2, 3, 2}, 900,
                             600, dir.path(), nullptr));
    EXPECT_EQ(dir.read("c-isotherms.csv").rfind("distance [mm],r_2000K [mm],r_4000K [mm],r_6000K [mm],"
                                                "r_8000K [mm],r_10000K [mm]\n",
                                                0),
              0u);
    const std::string radial = dir.read("c-radial.csv");
    EXPECT_NE(radial.find("\n20.00,"), std::string::npos);
    EXPECT_EQ(radial.find("\n25.40,"), std::string::npos);
    std::remove(dir.file("results.stamp").c_str());
    QString why;
    EXPECT_FALSE(exportAs("d.csv", kViewIsotherms, &why));
    EXPECT_TRUE(why.contains("isotherm levels")) << why.toStdString();
    EXPECT_FALSE(dir.exists("d.csv"));
}

TEST_F(ExportView, UnknownFormatsAndMissingResultsAreRefused) {
    QString why;
    EXPECT_FALSE(exportAs("view.bmp", kViewAxial, &why));
    EXPECT_TRUE(why.contains("no known format"));
    std::remove(dir.file("ztu0.res").c_str());
    EXPECT_FALSE(exportAs("axial.csv", kViewAxial, &why));
    EXPECT_TRUE(why.contains(QString::fromStdString(dir.file("ztu0.res"))));
    EXPECT_FALSE(dir.exists("axial.csv"));
}

TEST_F(ExportView, TheMainWindowOffersExportWithAVariantAndReadsValuesUnderThePointer) {
    MainWindow window(true);
    window.applyMenuEvent(MenuEvent::Start);
    ASSERT_NE(window.action(menu::kExportView), nullptr);
    EXPECT_EQ(window.action(menu::kExportView)->text(), QString::fromUtf8("&Export\u2026"));
    EXPECT_FALSE(window.action(menu::kExportView)->isEnabled());
    window.applyMenuEvent(MenuEvent::PreviousOk);
    EXPECT_TRUE(window.action(menu::kExportView)->isEnabled());

    window.setCurrentView(view::kAxialDistributions);
    window.resize(1000, 700);
    window.centralWidget()->grab();  // paints the view
    const QWidget* area = window.centralWidget();
    EXPECT_TRUE(window.readoutAt(area->width() / 4, area->height() / 4).startsWith("Distance "));
    // The jet's temperature on the axis at that distance, not the pointer's height.
    const QString read = window.readoutAt(area->width() / 4, area->height() / 4);
    EXPECT_TRUE(read.contains(" cm: temperature ")) << read.toStdString();
    EXPECT_EQ(window.readoutAt(area->width() / 4, area->height() / 4 + 40), read);
    EXPECT_EQ(window.readoutAt(area->width() - 2, 2), "");
}

}  // namespace
}  // namespace torvex
