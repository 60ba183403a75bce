// The road through the real windows where a user could see a false number or
// get stuck: pages drawn in other units than the run's, the Previous-variant
// "OK" with nothing calculated, a gas changed after group (1), the close box
// of a modal dialog, the chart view left behind by "< &Back", un.dat that
// cannot be written, and where the progress window goes.
#include "platform/recording_context.h"
#include "pages/jet_pages.h"
#include "shell/units_dialog.h"
#include "tests/variant/road_fixture.h"
#include "variant/parameter_dialog.h"
#include "variant/previous_dialog.h"
#include "variant/progress_window.h"
#include "variant/run_dialog.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QAction>
#include <QMessageBox>
#include <QWindow>

#include <string>

namespace torvex {
namespace {

using road::pick;
using road::VariantRoad;

bool drew(const RecordingContext& dc, const std::string& text) { return !dc.findText(text).text.empty(); }

class ViewStates : public VariantRoad {
protected:
    // "&New" with argon 8.0 mm and the first entries of group (2), run, and
    // the Previous-variant "OK".
    void runArgon() {
        runWithDriver(menu::kNew, [](QWidget* w) {
            if (auto* input = qobject_cast<ParameterDialog*>(w)) {
                pick(input, input_ids::kDiameterList, "8.0");
                input->activate(input_ids::kGroup1Ok);
                input->activate(input_ids::kGroup2Ok);
            } else if (auto* run = qobject_cast<RunDialog*>(w)) {
                run->activate(run_ids::kRun);
            } else if (auto* previous = qobject_cast<PreviousDialog*>(w)) {
                previous->activate(previous_ids::kOk);
            }
        });
        ASSERT_TRUE(dir_.exists("iop.par"));
    }
    void chooseUnits(int length, int temperature, int flow) {
        runWithDriver(menu::kUnits, [&](QWidget* w) {
            if (auto* units = qobject_cast<UnitsDialog*>(w)) {
                units->checkRadioButton(units_dialog::kMetricLengths, units_dialog::kInches, length);
                units->checkRadioButton(units_dialog::kKelvin, units_dialog::kCelsius, temperature);
                units->checkRadioButton(units_dialog::kSlpm, units_dialog::kScfh, flow);
                // Later, so that a message it shows meets the driver again.
                QTimer::singleShot(0, units, [units] { units->activate(units_dialog::kOk); });
            } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
                message_ = box->text().toStdString();
                box->accept();
            }
        });
    }
    // The page of a view as the main window paints it now.
    RecordingContext page(int view) {
        RecordingContext dc;
        paintCurrentView(dc, view, main_->unitCodes(), ViewArea{0, 0, 1000, 700});
        return dc;
    }

