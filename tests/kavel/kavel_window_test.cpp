// The kavel window on a real variant: the jet computed by the solver in a
// temporary folder, a spray run on the worker thread, the files it leaves,
// the powder dialog's units and refusals, export, and the way back to TORVEX.
#include "kavel/kavel_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenuBar>
#include <QDir>
#include <QDoubleSpinBox>
#include <QRadioButton>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QStatusBar>
#include <QThread>

#include "kavel/kavel_about.h"
#include "kavel/kavel_program.h"
#include "kavel/powder_dialog.h"
#include "pages/spray_export.h"
#include "particles/spray_files.h"
#include "particles/spray_option_table.h"
#include "platform/elided_label.h"
#include "solver/result_set.h"
#include "solver/solver.h"
#include "tests/shell/shell_fixture.h"

namespace torvex::kavel::test {
namespace {

using particles::powderMemoryText;
using particles::readPowderMemory;
using particles::writePowderMemory;
using torvex::test::expectOneKeyPerItem;
using torvex::test::ModalCloser;
using torvex::test::TempDir;

// The default argon variant (8 mm, 14 mm, 500 A, 35 SLPM), computed once;
// its folder is removed at exit.
const TempDir& argonVariant() {
    static TempDir dir;
    static const bool computed = [] {
        dir.write("un.dat", "1 1 1 1 \n");
        dir.write("unp.dat", "1 1 1 1 \n");
        dir.write("ip.dat", " 1  8.00 14.00  500  35\n");
        return runSolver(dir.path(), [](int) {}).result == RunResult::Completed;
    }();
    EXPECT_TRUE(computed) << "the argon variant could not be calculated";
    return dir;
}

// A copy of the variant's files in a fresh folder, so a test's results stay its own.
void copyVariant(const TempDir& to) {
    for (const char* name : {"un.dat", "unp.dat", "ip.dat", "iop.par", "ilt.res", "ztu0.res", "rtu0.res", "rtu5.res",
                             "rtu20.res", "rtu50.res", "rtu100.res", "ftu.res", "results.stamp"})
        to.write(name, argonVariant().read(name));
}

QString qdir(const TempDir& d) { return QString::fromStdString(d.path()); }

particles::SprayOptions smallRun() {
    particles::SprayOptions o;
    o.powder.count = 40;
    o.sampledTrajectories = 5;
    return o;
}

TEST(KavelWindow, ShowsTheVariantAndRunsOnTheWorkerThread) {
    torvex::test::testApplication();
    TempDir dir;
    copyVariant(dir);
    KavelWindow w(qdir(dir));
    ASSERT_TRUE(w.hasField()) << w.fieldProblem().toStdString();
    EXPECT_TRUE(w.action(menu::kPowderAndInjection)->isEnabled());
    EXPECT_EQ(w.pageInputs().variant.lines[2], "Arc current: 500 A");
    EXPECT_NE(w.materials().find("ysz8"), nullptr);

    ASSERT_TRUE(w.startRun(smallRun()));
    EXPECT_FALSE(w.startRun(smallRun()));  // one run at a time
    w.waitForRun();
    EXPECT_EQ(w.lastMessage(), QString());
    ASSERT_NE(w.pageInputs().outcome, nullptr);
    EXPECT_EQ(w.pageInputs().outcome->particles.size(), 40u);
    EXPECT_EQ(w.pageInputs().materialName, w.materials().find("ysz8")->name);
    EXPECT_TRUE(dir.exists(particles::kParticlesFile));
    EXPECT_TRUE(dir.exists(particles::kTrajectoriesFile));
    // The page of the run paints in the window without trouble, and prints
    // as one landscape page.
    w.resize(900, 600);
    w.setView(kViewAll);
    EXPECT_FALSE(w.grab().isNull());
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.file("printed.pdf")));
    printer.setPageOrientation(QPageLayout::Landscape);
    ASSERT_TRUE(w.printViewOn(printer, kViewSubstrate));
    EXPECT_NE(dir.read("printed.pdf").find("/Count 1"), std::string::npos);
}

