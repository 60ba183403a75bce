// The road of one variant through the real windows (offscreen): "&New", the
// parameter dialog, the run dialog, the run on its worker thread with the
// progress window, the Previous-variant dialog, and the menu states and files
// each step leaves behind.
#include "shell/auxiliary_dialogs.h"
#include "shell/main_window.h"
#include "tests/support/temp_dir.h"
#include "variant/parameter_dialog.h"
#include "variant/previous_dialog.h"
#include "variant/progress_window.h"
#include "variant/run_dialog.h"
#include "variant/variant_commands.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

namespace torvex {
namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "torvex_variant_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing Qt down among the other statics at exit crashes.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// The test's working directory holds un.dat and the gas files; every file of
// the program is addressed by bare name in the current directory.
class VariantRoad : public ::testing::Test {
protected:
    void SetUp() override {
        application();
        previous_ = QDir::currentPath();
        dir_.write("un.dat", "1 1 1 1 \n");
        dir_.copyGasFile("ar.dat");
        dir_.copyGasFile("n2.dat");
        QDir::setCurrent(QString::fromStdString(dir_.path()));
        main_ = std::make_unique<MainWindow>(true);
    }
    void TearDown() override {
        main_.reset();
        QDir::setCurrent(previous_);
    }

    bool enabled(int id) const { return main_->action(id)->isEnabled(); }

    // Runs a menu command while a timer acts on each modal window that comes
    // up, once per window, through `act`.
    void runWithDriver(int command, const std::function<void(QWidget*)>& act) {
        QTimer timer;
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal->property("driven").toBool()) return;
            modal->setProperty("driven", true);
            act(modal);
        });
        timer.start();
        main_->runCommand(command);
    }

    test::TempDir dir_;
    QString previous_;
    std::unique_ptr<MainWindow> main_;
};

void pick(TorvexDialog* dialog, int listId, const QString& text) {
    auto* list = dialog->controlAs<QListWidget>(listId);
    ASSERT_NE(list, nullptr);
    const auto found = list->findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    list->setCurrentItem(found.front());
}

void press(QWidget* w, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

TEST_F(VariantRoad, NewRunAndPreviousOk) {
    bool closeRefused = false, notCalculable = false;
    std::string badInput;
    // Each report as the run dialog has shown it: value, phase, bar, calculated flag.
    struct Shown {
        int value;
        RunPhase phase;
        int bar;
        bool calculated;
    };
    std::vector<Shown> shown;
    runWithDriver(menu::kNew, [&](QWidget* w) {
        if (auto* input = qobject_cast<ParameterDialog*>(w)) {
            pick(input, input_ids::kDiameterList, "8.0");
            input->activate(input_ids::kGroup1Ok);
            input->activate(input_ids::kGroup2Ok);
        } else if (auto* r = qobject_cast<RunDialog*>(w)) {
            QObject::connect(r, &RunDialog::reported, [&shown, r](int value) {
                ProgressWindow* p = r->progressWindow();
                shown.push_back({value, p->phase(), p->barValue(), r->calculated()});
            });
            r->activate(run_ids::kRun);
            // While the solver works: no second run, no close, no Escape.
            r->activate(run_ids::kRun);
            press(r, Qt::Key_Escape);
            closeRefused = !r->close() && r->isVisible() && r->running();
        } else if (auto* message = qobject_cast<CannotCalculateDialog*>(w)) {
            notCalculable = true;
            message->activate(1);
        } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
            badInput = box->text().toStdString();
            box->accept();
        } else if (auto* previous = qobject_cast<PreviousDialog*>(w)) {
            previous->activate(previous_ids::kOk);
        }
    });

    EXPECT_EQ(badInput, "");
    EXPECT_EQ(dir_.read("ip.dat"), " 1  8.00 14.00  500  35\n");
    EXPECT_TRUE(closeRefused) << "the run dialog closed while the solver worked";
    // The Previous-variant "OK" state.
    EXPECT_FALSE(enabled(menu::kPrevious));
    for (int id : {menu::kAllCharts, menu::kIsothermalLines, menu::kPrintAllCharts, menu::kCloseVariant,
                   menu::kSimulationOfSprayParticles})
        EXPECT_TRUE(enabled(id)) << id;
    EXPECT_TRUE(main_->sprayLaunchAllowed());
    EXPECT_EQ(main_->currentView(), view::kNothing);

    if (notCalculable) {
        // The solver gave up on this variant: say so clearly; the road after
        // the message is the same.
        ADD_FAILURE() << "argon 8 mm / 14 mm / 500 A / 35 SLPM was reported as not calculable";
    } else {
        EXPECT_TRUE(dir_.exists("ftu.res"));
        // -1, the inside percentages, -3 with a fresh outside window, the
        // outside percentages up to a full bar.
        ASSERT_GE(shown.size(), 4u);
        EXPECT_EQ(shown.front().value, kProgressRunStarts);
        EXPECT_FALSE(shown.front().calculated);
        std::size_t at = 0;
        while (at < shown.size() && shown[at].value != kProgressInsideDone) ++at;
        ASSERT_LT(at, shown.size());
        EXPECT_EQ(shown[at - 1].bar, 100);
        EXPECT_EQ(shown[at].phase, RunPhase::Outside);
        EXPECT_EQ(shown[at].bar, 0);
        EXPECT_TRUE(shown[at].calculated);
        EXPECT_EQ(shown.back().value, 100);
        EXPECT_EQ(shown.back().bar, 100);
        for (std::size_t k = 1; k < at; ++k) EXPECT_EQ(shown[k].value, 5 * static_cast<int>(k));
    }
    EXPECT_TRUE(dir_.exists("iop.par"));
    EXPECT_EQ(dir_.read("unp.dat"), "1 1 1 1 \n");
}

