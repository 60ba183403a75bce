#include "charts/chart_font.h"
#include "shell/main_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <vector>

#include "tests/shell/shell_fixture.h"

namespace torvex::test {
namespace {

using Main = InTempDir;

const std::vector<int> kAlwaysAvailable = {menu::kNew, menu::kUnits, menu::kExit, menu::kHelpContents,
                                           menu::kAbout};
const std::vector<int> kVariantCommands = {menu::kAllCharts,
                                           menu::kIsothermalLines,
                                           menu::kRadialDistributions,
                                           menu::kAxialDistributions,
                                           menu::kPrintAllCharts,
                                           menu::kPrintIsothermalLines,
                                           menu::kPrintRadialDistributions,
                                           menu::kPrintAxialDistributions,
                                           menu::kCloseVariant};

bool available(const MainWindow& w, int id) { return w.action(id)->isEnabled(); }

void expectIdle(const MainWindow& w) {
    for (int id : kAlwaysAvailable) EXPECT_TRUE(available(w, id)) << id;
    EXPECT_FALSE(available(w, menu::kPrevious));
    for (int id : kVariantCommands) EXPECT_FALSE(available(w, id)) << id;
    EXPECT_FALSE(available(w, menu::kSimulationOfSprayParticles));
}

TEST_F(Main, MenuHasTheCaptionsUnderTheirIds) {
    MainWindow w(false);
    EXPECT_EQ(w.windowTitle().toStdString(), "  T O R V E X - Simulation of Plasma Jet");
    const std::vector<std::pair<int, const char*>> items = {{201, "&New"},
                                                            {202, "&Previous"},
                                                            {40014, "&Units"},
                                                            {209, "E&xit"},
                                                            {200, "&All Charts"},
                                                            {203, "&Isothermal Lines"},
                                                            {204, "&Radial Distributions"},
                                                            {206, "A&xial Distributions"},
                                                            {40015, "&All Charts"},
                                                            {40018, "A&xial Distributions"},
                                                            {214, "&Close Variant"},
                                                            {40013, "&Simulation of Spray Particles"},
                                                            {211, "&Contents"},
                                                            {212, "&About"}};
    for (const auto& [id, caption] : items) {
        ASSERT_NE(w.action(id), nullptr) << id;
        EXPECT_EQ(w.action(id)->text().toStdString(), caption) << id;
    }
    QStringList menus;
    for (QAction* a : w.menuBar()->actions()) menus << a->text();
    EXPECT_EQ(menus.join('|').toStdString(), "&Variant|&Charts|&Next|&Help");
    expectOneKeyPerItem(w.menuBar());
}

TEST_F(Main, MenuStatesFollowTheVariantEvents) {
    MainWindow w(false);
    w.applyMenuEvent(MenuEvent::Start);
    expectIdle(w);

    // Cancel in the run dialog: Previous available, the spray module not,
    // the rest as it was.
    w.applyMenuEvent(MenuEvent::RunCancel);
    EXPECT_TRUE(available(w, menu::kPrevious));
    for (int id : kVariantCommands) EXPECT_FALSE(available(w, id)) << id;

    w.applyMenuEvent(MenuEvent::PreviousOk);
    EXPECT_FALSE(available(w, menu::kPrevious));
    for (int id : kVariantCommands) EXPECT_TRUE(available(w, id)) << id;
    EXPECT_TRUE(available(w, menu::kSimulationOfSprayParticles));

    w.applyMenuEvent(MenuEvent::RunCancel);
    EXPECT_TRUE(available(w, menu::kPrevious));
    for (int id : kVariantCommands) EXPECT_TRUE(available(w, id)) << id;
    EXPECT_FALSE(available(w, menu::kSimulationOfSprayParticles));

    w.applyMenuEvent(MenuEvent::RunBack);
    expectIdle(w);
}

TEST_F(Main, CloseVariantReturnsToIdle) {
    MainWindow w(false);
    w.applyMenuEvent(MenuEvent::PreviousOk);
    w.setSprayLaunchAllowed(true);
    w.runCommand(menu::kRadialDistributions);
    EXPECT_EQ(w.currentView(), view::kRadialDistributions);
    w.runCommand(menu::kAxialDistributions);
    EXPECT_EQ(w.currentView(), view::kAxialDistributions);

    w.runCommand(menu::kCloseVariant);
    EXPECT_EQ(w.currentView(), view::kNothing);
    EXPECT_FALSE(w.sprayLaunchAllowed());
    expectIdle(w);
    // Without a shown variant the spray module is not started and the
    // program goes on.
    w.runCommand(menu::kSimulationOfSprayParticles);
    EXPECT_FALSE(w.closed());
}

// The spray-particle module starts in the working folder with "Mirtane" and
// this program's process id, beside this program, which stays; a second
// start while it is open on the folder starts none. When it cannot start,
// the program says so.
TEST_F(Main, SprayModuleStartsInTheWorkingFolderOrTheProgramStays) {
    MainWindow w(false);
    w.applyMenuEvent(MenuEvent::PreviousOk);
    w.setSprayLaunchAllowed(true);
    w.setSprayModuleProgram(QString::fromStdString(dir.file("no-module")));
    {
        ModalCloser closer;
        w.runCommand(menu::kSimulationOfSprayParticles);
        EXPECT_EQ(closer.closed(), 1);
    }
    EXPECT_FALSE(w.closed());

    TempDir bin;
    bin.write("module", "#!/bin/sh\necho \"$(pwd) $*\" >> starts && exec sleep 2\n");
    QFile::setPermissions(QString::fromStdString(bin.file("module")), QFile::ReadOwner | QFile::ExeOwner);
    w.setSprayModuleProgram(QString::fromStdString(bin.file("module")));
    w.runCommand(menu::kSimulationOfSprayParticles);
    w.runCommand(menu::kSimulationOfSprayParticles);
    EXPECT_FALSE(w.closed());
    for (int wait = 0; wait < 200 && !dir.exists("starts"); ++wait) QThread::msleep(25);
    QThread::msleep(200);
    EXPECT_EQ(dir.read("starts"), QDir::currentPath().toStdString() + " Mirtane " +
                                      std::to_string(QCoreApplication::applicationPid()) + "\n");
}

TEST_F(Main, ChartFontStartsAsArial26) {
    // A painter that changed the shared description before the window opened
    // does not leak into the new window; the window and the painters share one.
    torvex::chartFont().height = 99;
    MainWindow w(true);
    EXPECT_EQ(&w.chartFont(), &torvex::chartFont());
    EXPECT_EQ(w.chartFont().face, "Arial");
    EXPECT_EQ(w.chartFont().height, 26);
    EXPECT_EQ(w.chartFont().weight, 400);
    EXPECT_EQ(w.chartFont().escapement, 0);
}

TEST_F(Main, NewOpensTheParameterDialogOnlyForKnownCodes) {
    dir.write("un.dat", "2 1 2 2 \n");
    {
        MainWindow w(false);
        ModalCloser closer;
        w.runCommand(menu::kNew);
        EXPECT_EQ(closer.closed(), 1);
    }
    for (const char* codes : {"3 1 1 1 \n", "1 1 0 0 \n"}) {
        dir.write("un.dat", codes);
        MainWindow w(false);
        ModalCloser closer;
        w.runCommand(menu::kNew);
        EXPECT_EQ(closer.closed(), 0) << codes;
        EXPECT_EQ(w.unitCodes().length, codes[0] - '0');
    }
}

TEST_F(Main, ExitWritesTheUnitsInMemory) {
    dir.write("un.dat", "2 3 1 1 \n");
    MainWindow w(false);
    w.unitCodes().flow = 2;
    w.runCommand(menu::kExit);
    EXPECT_TRUE(w.closed());
    EXPECT_EQ(dir.read("un.dat"), "2 3 2 2 \n");
}

TEST_F(Main, StartedBackDoesNotOverwriteUnitsItNeverRead) {
    dir.write("un.dat", "2 2 2 2 \n");
    {
        MainWindow w(true);
        EXPECT_FALSE(w.unitCodesLoaded());
        w.runCommand(menu::kExit);
    }
    EXPECT_EQ(dir.read("un.dat"), "2 2 2 2 \n");
    // Once read, the codes are the user's and are saved at the end.
    MainWindow w(true);
    w.readUnitFile(kUnitFile);
    w.unitCodes().temperature = 3;
    w.close();
    EXPECT_EQ(dir.read("un.dat"), "2 3 2 2 \n");
}

// The run's units label what the run fixed; the units chosen stay in use and
// in un.dat.
TEST_F(Main, PreviousKeepsTheUnitsChosenOverThoseOfTheLastRun) {
    dir.write("un.dat", "1 1 1 1 \n");
    dir.write("unp.dat", "2 2 2 2 \n");
    MainWindow w(false);
    {
        ModalCloser closer;
        w.runCommand(menu::kPrevious);
    }
    EXPECT_EQ(w.unitCodes().length, 1);
    w.close();
    EXPECT_EQ(dir.read("un.dat"), "1 1 1 1 \n");
}

// Before any variant was calculated there is no unp.dat: "&Previous" then
// has no units to bring back and must leave the user's choice alone, else
// exit would save metric units over it.
TEST_F(Main, PreviousWithoutUnitsOfARunKeepsTheChosenUnits) {
    dir.write("un.dat", "2 2 2 2 \n");
    MainWindow w(false);
    {
        ModalCloser closer;
        w.runCommand(menu::kPrevious);
        EXPECT_EQ(closer.closed(), 1);
    }
    EXPECT_EQ(w.unitCodes().length, 2);
    EXPECT_EQ(w.unitCodes().flow, 2);
    EXPECT_FALSE(dir.exists("unp.dat"));
    w.close();
    EXPECT_EQ(dir.read("un.dat"), "2 2 2 2 \n");
}

TEST_F(Main, MissingOrBrokenUnitFileFallsBackToMetricKelvinSlpm) {
    MainWindow w(false);
    EXPECT_EQ(w.unitCodes().length, 1);
    EXPECT_EQ(w.unitCodes().temperature, 1);
    EXPECT_EQ(w.unitCodes().flow, 1);
    // The solver reads un.dat too, so the missing file is made.
    EXPECT_EQ(dir.read("un.dat"), "1 1 1 1 \n");

    dir.write("un.dat", "2 x\n");
    w.unitCodes().length = 2;
    w.readUnitFile(kUnitFile);
    EXPECT_EQ(w.unitCodes().length, 1);
    EXPECT_EQ(dir.read("un.dat"), "1 1 1 1 \n");
}

}  // namespace
}  // namespace torvex::test