TEST(KavelWindow, RefusedOptionsWriteNothingAndKeepThePreviousRun) {
    torvex::test::testApplication();
    TempDir dir;
    copyVariant(dir);
    KavelWindow w(qdir(dir));
    particles::SprayOptions bad = smallRun();
    bad.standoffMm = 500;  // beyond the 200 mm field
    ASSERT_TRUE(w.startRun(bad));
    w.waitForRun();
    EXPECT_FALSE(w.lastMessage().isEmpty());
    EXPECT_EQ(w.pageInputs().outcome, nullptr);
    EXPECT_FALSE(dir.exists(particles::kParticlesFile));
}

TEST(KavelWindow, AStoppedRunLeavesThePageWithTheInputsOfItsResults) {
    torvex::test::testApplication();
    TempDir dir;
    copyVariant(dir);
    KavelWindow w(qdir(dir));
    ASSERT_TRUE(w.startRun(smallRun()));
    w.waitForRun();
    const std::string particles = dir.read(particles::kParticlesFile);
    particles::SprayOptions big = smallRun();
    big.powder.count = 20000;
    big.powder.d50Um = 55;
    w.rememberChoice(big);
    ASSERT_TRUE(w.startRun(big));
    w.stopRun();
    w.waitForRun();
    EXPECT_TRUE(w.lastMessage().contains(QStringLiteral("last complete run")));
    EXPECT_EQ(w.pageInputs().outcome->particles.size(), 40u);
    EXPECT_EQ(panelSections(w.pageInputs())[1].lines[2], "Particles: 40, seed 1");
    EXPECT_EQ(w.pageInputs().options.powder.d50Um, smallRun().powder.d50Um);
    EXPECT_EQ(dir.read(particles::kParticlesFile), particles);
    // The dialog offers the last choice, also at the next start in this folder.
    EXPECT_EQ(w.chosenOptions().powder.count, 20000);
    EXPECT_EQ(KavelWindow(qdir(dir)).chosenOptions().powder.d50Um, 55);
    dir.write("kavel.dat", "d50_um fifty\n");
    KavelWindow unreadable(qdir(dir));
    EXPECT_EQ(unreadable.chosenOptions().powder.d50Um, particles::SprayOptions().powder.d50Um);
    EXPECT_TRUE(
        unreadable.statusBar()->currentMessage().contains(QString::fromStdString(dir.file("kavel.dat"))));
}

TEST(KavelWindow, ExportWritesTheFormatItsNameSaysOrRefuses) {
    torvex::test::testApplication();
    TempDir dir;
    copyVariant(dir);
    KavelWindow w(qdir(dir));
    w.resize(900, 600);
    QString why;
    const auto exported = [&](const char* name) {
        return w.exportViewTo(QString::fromStdString(dir.file(name)), 96, nullptr, &why);
    };
    EXPECT_FALSE(exported("data.csv"));  // no run, no data
    EXPECT_TRUE(why.contains(QStringLiteral("no spray run")));
    ASSERT_TRUE(w.startRun(smallRun()));
    w.waitForRun();
    w.setView(kViewSubstrate);
    ASSERT_TRUE(exported("page.png"));
    EXPECT_EQ(dir.read("page.png").substr(0, 8), "\x89PNG\r\n\x1a\n");
    ASSERT_TRUE(exported("page.pdf"));
    EXPECT_EQ(dir.read("page.pdf").substr(0, 5), "%PDF-");
    ASSERT_TRUE(exported("page.svg"));
    EXPECT_NE(dir.read("page.svg").find("<svg"), std::string::npos);
    QStringList written;
    ASSERT_TRUE(w.exportViewTo(QString::fromStdString(dir.file("page.csv")), 96, &written, &why));
    EXPECT_EQ(written.size(), 3);
    EXPECT_EQ(
        dir.read("page-molten.csv").rfind("Molten fraction from,Molten fraction to,share by number [%]", 0),
        0u);
    EXPECT_FALSE(exported("page.bmp"));
    EXPECT_TRUE(why.contains(QStringLiteral(".png, .pdf, .svg or .csv")));
    EXPECT_FALSE(dir.exists("page.bmp"));
    // Help and About: the module's own help file, a version from the build.
    EXPECT_TRUE(QFile::exists(kavelHelpFilePath()));
    EXPECT_TRUE(kavelAboutText().contains(QStringLiteral("Version 0.")));
}

