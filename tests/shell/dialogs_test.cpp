#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QWindow>

#include "platform/package_version.h"
#include "shell/auxiliary_dialogs.h"
#include "shell/main_window.h"
#include "shell/units_dialog.h"
#include "tests/shell/shell_fixture.h"

namespace torvex::test {
namespace {

using namespace units_dialog;
using Units = InTempDir;
using Dialogs = InTempDir;

void click(TorvexDialog& d, int id) { d.controlAs<QAbstractButton>(id)->click(); }

void press(QWidget& w, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

TEST_F(Units, InchesFahrenheitScfhAreWrittenAndShownAgain) {
    dir.write("un.dat", "1 1 1 1 \n");
    MainWindow main(false);
    {
        UnitsDialog d(main);
        EXPECT_TRUE(d.isChecked(kMetricLengths));
        EXPECT_TRUE(d.isChecked(kKelvin));
        EXPECT_TRUE(d.isChecked(kSlpm));
        click(d, kInches);
        click(d, kFahrenheit);
        click(d, kScfh);
        click(d, kOk);
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
    EXPECT_EQ(dir.read("un.dat"), "2 2 2 2 \n");

    main.unitCodes() = UnitCodes{};
    UnitsDialog again(main);
    for (int id : {kInches, kFahrenheit, kScfh}) EXPECT_TRUE(again.isChecked(id)) << id;
    for (int id : {kMetricLengths, kKelvin, kCelsius, kSlpm}) EXPECT_FALSE(again.isChecked(id)) << id;
}

TEST_F(Units, UnknownTemperatureCodeChecksNoneAndOkStoresCelsius) {
    dir.write("un.dat", "1 0 1 1 \n");
    MainWindow main(false);
    UnitsDialog d(main);
    for (int id : {kKelvin, kFahrenheit, kCelsius}) EXPECT_FALSE(d.isChecked(id)) << id;
    press(d, Qt::Key_Return);  // the default button, "OK"
    EXPECT_EQ(main.unitCodes().temperature, 3);
    EXPECT_EQ(dir.read("un.dat"), "1 3 1 1 \n");
}

TEST_F(Units, RadioGroupsAreExclusiveWithinThemselvesOnly) {
    MainWindow main(false);
    UnitsDialog d(main);
    click(d, kCelsius);
    click(d, kInches);
    EXPECT_TRUE(d.isChecked(kCelsius));
    EXPECT_FALSE(d.isChecked(kKelvin));
    EXPECT_TRUE(d.isChecked(kSlpm));
}

TEST_F(Dialogs, GeometryIsTwoPixelsPerDialogUnit) {
    EXPECT_EQ(dialogSizeToPixels(361, 262), QSize(722, 524));
    MainWindow main(false);
    UnitsDialog units(main);
    EXPECT_EQ(units.size(), QSize(380, 182));
    EXPECT_EQ(units.windowTitle().toStdString(), "  Units");
    EXPECT_EQ(units.control(kScfh)->geometry(), QRect(282, 76, 70, 30));
    EXPECT_EQ(units.control(kOk)->geometry(), QRect(308, 140, 58, 28));
    CautionDialog caution(&main);
    EXPECT_EQ(caution.size(), QSize(370, 256));
    EXPECT_EQ(caution.palette().color(QPalette::Window), QColor(194, 194, 194));
    CannotCalculateDialog cannot(&main);
    EXPECT_EQ(cannot.size(), QSize(266, 162));
    // The template names, as the other dialogs carry theirs.
    EXPECT_EQ(units.objectName(), "UNITES");
    EXPECT_EQ(caution.objectName(), "CAUTION");
    EXPECT_EQ(cannot.objectName(), "NEDOBRE");
}

TEST_F(Dialogs, EnterAndEscapeFollowTheIds) {
    TorvexDialog d(nullptr, QStringLiteral("t"), 100, 60);
    QListWidget* list = d.addListBox(801, {5, 5, 40, 40});
    d.addPushButton(1, QStringLiteral("OK"), {50, 5, 30, 14});
    QPushButton* other = d.addPushButton(7, QStringLiteral("Other"), {50, 25, 30, 14});
    std::vector<int> commands;
    QObject::connect(&d, &TorvexDialog::command, [&](int id) { commands.push_back(id); });
    d.show();

    // Focus on a list and no default button: Enter means id 1.
    list->setFocus();
    press(d, Qt::Key_Return);
    // Focus on a push button: Enter means that button.
    other->setFocus();
    press(d, Qt::Key_Enter);
    // No control with id 2: Escape does nothing and the dialog stays.
    press(d, Qt::Key_Escape);
    EXPECT_EQ(commands, (std::vector<int>{1, 7}));
    EXPECT_TRUE(d.isVisible());

    d.addPushButton(2, QStringLiteral("Cancel"), {50, 45, 30, 14});
    press(d, Qt::Key_Escape);
    EXPECT_EQ(commands.back(), 2);
}

TEST_F(Dialogs, CautionContinuesByDefaultAndOnlyQuitEnds) {
    CautionDialog enter(nullptr, 800, 600);
    press(enter, Qt::Key_Return);
    EXPECT_TRUE(enter.continueProgram());
    CautionDialog escape(nullptr);
    press(escape, Qt::Key_Escape);
    EXPECT_TRUE(escape.continueProgram());
    CautionDialog quit(nullptr);
    quit.show();
    quit.controlAs<QPushButton>(3)->click();
    EXPECT_FALSE(quit.continueProgram());
    const QString text = enter.findChildren<QLabel*>().front()->text();
    EXPECT_TRUE(text.contains(QStringLiteral("800 \u00d7 600")));
    EXPECT_FALSE(text.contains(QStringLiteral("Windows")) || text.contains(QStringLiteral("Color")));
}

// The window manager's close box reaches a dialog as a close of its window:
// it acts as Escape (the control with id 2) or, without one, closes the
// dialog alone. It never ends the program.
TEST_F(Dialogs, CloseBoxActsAsEscapeAndLeavesTheProgramOpen) {
    dir.write("un.dat", "2 1 1 1 \n");
    MainWindow main(false);
    CannotCalculateDialog message(&main);
    message.show();
    ASSERT_NE(message.windowHandle(), nullptr);
    message.windowHandle()->close();
    EXPECT_FALSE(message.isVisible());
    EXPECT_FALSE(main.closed());

    CautionDialog caution(&main);
    caution.show();
    caution.windowHandle()->close();
    EXPECT_TRUE(caution.continueProgram()) << "the close box is the Caution dialog's Cancel";
    EXPECT_FALSE(main.closed());

    TorvexDialog d(&main, QStringLiteral("Test"), 100, 60);
    std::vector<int> commands;
    QObject::connect(&d, &TorvexDialog::command, [&](int id) { commands.push_back(id); });
    auto* cancel = d.addPushButton(2, QStringLiteral("Cancel"), {50, 45, 30, 14});
    d.show();
    d.windowHandle()->close();
    EXPECT_EQ(commands, (std::vector<int>{2}));
    cancel->setEnabled(false);  // as during a run: nothing happens
    d.closeFromTitleBar();
    EXPECT_EQ(commands, (std::vector<int>{2}));
    EXPECT_TRUE(d.isVisible());
    EXPECT_FALSE(main.closed());
}

TEST_F(Dialogs, AboutBoxCarriesNameAndVersion) {
    AboutBox about(nullptr);
    EXPECT_EQ(about.size(), QSize(490, 322));
    EXPECT_EQ(about.controlAs<QLabel>(109)->text().toStdString(), std::string("Version ") + kPackageVersion);
    EXPECT_EQ(about.control(1)->geometry(), QRect(418, 284, 52, 24));
}

}  // namespace
}  // namespace torvex::test