// Every name in a directory, sorted, joined by blanks.
std::string listing(const std::string& dir) {
    QStringList names = QDir(QString::fromStdString(dir)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names.join(' ').toStdString();
}

// After "&Working Folder" every file of the variant goes to the folder chosen;
// the folder left keeps exactly what it had.
TEST_F(VariantRoad, RunAfterSwitchingFolderWritesOnlyThere) {
    test::TempDir chosen, home;
    // The list of recent folders goes to the settings of a home of the test's own.
    const QByteArray realHome = qgetenv("HOME"), realConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QByteArray::fromStdString(home.path()));
    qunsetenv("XDG_CONFIG_HOME");
    const std::string before = listing(dir_.path());
    ASSERT_TRUE(main_->switchWorkingFolder(QString::fromStdString(chosen.path())));
    runWithDriver(menu::kNew, [&](QWidget* w) {
        if (auto* input = qobject_cast<ParameterDialog*>(w)) {
            input->activate(input_ids::kGroup1Ok);
            input->activate(input_ids::kGroup2Ok);
        } else if (auto* run = qobject_cast<RunDialog*>(w)) {
            run->activate(run_ids::kRun);
        } else if (auto* message = qobject_cast<CannotCalculateDialog*>(w)) {
            message->activate(1);
        } else if (auto* previous = qobject_cast<PreviousDialog*>(w)) {
            previous->activate(previous_ids::kOk);
        }
    });
    EXPECT_EQ(listing(dir_.path()), before);
    EXPECT_EQ(listing(chosen.path()),
              "ftu.res ilt.res iop.par ip.dat rtu0.res rtu100.res rtu20.res rtu5.res rtu50.res un.dat unp.dat ztu0.res");
    qputenv("HOME", realHome);
    if (!realConfig.isEmpty()) qputenv("XDG_CONFIG_HOME", realConfig);
}

TEST_F(VariantRoad, Group2FirstBackAndCancel) {
    int inputDialogs = 0;
    bool group2FirstIgnored = false, freshListsAfterBack = false;
    runWithDriver(menu::kNew, [&](QWidget* w) {
        if (auto* input = qobject_cast<ParameterDialog*>(w)) {
            ++inputDialogs;
            if (inputDialogs == 1) {
                input->activate(input_ids::kGroup2Ok);
                group2FirstIgnored = input->isVisible() && !dir_.exists("ip.dat");
                input->activate(input_ids::kGroup1Ok);
                input->activate(input_ids::kGroup2Ok);
            } else {
                freshListsAfterBack = input->input().list(input_ids::kLengthList).entries.empty();
                input->activate(input_ids::kNitrogen);
                pick(input, input_ids::kDiameterList, "9.0");
                input->activate(input_ids::kGroup1Ok);
                pick(input, input_ids::kFlowList, "80 ");
                press(input->control(input_ids::kFlowList), Qt::Key_Return);  // Enter acts as group (2) "OK"
            }
        } else if (auto* run = qobject_cast<RunDialog*>(w)) {
            // Escape is "< &Back" the first time, Enter "&Cancel" (the default) the second.
            press(run, inputDialogs == 1 ? Qt::Key_Escape : Qt::Key_Return);
        }
    });
    EXPECT_TRUE(group2FirstIgnored);
    EXPECT_EQ(inputDialogs, 2);
    EXPECT_TRUE(freshListsAfterBack);
    EXPECT_EQ(dir_.read("ip.dat"), " 2  9.00 24.00  300  80\n");
    // "&Cancel" state: Previous available, the spray module not.
    EXPECT_TRUE(enabled(menu::kPrevious));
    EXPECT_FALSE(enabled(menu::kSimulationOfSprayParticles));
    EXPECT_FALSE(enabled(menu::kAllCharts));
    EXPECT_FALSE(dir_.exists("unp.dat"));
}