TEST(KavelWindow, WithoutAJetFieldItSaysSoAndOffersNoRun) {
    torvex::test::testApplication();
    TempDir dir;
    dir.write("un.dat", "1 1 1 1 \n");
    dir.write("ip.dat", " 1  8.00 14.00  500  35\n");
    KavelWindow w(qdir(dir));
    EXPECT_FALSE(w.hasField());
    EXPECT_TRUE(w.fieldProblem().contains(QStringLiteral("ftu.res"))) << w.fieldProblem().toStdString();
    EXPECT_TRUE(w.fieldProblem().contains(qdir(dir))) << "the file is named with its folder";
    EXPECT_FALSE(w.action(menu::kPowderAndInjection)->isEnabled());
    EXPECT_FALSE(w.startRun(smallRun()));
    EXPECT_TRUE(w.lastMessage().contains(QStringLiteral("no jet field")));
    EXPECT_EQ(QDir(qdir(dir)).entryList(QDir::Files).join(' ').toStdString(), "ip.dat un.dat");
}

TEST(KavelWindow, BackToTorvexStartsItInThisFolderOrStays) {
    torvex::test::testApplication();
    TempDir dir, bin;
    copyVariant(dir);
    KavelWindow w(qdir(dir));
    w.setTorvexProgram(QString::fromStdString(bin.file("missing")));
    w.runCommand(menu::kBackToTorvex);
    EXPECT_FALSE(w.closed());
    EXPECT_TRUE(w.lastMessage().contains(QStringLiteral("TORVEX could not be started")));

    bin.write("torvex", "#!/bin/sh\necho \"$(pwd) $*\" > back.tmp && mv back.tmp back\n");
    QFile::setPermissions(QString::fromStdString(bin.file("torvex")), QFile::ReadOwner | QFile::ExeOwner);
    w.setTorvexProgram(QString::fromStdString(bin.file("torvex")));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(qdir(dir));  // started in the variant's folder, as from TORVEX
    w.runCommand(menu::kBackToTorvex);
    QDir::setCurrent(previous);
    EXPECT_TRUE(w.closed());
    for (int wait = 0; wait < 200 && !dir.exists("back"); ++wait) QThread::msleep(25);
    EXPECT_EQ(dir.read("back"), QDir(qdir(dir)).canonicalPath().toStdString() + " 0\n");
}

