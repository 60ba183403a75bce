// The road of one variant through the real windows (offscreen): "&New", the
// parameter dialog, the run dialog, the run on its worker thread with the
// progress window, the Previous-variant dialog, and the menu states and files
// each step leaves behind.
#include "shell/auxiliary_dialogs.h"
#include "shell/main_window.h"
#include "shell/working_folder.h"
#include "tests/support/temp_dir.h"
#include "tests/variant/road_fixture.h"
#include "variant/parameter_dialog.h"
#include "variant/previous_dialog.h"
#include "variant/progress_window.h"
#include "variant/run_dialog.h"
#include "variant/variant_commands.h"
#include "solver/file_access.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>

namespace torvex {
namespace {

using road::pick;
using road::press;
using road::VariantRoad;

TEST_F(VariantRoad, NewRunAndPreviousOk) {
    bool closeRefused = false, notCalculable = false;
    std::string badInput;
    // Each report as the run dialog has shown it: value, phase, bar, calculated flag.
    struct Shown {
        int value;
        RunPhase phase;
        int bar;
        bool calculated;
        // Shown, wholly on the screen and owned by the run dialog (which
        // keeps it above that dialog).
        bool progressInSight;
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
                const QRect screen = p->screen()->availableGeometry();
                const bool inSight = p->isVisible() && screen.contains(p->frameGeometry()) && p->parentWidget() == r;
                shown.push_back({value, p->phase(), p->barValue(), r->calculated(), inSight});
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
    // The Previous-variant "OK" state; the variant stays within reach.
    EXPECT_TRUE(enabled(menu::kPrevious));
    for (int id : {menu::kAllCharts, menu::kIsothermalLines, menu::kPrintAllCharts, menu::kCloseVariant,
                   menu::kSimulationOfSprayParticles})
        EXPECT_TRUE(enabled(id)) << id;
    EXPECT_TRUE(main_->sprayLaunchAllowed());
    EXPECT_EQ(main_->currentView(), view::kAllCharts);

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
        for (const Shown& report : shown) EXPECT_TRUE(report.progressInSight) << "report " << report.value;
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
    // The lock file of the run stays with the folder (an empty file).
    EXPECT_EQ(listing(chosen.path()), ".torvex.lock ftu.res ilt.res iop.par ip.dat results.stamp rtu0.res rtu100.res "
                                      "rtu20.res rtu5.res rtu50.res un.dat unp.dat ztu0.res");
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
                // It opens on the variant just entered (ip.dat), ready for "OK".
                freshListsAfterBack = input->input().group1Confirmed() &&
                                      input->input().list(input_ids::kLengthList).selectedText() != "";
                input->activate(input_ids::kNitrogen);
                pick(input, input_ids::kDiameterList, "9.0");
                input->activate(input_ids::kGroup1Ok);
                pick(input, input_ids::kFlowList, "80 ");
                press(input->control(input_ids::kFlowList), Qt::Key_Return);  // Enter acts as group (2) "OK"
            }
        } else if (auto* run = qobject_cast<RunDialog*>(w)) {
            // Escape is "< &Back" the first time; "&Cancel" the second.
            if (inputDialogs == 1) press(run, Qt::Key_Escape);
            else run->activate(run_ids::kCancel);
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
    // Named in full, never through "." or "..".
    EXPECT_NE(message.find(dir_.file("ip.dat")), std::string::npos) << message;
    EXPECT_FALSE(cannotCalculateShown);
    EXPECT_TRUE(previousShown);
    EXPECT_FALSE(dir_.exists("iop.par"));
    EXPECT_EQ(dir_.read("unp.dat"), "2 1 2 2 \n");
    // The earlier variant's units were shown but not taken over: the user's
    // metric choice stays, and is what the program saves.
    EXPECT_EQ(main_->unitCodes().length, 1);
    EXPECT_EQ(main_->unitCodes().flow, 1);
}

// While another program (torvex-run, a second torvex) runs a variant in the
// directory, this one neither replaces ip.dat nor starts its run: it says
// so, and the dialog stays open.
TEST_F(VariantRoad, AnotherRunInTheDirectoryIsNamedAndNothingChanges) {
    dir_.write("ip.dat", " 1  8.00 14.00  500  35\n");
    auto other = std::make_unique<WorkDirLock>(dir_.path());
    ASSERT_TRUE(other->held());
    std::vector<std::string> messages;
    QPointer<QDialog> open;
    bool previousShown = false;
    runWithDriver(menu::kNew, [&](QWidget* w) {
        if (auto* input = qobject_cast<ParameterDialog*>(w)) {
            open = input;
            input->activate(input_ids::kGroup1Ok);
            // Refused while the directory is held. The refusal is a modal
            // box of its own, driven once this call has returned.
            QTimer::singleShot(0, input, [input] { input->activate(input_ids::kGroup2Ok); });
        } else if (auto* run = qobject_cast<RunDialog*>(w)) {
            open = run;
            other = std::make_unique<WorkDirLock>(dir_.path());  // taken again before the run
            QTimer::singleShot(0, run, [run] { run->activate(run_ids::kRun); });
        } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
            messages.push_back(box->text().toStdString());
            box->accept();
            QTimer::singleShot(0, [&] {
                // The first refusal is the input dialog's: confirm again once
                // the other run is over; the second is the run dialog's.
                other.reset();
                if (auto* input = qobject_cast<ParameterDialog*>(open.data()))
                    input->activate(input_ids::kGroup2Ok);
                else if (auto* run = qobject_cast<RunDialog*>(open.data()))
                    run->activate(run_ids::kCancel);
            });
        } else if (qobject_cast<PreviousDialog*>(w)) {
            previousShown = true;
        }
    });
    ASSERT_EQ(messages.size(), 2u);
    const std::string held = "Another run is using the working directory " + dir_.path();
    for (const std::string& m : messages) EXPECT_NE(m.find(held), std::string::npos) << m;
    EXPECT_FALSE(previousShown);
    EXPECT_FALSE(dir_.exists("iop.par"));
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
// dialog, whether the message is ended by its "OK " or by its close box: a
// dialog's close box never ends the program.
TEST_F(VariantRoad, CannotCalculateMessageLeadsOnToThePreviousVariant) {
    dir_.write("ar.dat", argonWithoutConductivity());
    for (bool closeBox : {false, true}) {
        bool messageShown = false, previousShown = false;
        runWithDriver(menu::kNew, [&](QWidget* w) {
            if (auto* input = qobject_cast<ParameterDialog*>(w)) {
                input->activate(input_ids::kGroup1Ok);
                input->activate(input_ids::kGroup2Ok);
            } else if (auto* run = qobject_cast<RunDialog*>(w)) {
                run->activate(run_ids::kRun);
            } else if (auto* message = qobject_cast<CannotCalculateDialog*>(w)) {
                messageShown = true;
                if (closeBox) message->windowHandle()->close();
                else message->activate(1);
            } else if (auto* previous = qobject_cast<PreviousDialog*>(w)) {
                previousShown = true;
                previous->activate(previous_ids::kOk);
            }
        });
        EXPECT_TRUE(messageShown);
        EXPECT_TRUE(previousShown);
        EXPECT_FALSE(main_->closed());
    }
}

// Previous shows the variant in the units it was calculated in, while the
// program keeps the units the user chose (and un.dat keeps them at exit).
TEST_F(VariantRoad, PreviousVariantKeepsTheUsersUnits) {
    dir_.write("unp.dat", "2 1 2 2 \n");
    dir_.write("iop.par", "12  0.30  0.55  500  70 11.8\n 35.0  17.5 52\n");
    main_->unitCodes() = UnitCodes{};
    runWithDriver(menu::kPrevious, [&](QWidget* w) {
        if (auto* previous = qobject_cast<PreviousDialog*>(w)) {
            EXPECT_TRUE(previous->unitsKnown());
            EXPECT_EQ(previous->variantUnits().length, 2);
            previous->activate(previous_ids::kOk);
        }
    });
    EXPECT_EQ(main_->unitCodes().length, 1);
    EXPECT_EQ(main_->unitCodes().flow, 1);
    EXPECT_TRUE(enabled(menu::kAllCharts));
}

// A calculated variant stays within reach: Previous whenever the folder holds
// a finished result set (at start, after Close Variant, after a folder
// switch), the recent variants across folders, and the input dialog opening
// on the folder's last variant.
TEST_F(VariantRoad, GettingBackToACalculatedVariant) {
    const auto writeSet = [](test::TempDir& d) {
        d.write("unp.dat", "2 1 2 2 \n");
        d.write("iop.par", "12  0.30  0.55  500  70 11.8\n 35.0  17.5 52\n");
        d.write("ztu0.res", "   0.0  13.20  1500.00\n");
        d.write("ftu.res", "1\n");
        d.stampResultSet(2);  // calculated in inches
    };
    writeSet(dir_);
    main_->applyMenuEvent(MenuEvent::Start);
    EXPECT_TRUE(enabled(menu::kPrevious));
    runWithDriver(menu::kPrevious, [](QWidget* w) {
        if (auto* previous = qobject_cast<PreviousDialog*>(w)) previous->activate(previous_ids::kOk);
    });
    main_->runCommand(menu::kCloseVariant);
    EXPECT_TRUE(enabled(menu::kPrevious));

    test::TempDir empty, other;
    empty.write("un.dat", "1 1 1 1 \n");
    ASSERT_TRUE(main_->switchWorkingFolder(QString::fromStdString(empty.path())));
    EXPECT_FALSE(enabled(menu::kPrevious));
    writeSet(other);
    ASSERT_TRUE(main_->switchWorkingFolder(QString::fromStdString(other.path())));
    EXPECT_TRUE(enabled(menu::kPrevious));
    const QList<RecentVariant> recent = recentVariants();
    ASSERT_EQ(recent.size(), 1);
    EXPECT_EQ(recent.front().folder, QDir(QString::fromStdString(dir_.path())).canonicalPath());
    EXPECT_EQ(recent.front().description.toStdString(), "Ar + He (30 %), 0.30 in, 0.55 in, 500 A, 70 SCFH");

    other.write("ip.dat", " 2  9.00 24.00  300  80\n");
    std::optional<VariantInputs> shown;
    runWithDriver(menu::kNew, [&](QWidget* w) {
        if (auto* input = qobject_cast<ParameterDialog*>(w)) {
            shown = input->input().confirmGroup2();
            input->activate(input_ids::kCancel);
        }
    });
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(shown->gasCode, 2);
    EXPECT_EQ(shown->diameter, 9.0);
    EXPECT_EQ(shown->length, 24);
    EXPECT_EQ(shown->current, 300);
    EXPECT_EQ(shown->flow, 80);
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