// An ip.dat the solver cannot read is reported with the file's name, not as a
// variant that cannot be calculated; nothing of the earlier variant's files
// (iop.par, unp.dat) is touched.
TEST_F(VariantRoad, UnreadableInputFileIsNamed) {
    dir_.write("unp.dat", "2 1 2 2 \n");
    std::string message;
    bool cannotCalculateShown = false, previousShown = false;
    runWithDriver(menu::kNew, [&](QWidget* w) {
        if (auto* input = qobject_cast<ParameterDialog*>(w)) {
            input->activate(input_ids::kGroup1Ok);
            input->activate(input_ids::kGroup2Ok);
        } else if (auto* run = qobject_cast<RunDialog*>(w)) {
            dir_.write("ip.dat", "argon, please\n");
            run->activate(run_ids::kRun);
        } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
            message = box->text().toStdString();
            box->accept();
        } else if (auto* cannot = qobject_cast<CannotCalculateDialog*>(w)) {
            cannotCalculateShown = true;
            cannot->activate(1);
        } else if (auto* previous = qobject_cast<PreviousDialog*>(w)) {
            previousShown = true;
            previous->activate(previous_ids::kOk);
        }
    });
    EXPECT_NE(message.find("ip.dat"), std::string::npos) << message;
    EXPECT_FALSE(cannotCalculateShown);
    EXPECT_TRUE(previousShown);
    EXPECT_FALSE(dir_.exists("iop.par"));
    EXPECT_EQ(dir_.read("unp.dat"), "2 1 2 2 \n");
}

// An argon file whose electrical conductivity is next to nothing: no arc
// can carry the current, so the variant cannot be calculated.
std::string argonWithoutConductivity() {
    std::ifstream in(test::sourceDataFile("ar.dat"));
    std::string text, line;
    char field[16];
    std::snprintf(field, sizeof field, "%10.4e", 1e-6);
    for (int number = 1; std::getline(in, line); ++number) {
        if (number >= 43 && number <= 48) {
            line.clear();
            for (int k = 0; k < 8; ++k) line += field;
        }
        text += line + "\n";
    }
    return text;
}

// After the cannot-calculate message the road goes on to the Previous-variant
// dialog. The message belongs to the main window, though: its title bar's
// close ends the program, and then no Previous-variant dialog comes up.
TEST_F(VariantRoad, CannotCalculateMessageLeadsOnOrEndsTheProgram) {
    dir_.write("ar.dat", argonWithoutConductivity());
    for (bool closeFromTitleBar : {false, true}) {
        bool messageShown = false, previousShown = false;
        runWithDriver(menu::kNew, [&](QWidget* w) {
            if (auto* input = qobject_cast<ParameterDialog*>(w)) {
                input->activate(input_ids::kGroup1Ok);
                input->activate(input_ids::kGroup2Ok);
            } else if (auto* run = qobject_cast<RunDialog*>(w)) {
                run->activate(run_ids::kRun);
            } else if (auto* message = qobject_cast<CannotCalculateDialog*>(w)) {
                messageShown = true;
                main_->unitCodes().temperature = 3;
                if (closeFromTitleBar) message->passCloseToOwner();
                else message->activate(1);
            } else if (auto* previous = qobject_cast<PreviousDialog*>(w)) {
                previousShown = true;
                previous->activate(previous_ids::kOk);
            }
        });
        EXPECT_TRUE(messageShown);
        EXPECT_EQ(main_->closed(), closeFromTitleBar);
        EXPECT_EQ(previousShown, !closeFromTitleBar);
    }
    EXPECT_EQ(dir_.read("un.dat"), "1 3 1 1 \n");  // saved as the program ended
}

TEST_F(VariantRoad, PreviousVariantTakesItsOwnUnits) {
    dir_.write("unp.dat", "2 1 2 2 \n");
    dir_.write("iop.par", "12  0.30  0.55  500  70 11.8\n 35.0  17.5 52\n");
    main_->unitCodes() = UnitCodes{};
    runWithDriver(menu::kPrevious, [&](QWidget* w) {
        if (auto* previous = qobject_cast<PreviousDialog*>(w)) {
            EXPECT_TRUE(previous->unitsKnown());
            previous->activate(previous_ids::kOk);
        }
    });
    EXPECT_EQ(main_->unitCodes().length, 2);
    EXPECT_EQ(main_->unitCodes().flow, 2);
    EXPECT_TRUE(enabled(menu::kAllCharts));
}

TEST_F(VariantRoad, ProgressWindowReports) {
    ProgressWindow window(main_.get());
    window.showReport(RunPhase::Inside, kProgressRunStarts);
    EXPECT_EQ(window.barValue(), 0);
    EXPECT_EQ(window.percentText(), "    0 %   ");
    for (int percent = 5; percent <= 100; percent += 5) window.showReport(RunPhase::Inside, percent);
    EXPECT_EQ(window.barValue(), 100);
    EXPECT_EQ(window.percentText(), "100 %        ");
    window.showReport(RunPhase::Inside, 105);  // never beyond the end
    EXPECT_EQ(window.barValue(), 100);
    EXPECT_FALSE(window.close());
}

} // namespace
} // namespace torvex