// Kavel open beside TORVEX on one folder: the units chosen in TORVEX (un.dat)
// are the pages' at the next look, the variant staying in its run's units;
// a jet TORVEX calculates there is said plainly, while the pages keep
// the jet read and its spray; "Back to TORVEX" with TORVEX still open beside
// (this process stands for it) closes Kavel and starts nothing.
TEST(KavelWindow, BesideTorvexFollowsItsUnitsAndSaysWhenItReplacesTheJet) {
    torvex::test::testApplication();
    TempDir dir, bin;
    copyVariant(dir);
    KavelWindow w(qdir(dir));
    expectOneKeyPerItem(w.menuBar());
    ASSERT_TRUE(w.startRun(smallRun()));
    w.waitForRun();
    dir.write("un.dat", "2 3 2 2 \n");
    w.checkFolder();
    EXPECT_EQ(w.pageInputs().units.length, 2);
    EXPECT_EQ(w.pageInputs().units.temperature, 3);
    EXPECT_EQ(w.pageInputs().variant.lines[0], "Anode diameter: 8.0 mm");
    EXPECT_EQ(w.lastMessage(), QString());

    dir.write("un.dat", "1 1 1 1 \n");
    dir.write("ip.dat", " 1  8.00 14.00  600  35\n");
    ASSERT_EQ(runSolver(dir.path(), [](int) {}).result, RunResult::Completed);
    w.checkFolder();
    const QString said = w.lastMessage();
    EXPECT_TRUE(said.contains("replaced the jet") && said.contains("600 A") && said.contains("500 A"))
        << said.toStdString();
    ASSERT_NE(w.pageInputs().outcome, nullptr);
    EXPECT_EQ(w.pageInputs().variant.lines[2], "Arc current: 500 A");
    // The next spray flies through the new jet: the panel, the isotherms'
    // field, the status bar and an export name it, never the jet read at start.
    ASSERT_TRUE(w.startRun(smallRun()));
    w.waitForRun();
    EXPECT_EQ(w.pageInputs().variant.lines[2], "Arc current: 600 A");
    EXPECT_EQ(w.pageInputs().field->stampChecksum, resultStampChecksum(dir.path()));
    EXPECT_TRUE(w.findChild<ElidedLabel*>()->fullText().contains("600 A"));
    w.resize(900, 600);
    ASSERT_TRUE(w.exportViewTo(QString::fromStdString(dir.file("page.svg")), 96, nullptr, nullptr));
    EXPECT_NE(dir.read("page.svg").find("Arc current: 600 A"), std::string::npos);

    w.setTorvexProgram(QString::fromStdString(bin.file("missing")));
    w.setTorvexBeside(QCoreApplication::applicationPid());
    w.runCommand(menu::kBackToTorvex);
    EXPECT_TRUE(w.closed());
}

// A set of another variant than ip.dat's: both named, with what to do, in
// the message and where the jet would be drawn; the panel shows kavel.dat.
TEST(KavelWindow, AForeignSetIsSaidWithBothVariantsAndThePanelShowsTheLastChoice) {
    torvex::test::testApplication();
    TempDir dir;
    copyVariant(dir);
    dir.write("ip.dat", " 2  8.00 14.00  500  35\n");
    dir.write("kavel.dat", "d50_um 55\n");
    KavelWindow w(qdir(dir));
    EXPECT_FALSE(w.hasField());
    for (const char* variant : {"belong to argon 8.0 mm 500 A 35 SLPM", "ip.dat (nitrogen 8.0 mm 500 A 35 SLPM)",
                                "calculate that variant first"})
        EXPECT_TRUE(w.fieldProblem().contains(variant)) << w.fieldProblem().toStdString();
    EXPECT_EQ(trajectoryChart(w.pageInputs()).emptyNote, w.fieldProblem().toStdString());
    EXPECT_EQ(w.pageInputs().options.powder.d50Um, 55);
    EXPECT_EQ(w.pageInputs().variant.lines[1], "Results: argon 8.0 mm 500 A 35 SLPM");
}

// Kavel started in a folder with a finished spray shows it; one kept by
// name is drawn beside the next; a mixed set is refused with the reason.
TEST(KavelWindow, ShowsTheFoldersSprayKeepsOneByNameAndComparesIt) {
    torvex::test::testApplication();
    TempDir dir;
    copyVariant(dir);
    {
        KavelWindow first(qdir(dir));
        ASSERT_TRUE(first.startRun(smallRun()));
        first.waitForRun();
        EXPECT_TRUE(first.keepShownSpray(QStringLiteral("first/run")));
    }
    KavelWindow w(qdir(dir));
    ASSERT_NE(w.pageInputs().outcome, nullptr);
    EXPECT_EQ(w.pageInputs().outcome->particles.size(), 40u);
    EXPECT_EQ(w.pageInputs().variant.lines[2], "Arc current: 500 A");
    EXPECT_EQ(particles::keptSprays(dir.path()), std::vector<std::string>{"first_run"});
    particles::SprayOptions other = smallRun();
    other.seed = 2;
    ASSERT_TRUE(w.startRun(other));
    w.waitForRun();
    ASSERT_TRUE(w.compareWith(QStringLiteral("first_run")));
    int compared = 0;
    for (const ChartLine& line : trajectoryChart(w.pageInputs()).lines) compared += line.label.rfind("first_run: ", 0) == 0;
    EXPECT_EQ(compared, 3);
    EXPECT_EQ(panelSections(w.pageInputs()).back().heading, "Compared: first_run (paler)");

    const std::string particles = dir.read(particles::kParticlesFile);
    dir.write(particles::kParticlesFile, particles.substr(0, particles.size() / 2));
    KavelWindow mixed(qdir(dir));
    EXPECT_EQ(mixed.pageInputs().outcome, nullptr);
    EXPECT_TRUE(mixed.statusBar()->currentMessage().contains(QStringLiteral("is mixed: particles.csv")));
}

