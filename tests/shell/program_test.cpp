#include "shell/program.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QTextBrowser>

#include "platform/help_window.h"
#include "platform/launch.h"
#include "resources/bitmaps.h"
#include "shell/help_file.h"
#include "tests/shell/shell_fixture.h"

namespace torvex::test {
namespace {

TEST(CommandLine, StartedBackWhenItBeginsWithZero) {
    EXPECT_TRUE(isStartedBack("0"));
    EXPECT_TRUE(isStartedBack("05"));
    EXPECT_FALSE(isStartedBack(""));
    EXPECT_FALSE(isStartedBack("10"));
    EXPECT_FALSE(isStartedBack(" 0"));
    char prog[] = "torvex", a[] = "05", b[] = "x";
    char* argv[] = {prog, a, b, nullptr};
    EXPECT_EQ(commandLineOf(3, argv), "05 x");
    EXPECT_EQ(commandLineOf(1, argv), "");
}

// Only a screen too small for the windows earns the warning; colour depth
// and font size do not.
TEST(DisplayCheck, OnlyAScreenTooSmallForTheWindowsIsCautioned) {
    EXPECT_FALSE(displayNeedsCaution({1280, 1024, 32, 16}));
    EXPECT_FALSE(displayNeedsCaution({1024, 768, 24, 20}));
    EXPECT_FALSE(displayNeedsCaution({3840, 2160, 30, 32}));
    EXPECT_TRUE(displayNeedsCaution({800, 600, 16, 16}));
    EXPECT_TRUE(displayNeedsCaution({1366, 700, 24, 16}));
}

TEST(Pictures, HaveTheirSizesAndTheDiagramIsBlackAndWhite) {
    testApplication();
    EXPECT_EQ(plasmaBitmap().size(), QSize(302, 300));
    EXPECT_EQ(torvexBitmap().size(), QSize(167, 57));
    EXPECT_EQ(torvexIcon().size(), QSize(32, 32));
    const QImage inp = inpBitmap();
    ASSERT_EQ(inp.size(), QSize(391, 487));
    int black = 0;
    for (int y = 0; y < inp.height(); ++y) {
        for (int x = 0; x < inp.width(); ++x) {
            const QRgb c = inp.pixel(x, y) & 0xffffff;
            ASSERT_TRUE(c == 0 || c == 0xffffff) << x << "," << y;
            black += c == 0;
        }
    }
    EXPECT_GT(black, 5000);  // a drawing, not an empty sheet
}

TEST(Launch, FindsTheModuleBesideTheProgramFirst) {
    TempDir dir;
    dir.write("Kavel", "#!/bin/sh\n");
    const QString beside = QString::fromStdString(dir.path());
    EXPECT_TRUE(locateProgram(QStringLiteral("Kavel.exe"), beside).isEmpty());  // not executable
    QFile::setPermissions(QString::fromStdString(dir.file("Kavel")), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(locateProgram(QStringLiteral("Kavel.exe"), beside), QString::fromStdString(dir.file("Kavel")));
    EXPECT_FALSE(locateProgram(QStringLiteral("sh"), QString()).isEmpty());  // from PATH
}

TEST(Launch, WindowsNameFindsTheLowerCaseProgram) {
    TempDir dir;
    dir.write("kavel", "#!/bin/sh\n");
    QFile::setPermissions(QString::fromStdString(dir.file("kavel")), QFile::ReadOwner | QFile::ExeOwner);
    const QString beside = QString::fromStdString(dir.path());
    EXPECT_EQ(locateProgram(QStringLiteral("Kavel.exe"), beside), QString::fromStdString(dir.file("kavel")));
    // A path is taken as it is, and only if it can be run.
    EXPECT_EQ(locateProgram(QString::fromStdString(dir.file("kavel")), QString()),
              QString::fromStdString(dir.file("kavel")));
    EXPECT_TRUE(locateProgram(QString::fromStdString(dir.file("none")), beside).isEmpty());
}

TEST(Launch, MissingProgramIsNamedInTheReason) {
    testApplication();
    QString problem;
    EXPECT_FALSE(startProgram(QStringLiteral("NoSuchModule.exe"), {}, &problem));
    EXPECT_TRUE(problem.contains(QStringLiteral("nosuchmodule"))) << problem.toStdString();
    EXPECT_TRUE(problem.contains(QCoreApplication::applicationDirPath())) << problem.toStdString();
}

using HelpLookup = InTempDir;

TEST_F(HelpLookup, CopyInTheWorkingDirectoryComesFirst) {
    EXPECT_TRUE(helpFilePath().endsWith(QStringLiteral("resources/help/Torvex.hlp"))) << helpFilePath().toStdString();
    dir.write("Torvex.hlp", "<h2 id=\"own\">Own help</h2>");
    EXPECT_EQ(helpFilePath().toStdString(), dir.file("Torvex.hlp"));
}

TEST(Help, FileIsFoundAndListsItsTopics) {
    testApplication();
    const QString path = helpFilePath();
    ASSERT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
    EXPECT_TRUE(path.endsWith(QStringLiteral("Torvex.hlp")));
    HelpWindow help(path);
    EXPECT_GE(help.contentsList()->count(), 8);
    EXPECT_EQ(help.indexList()->count(), help.contentsList()->count());

    const auto topics = helpTopics(QStringLiteral(
        "<h2 id=\"a\">Units <i>x</i></h2><p>t</p><h3 id=\"b\">un.dat</h3><h4 id=\"c\">no</h4>"));
    ASSERT_EQ(topics.size(), 2u);
    EXPECT_EQ(topics[0].title.toStdString(), "Units x");
    EXPECT_EQ(topics[1].level, 3);
    EXPECT_EQ(topics[1].anchor.toStdString(), "b");
}

TEST(Help, MissingFileIsReportedInTheWindow) {
    testApplication();
    HelpWindow help(QStringLiteral("/nonexistent/Torvex.hlp"));
    EXPECT_EQ(help.contentsList()->count(), 0);
    EXPECT_TRUE(help.text()->toPlainText().contains(QStringLiteral("could not be opened")));
}

// The help window with the window manager's frame lies wholly on the screen:
// at its own size where that fits, made smaller where it does not.
TEST(Help, WindowOpensWhollyOnTheScreen) {
    const QMargins frame(4, 28, 4, 4);
    for (const QRect screen : {QRect(0, 0, 1024, 768), QRect(0, 0, 800, 600), QRect(0, 24, 1280, 1000)}) {
        const QRect window = helpWindowGeometry(screen, QSize(900, 640), frame);
        EXPECT_TRUE(screen.contains(window.marginsAdded(frame))) << screen.width();
        EXPECT_EQ(window.width(), std::min(900, screen.width() - 8));
    }
    // The text it tells about the lists: the current plays no part in them.
    QFile file(helpFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll()).simplified();
    EXPECT_FALSE(text.contains(QStringLiteral("the anode diameter and the arc current together decide")));
    EXPECT_TRUE(text.contains(QStringLiteral("plays no part")));
}

}  // namespace
}  // namespace torvex::test