    std::string message_;
};

// A run in metric units, kelvin and SLPM; the pages drawn in inches, degrees
// Fahrenheit and SCFH. The axes follow the new units; what the run fixed keeps
// the units it was calculated in, so that every number stays true.
TEST_F(ViewStates, UnitsChangedBetweenRunAndPagesKeepEveryNumberTrue) {
    runArgon();
    chooseUnits(units_dialog::kInches, units_dialog::kFahrenheit, units_dialog::kScfh);
    EXPECT_EQ(dir_.read("un.dat"), "2 2 2 2 \n");
    EXPECT_EQ(dir_.read("unp.dat"), "1 1 1 1 \n");

    const RecordingContext all = page(view::kAllCharts);
    // The variant as calculated: 8.0 mm, 14 mm, 35 SLPM, not 8.00 in or 35 SCFH.
    EXPECT_TRUE(drew(all, "Anode diameter: 8.0 mm"));
    EXPECT_TRUE(drew(all, "Anode length: 14 mm"));
    EXPECT_TRUE(drew(all, "Gas flow rate: 35 SLPM"));
    EXPECT_FALSE(drew(all, "Anode diameter: 8.00 in"));
    // The isotherm levels the solver searched for (kelvin), and the distances
    // of the radial sections (0, 5, 20, 50, 100 mm).
    for (const char* level : {"2 kK", "4 kK", "6 kK", "8 kK", "10 kK"}) EXPECT_TRUE(drew(all, level)) << level;
    EXPECT_FALSE(drew(all, "19 kF"));
    for (const char* section : {"0.0 cm", "0.5 cm", "2.0 cm", "5.0 cm", "10.0 cm"})
        EXPECT_TRUE(drew(all, section)) << section;
    EXPECT_FALSE(drew(all, "1.0 in"));
    // The axes in the units chosen now.
    EXPECT_TRUE(drew(all, "Temperature, kF"));
    EXPECT_TRUE(drew(all, "Distance, in"));
    EXPECT_TRUE(drew(all, "Velocity, ft/s"));

    for (int view : {view::kIsothermalLines, view::kRadialDistributions, view::kAxialDistributions}) {
        const RecordingContext single = page(view);
        EXPECT_TRUE(drew(single, "Anode diameter: 8.0 mm")) << view;
        EXPECT_TRUE(drew(single, "Gas flow rate: 35 SLPM")) << view;
    }

    // New, Cancel, then "&Previous": the units chosen stay, in the pages and
    // in un.dat.
    runWithDriver(menu::kNew, [](QWidget* w) {
        if (auto* input = qobject_cast<ParameterDialog*>(w)) input->activate(input_ids::kCancel);
    });
    runWithDriver(menu::kPrevious, [](QWidget* w) {
        if (auto* previous = qobject_cast<PreviousDialog*>(w)) previous->activate(previous_ids::kOk);
    });
    EXPECT_EQ(main_->unitCodes().length, 2);
    EXPECT_TRUE(drew(page(view::kAxialDistributions), "Temperature, kF"));
    main_->close();
    EXPECT_EQ(dir_.read("un.dat"), "2 2 2 2 \n");
}

// Units > OK redraws the page shown at once: what the window painted last
// (and so what the pointer reads) speaks the new units before the pointer
// moves or another page is chosen.
TEST_F(ViewStates, UnitsOkRedrawsThePageShown) {
    runArgon();
    main_->show();
    main_->runCommand(menu::kAxialDistributions);
    QApplication::processEvents();
    const auto readout = [this] {
        const QWidget* area = main_->centralWidget();
        return main_->readoutAt(area->width() / 4, area->height() / 4).toStdString();
    };
    EXPECT_NE(readout().find(" kK"), std::string::npos) << readout();
    chooseUnits(units_dialog::kMetricLengths, units_dialog::kCelsius, units_dialog::kSlpm);
    EXPECT_NE(readout().find(" kC"), std::string::npos) << readout();
}

// The keyboard alone: Enter in a list accepts its group's choice, Enter in
// the run confirmation runs (Run is its default button), Enter confirms the
// Previous-variant dialog, and Escape backs out of the Units dialog.
TEST_F(ViewStates, EnterAcceptsEachStepAndEscapeLeavesUnits) {
    bool runIsDefault = false;
    runWithDriver(menu::kNew, [&](QWidget* w) {
        if (auto* input = qobject_cast<ParameterDialog*>(w)) {
            pick(input, input_ids::kDiameterList, "8.0");
            input->control(input_ids::kDiameterList)->setFocus();
            road::press(input->control(input_ids::kDiameterList), Qt::Key_Return);
            EXPECT_EQ(input->focusWidget(), input->control(input_ids::kLengthList));
            road::press(input->control(input_ids::kLengthList), Qt::Key_Return);
        } else if (auto* run = qobject_cast<RunDialog*>(w)) {
            runIsDefault = run->controlAs<QPushButton>(run_ids::kRun)->isDefault() &&
                           !run->controlAs<QPushButton>(run_ids::kCancel)->isDefault();
            road::press(run, Qt::Key_Return);
        } else if (auto* previous = qobject_cast<PreviousDialog*>(w)) {
            road::press(previous, Qt::Key_Return);
        }
    });
    EXPECT_TRUE(runIsDefault);
    EXPECT_EQ(dir_.read("ip.dat"), " 1  8.00 14.00  500  35\n");
    EXPECT_TRUE(dir_.exists("iop.par"));
    EXPECT_TRUE(main_->action(menu::kAllCharts)->isEnabled());

    runWithDriver(menu::kUnits, [](QWidget* w) {
        if (auto* units = qobject_cast<UnitsDialog*>(w)) {
            units->checkRadioButton(units_dialog::kMetricLengths, units_dialog::kInches, units_dialog::kInches);
            road::press(units, Qt::Key_Escape);
        }
    });
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(dir_.read("un.dat"), "1 1 1 1 \n");
}

// "OK" in the Previous-variant dialog before any variant was calculated: it
// says so, and nothing becomes available.
TEST_F(ViewStates, PreviousOkWithoutAVariantMakesNothingAvailable) {
    main_->applyMenuEvent(MenuEvent::Start);
    for (bool closeBox : {false, true}) {
        runWithDriver(menu::kPrevious, [&](QWidget* w) {
            if (auto* previous = qobject_cast<PreviousDialog*>(w)) {
                if (closeBox) previous->windowHandle()->close();
                else previous->activate(previous_ids::kOk);
            }
        });
        for (int id : {menu::kPrevious, menu::kAllCharts, menu::kPrintAllCharts, menu::kCloseVariant,
                       menu::kSimulationOfSprayParticles})
            EXPECT_FALSE(main_->action(id)->isEnabled()) << id;
        EXPECT_FALSE(main_->sprayLaunchAllowed());
        EXPECT_FALSE(main_->closed());
    }
}

// The gas changed after group (1) was confirmed: the lists of group (2)
// follow at once, and ip.dat is the variant the dialog shows.
TEST_F(ViewStates, GasChangedAfterGroupOneWritesWhatTheDialogShows) {
    std::string shownFlow, shownCurrent;
    runWithDriver(menu::kNew, [&](QWidget* w) {
        if (auto* input = qobject_cast<ParameterDialog*>(w)) {
            pick(input, input_ids::kDiameterList, "8.0");
            input->activate(input_ids::kGroup1Ok);
            pick(input, input_ids::kCurrentList, "900 ");
            input->controlAs<QAbstractButton>(input_ids::kNitrogen)->setChecked(true);
            input->activate(input_ids::kNitrogen);
            pick(input, input_ids::kDiameterList, "6.0");
            shownCurrent = input->controlAs<QListWidget>(input_ids::kCurrentList)->currentItem()->text().toStdString();
            shownFlow = input->controlAs<QListWidget>(input_ids::kFlowList)->currentItem()->text().toStdString();
            input->activate(input_ids::kGroup2Ok);
        } else if (auto* run = qobject_cast<RunDialog*>(w)) {
            run->activate(run_ids::kCancel);
        }
    });
    // Nitrogen, class 6: lengths 15 to 25 mm, currents 150 to 350 A (900 A
    // is gone), flows 30 to 50 SLPM (35 SLPM stays picked).
    EXPECT_EQ(shownCurrent, "150 ");
    EXPECT_EQ(shownFlow, "35 ");
    EXPECT_EQ(dir_.read("ip.dat"), " 2  6.00 15.00  150  35\n");
}

// The close box of a modal dialog is its Escape: the parameter dialog is
// cancelled, the Units dialog closes without saving, and the program stays.
TEST_F(ViewStates, CloseBoxOfAModalDialogIsItsEscape) {
    runWithDriver(menu::kNew, [](QWidget* w) {
        if (auto* input = qobject_cast<ParameterDialog*>(w)) {
            input->activate(input_ids::kGroup1Ok);
            input->windowHandle()->close();
        }
    });
    EXPECT_FALSE(dir_.exists("ip.dat"));
    runWithDriver(menu::kUnits, [](QWidget* w) {
        if (auto* units = qobject_cast<UnitsDialog*>(w)) {
            units->checkRadioButton(units_dialog::kMetricLengths, units_dialog::kInches, units_dialog::kInches);
            units->windowHandle()->close();
        }
    });
    EXPECT_EQ(dir_.read("un.dat"), "1 1 1 1 \n");
    EXPECT_FALSE(main_->closed());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// A chart was shown; "&New", "OK", "< &Back", "&Cancel" greys the chart
// commands, and the window no longer shows a chart either.
TEST_F(ViewStates, ChartViewFollowsTheMenuAfterBackAndCancel) {
    runArgon();
    main_->runCommand(menu::kAllCharts);
    ASSERT_EQ(main_->currentView(), view::kAllCharts);
    int inputs = 0;
    runWithDriver(menu::kNew, [&](QWidget* w) {
        if (auto* input = qobject_cast<ParameterDialog*>(w)) {
            if (++inputs == 1) {
                input->activate(input_ids::kGroup1Ok);
                input->activate(input_ids::kGroup2Ok);
            } else {
                input->activate(input_ids::kCancel);
            }
        } else if (auto* run = qobject_cast<RunDialog*>(w)) {
            run->activate(run_ids::kBack);
        }
    });
    EXPECT_FALSE(main_->action(menu::kAllCharts)->isEnabled());
    EXPECT_EQ(main_->currentView(), view::kNothing);
}

// "OK" in the Units dialog when un.dat cannot be written says so with the
// file's full path; the choice stays in use for what is shown.
TEST_F(ViewStates, UnitsThatCannotBeSavedAreReported) {
    QDir(QString::fromStdString(dir_.path())).remove("un.dat");
    QDir(QString::fromStdString(dir_.path())).mkdir("un.dat");  // a folder where the file belongs
    chooseUnits(units_dialog::kInches, units_dialog::kCelsius, units_dialog::kSlpm);
    EXPECT_NE(message_.find(dir_.file("un.dat")), std::string::npos) << message_;
    EXPECT_EQ(main_->unitCodes().length, 2);
    EXPECT_EQ(main_->unitCodes().temperature, 3);
}

// The gas choices do not run into each other, and all five fractions of a
// mixture are in sight without scrolling.
TEST_F(ViewStates, GasChoicesAndFractionsAreLegible) {
    ParameterDialog input(*main_, UnitCodes{});
    input.show();
    input.activate(input_ids::kArgonHydrogen);
    const int radios[4] = {input_ids::kArgon, input_ids::kNitrogen, input_ids::kArgonHydrogen,
                           input_ids::kArgonHelium};
    const QRect group = input.control(input_ids::kPlasmaGasGroup)->geometry();
    for (int k = 0; k < 4; ++k) {
        const QRect radio = input.control(radios[k])->geometry();
        EXPECT_TRUE(group.contains(radio)) << radios[k];
        if (k > 0) {
            EXPECT_GT(radio.left(), input.control(radios[k - 1])->geometry().right() + 20) << radios[k];
        }
    }
    auto* fractions = input.controlAs<QListWidget>(input_ids::kArgonFractionList);
    ASSERT_EQ(fractions->count(), 5);
    EXPECT_TRUE(group.contains(fractions->geometry()));
    for (int row = 0; row < fractions->count(); ++row) {
        const QRect item = fractions->visualItemRect(fractions->item(row));
        EXPECT_TRUE(fractions->viewport()->rect().contains(item)) << row;
        EXPECT_GE(item.width(), fractions->fontMetrics().horizontalAdvance(fractions->item(row)->text())) << row;
    }
}

// Where the progress window goes: beside the run dialog where the screen has
// room, else over the dialog's diagram, and always wholly on the screen.
TEST(ProgressPlacement, ClearOfTheRunDialogWhereTheScreenHasRoom) {
    const QSize progress(310, 190);
    // 1600 x 1200: right of a centred 730 x 560 dialog.
    const QRect wide(0, 0, 1600, 1200);
    const QRect dialog(435, 320, 730, 560);
    const QPoint right = progressWindowPosition(wide, dialog, progress);
    EXPECT_TRUE(wide.contains(QRect(right, progress)));
    EXPECT_GT(right.x(), dialog.right());

    // A dialog pushed to the right edge: the window goes left of it.
    const QRect atRight(860, 320, 730, 560);
    const QPoint left = progressWindowPosition(wide, atRight, progress);
    EXPECT_LT(left.x() + progress.width(), atRight.left());

    // 1280 x 1024 has room below a centred dialog only.
    const QRect tall(0, 0, 1280, 1024);
    const QRect centredTall(275, 232, 730, 560);
    const QPoint below = progressWindowPosition(tall, centredTall, progress);
    EXPECT_TRUE(tall.contains(QRect(below, progress)));
    EXPECT_GT(below.y(), centredTall.bottom());

    // 1024 x 768 has no room beside a centred dialog: the window lies over
    // the diagram (the left 408 pixels of the client area), on the screen.
    const QRect small(0, 0, 1024, 768);
    const QRect centred(147, 99, 730, 560);
    const QPoint over = progressWindowPosition(small, centred, progress);
    EXPECT_TRUE(small.contains(QRect(over, progress)));
    EXPECT_LE(over.x() + progress.width(), centred.left() + 17 + 391 + 8);
    EXPECT_GE(over.x(), centred.left());
}

} // namespace
} // namespace torvex