// Ctrl+C puts the table of the page shown on the clipboard, its cells between tabs.
TEST(KavelWindow, CopyGivesTheShownTableAsTabSeparatedText) {
    torvex::test::testApplication();
    TempDir dir;
    copyVariant(dir);
    KavelWindow w(qdir(dir));
    ASSERT_TRUE(w.startRun(smallRun()));
    w.waitForRun();
    w.setView(kViewSensor);
    EXPECT_EQ(w.action(menu::kCopyTable)->shortcut(), QKeySequence(QKeySequence::Copy));
    w.runCommand(menu::kCopyTable);
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.startsWith(QStringLiteral("In-flight sensor at 100 mm\n"))) << copied.toStdString();
    EXPECT_TRUE(copied.contains(QStringLiteral("\nd, \u00b5m\tcount\tmass %\tarrived\t")));
    EXPECT_EQ(copied, w.shownTableText());
    w.setView(kViewTrajectories);
    EXPECT_EQ(w.shownTableText(), QString());
}

TEST(PowderDialog, LengthsInTheVariantsUnitAndRefusalsKeepItOpen) {
    torvex::test::testApplication();
    particles::MaterialTable materials;
    ASSERT_TRUE(particles::loadMaterials(argonVariant().path(), materials).ok);
    particles::SprayOptions start;
    start.standoffMm = 101.6;
    PowderDialog dialog(nullptr, start, materials, sprayUnitsOf(UnitCodes{2, 1, 2}), 200);
    const particles::SprayOptions o = dialog.options();
    EXPECT_NEAR(o.standoffMm, 101.6, 1e-9);
    // Shown rounded (0.079 in, 0.315 in, 65.6 ft/s), left alone: exactly as given.
    EXPECT_EQ(o.injection.distanceMm, 2);
    EXPECT_EQ(o.injection.radiusMm, 8);
    EXPECT_EQ(o.injection.velocity, 20);
    // Typed values are converted from the shown unit.
    dialog.findChild<QDoubleSpinBox*>(QStringLiteral("standoff"))->setValue(5);
    EXPECT_NEAR(dialog.options().standoffMm, 127, 1e-9);
    EXPECT_EQ(o.powder.material, "ysz8");
    EXPECT_EQ(dialog.problem(), QString());
    // The distribution file's layout is at hand where its name is typed.
    EXPECT_TRUE(dialog.findChild<QLineEdit*>(QStringLiteral("distributionFile"))
                    ->toolTip()
                    .contains(QStringLiteral("from_um,to_um,volume_percent")));

    particles::SprayOptions tooFar = start;
    tooFar.standoffMm = 25.4 * 10;  // 10 in, beyond the field
    PowderDialog refusing(nullptr, tooFar, materials, sprayUnitsOf(UnitCodes{2, 1, 2}), 200);
    EXPECT_FALSE(refusing.problem().isEmpty());
    ModalCloser closer;
    refusing.show();
    refusing.accept();
    EXPECT_EQ(closer.closed(), 1);
    EXPECT_EQ(refusing.result(), QDialog::Rejected);
}

TEST(PowderDialog, EveryOptionRoundTripsThroughTheDialogAndKavelDat) {
    torvex::test::testApplication();
    particles::MaterialTable materials;
    ASSERT_TRUE(particles::loadMaterials(argonVariant().path(), materials).ok);
    particles::SprayOptions set;
    set.powder.sizeBasis = particles::SizeBasis::Number;
    set.powder.sizeDistributionFile = "/data/powder lot 7.csv";
    set.injection.speedFrom = particles::InjectionSpeed::CarrierGas;
    set.injection.carrierFlowSlpm = 4.25;
    set.injection.injectorDiameterMm = 1.5;
    set.injection.angleDeg = 10;
    set.model.dragBasis = particles::DragBasis::FreeStream;
    set.model.knudsenCorrection = set.model.radiation = set.model.vapourShielding = false;
    set.model.diffusiveEvaporation = false;
    set.model.gasGamma = 1.4;
    set.model.shellCount = 24;
    set.sensor = {5, false, 1.5, -2};
    set.sizeClasses = 6;
    set.substrateRadiusMm = 35;
    set.sampledTrajectories = 120;
    // In inches the lengths are shown rounded and still come back exactly.
    PowderDialog dialog(nullptr, set, materials, sprayUnitsOf(UnitCodes{2, 1, 2}), 200);
    EXPECT_EQ(powderMemoryText(dialog.options()), powderMemoryText(set));
    dialog.findChild<QRadioButton*>(QStringLiteral("fixedSpeed"))->setChecked(true);
    dialog.findChild<QDoubleSpinBox*>(QStringLiteral("sensorX"))->setValue(0.1);
    EXPECT_EQ(dialog.options().injection.speedFrom, particles::InjectionSpeed::Fixed);
    EXPECT_TRUE(dialog.findChild<QDoubleSpinBox*>(QStringLiteral("carrierFlow"))->toolTip().contains("SLPM"));
    EXPECT_NEAR(dialog.options().sensor.xMm, 2.54, 1e-12);

    TempDir dir;
    std::string error;
    ASSERT_TRUE(writePowderMemory(dir.path(), set, error)) << error;
    particles::SprayOptions read;
    ASSERT_TRUE(readPowderMemory(dir.path(), read, error)) << error;
    EXPECT_EQ(powderMemoryText(read), powderMemoryText(set));
    // An older file without the new options: those keep their defaults.
    dir.write("kavel.dat", "d50_um 55\ngravity 1\n");
    read = particles::SprayOptions();
    ASSERT_TRUE(readPowderMemory(dir.path(), read, error)) << error;
    EXPECT_EQ(read.powder.d50Um, 55);
    EXPECT_EQ(read.injection.speedFrom, particles::InjectionSpeed::CarrierGas);
    EXPECT_EQ(read.sensor.sizeMm, 3);
    for (const char* bad : {"size_basis mass\n", "injection_speed\n", "shell_count -3\n", "sensor_x_mm 1e999\n"}) {
        dir.write("kavel.dat", bad);
        EXPECT_FALSE(readPowderMemory(dir.path(), read, error)) << bad;
        EXPECT_NE(error.find("line 1"), std::string::npos) << error;
    }
}

TEST(KavelWindow, TuneShowsItsPageAndOffersItsSettingAndStopKeepsTheWindowUsable) {
    torvex::test::testApplication();
    TempDir dir;
    copyVariant(dir);
    KavelWindow w(qdir(dir));
    w.resize(900, 600);
    particles::TuneOptions tune;
    tune.from = 2, tune.to = 4, tune.steps = 3;
    EXPECT_FALSE(w.action(menu::kUseTunedSetting)->isEnabled());
    ASSERT_TRUE(w.startTune(tune, 20));
    EXPECT_FALSE(w.startRun(smallRun()));  // one job at a time
    EXPECT_FALSE(w.action(menu::kPowderAndInjection)->isEnabled());
    w.waitForTune();
    EXPECT_EQ(w.lastMessage(), QString());
    ASSERT_NE(w.pageInputs().tune, nullptr);
    EXPECT_EQ(w.view(), kViewTune);
    const particles::TuneOutcome& scan = *w.pageInputs().tune;
    ASSERT_EQ(scan.steps.size(), 3u);
    ASSERT_GE(scan.chosen, 0);
    EXPECT_EQ(scan.steps[0].particles, 20);  // a count given per step is flown as it stands
    EXPECT_TRUE(w.action(menu::kUseTunedSetting)->isEnabled());
    ASSERT_TRUE(w.applyTunedSetting());
    EXPECT_EQ(w.chosenOptions().injection.carrierFlowSlpm, scan.steps[static_cast<std::size_t>(scan.chosen)].setting);
    EXPECT_NE(dir.read("kavel.dat").find("carrier_flow_slpm"), std::string::npos);
    QStringList written;
    QString why;
    ASSERT_TRUE(w.exportViewTo(QString::fromStdString(dir.file("tune.csv")), 96, &written, &why)) << why.toStdString();
    EXPECT_EQ(dir.read("tune.csv").rfind("carrier_flow_slpm,deviation_deg", 0), 0u);

    // A stopped scan keeps the last complete one; the window runs a spray after it.
    ASSERT_TRUE(w.startTune(tune, 20000));
    w.runCommand(menu::kStopTune);
    w.waitForTune();
    EXPECT_TRUE(w.lastMessage().contains(QStringLiteral("stopped")));
    EXPECT_EQ(w.pageInputs().tune->steps.size(), 3u);
    EXPECT_TRUE(w.action(menu::kTuneInjector)->isEnabled());
    ASSERT_TRUE(w.startRun(smallRun()));
    w.waitForRun();
    w.setView(kViewSensor);
    EXPECT_FALSE(w.grab().isNull());
    written.clear();
    ASSERT_TRUE(w.exportViewTo(QString::fromStdString(dir.file("sensor.csv")), 96, &written, &why));
    EXPECT_EQ(written.size(), 2);
    EXPECT_TRUE(dir.exists("sensor-size-classes.csv"));
}

TEST(SprayExport, EveryPageOrNoneInAFolderThatCannotBeWritten) {
    torvex::test::testApplication();
    TempDir dir;
    copyVariant(dir);
    SprayPageInputs in = variantPageInputs(dir.path());
    std::string written, error;
    ASSERT_TRUE(writeSprayPageImages(dir.path(), in, written, error)) << error;
    EXPECT_EQ(written, "kavel-all.png, kavel-trajectories.png, kavel-flight.png, kavel-substrate.png, kavel-sensor.png");
    EXPECT_TRUE(dir.exists("kavel-sensor.png"));
    EXPECT_FALSE(writeSprayPageImages("/proc", in, written, error));
    EXPECT_NE(error.find("/proc"), std::string::npos) << error;
}

TEST(KavelProgram, TakesNoArgumentOrMirtaneAndTheProcessIdOfTorvex) {
    std::string problem;
    long long beside = -1;
    char prog[] = "kavel", mirtane[] = "Mirtane", other[] = "--help", pid[] = "4242";
    char* argv[] = {prog, mirtane, other, nullptr};
    EXPECT_TRUE(acceptedArguments(1, argv, problem, &beside));
    EXPECT_EQ(beside, 0);
    EXPECT_TRUE(acceptedArguments(2, argv, problem));
    EXPECT_FALSE(acceptedArguments(3, argv, problem));
    EXPECT_NE(problem.find("--help"), std::string::npos);
    char* withPid[] = {prog, mirtane, pid, other, nullptr};
    EXPECT_TRUE(acceptedArguments(3, withPid, problem, &beside));
    EXPECT_EQ(beside, 4242);
    EXPECT_FALSE(acceptedArguments(4, withPid, problem));
}

}  // namespace
}  // namespace torvex::kavel::test
