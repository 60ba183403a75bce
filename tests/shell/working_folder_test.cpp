#include "shell/working_folder.h"

#include <QAction>
#include <QDir>
#include <filesystem>

#include "shell/main_window.h"
#include "tests/shell/shell_fixture.h"

namespace torvex::test {
namespace {

namespace fs = std::filesystem;

QString qPath(const std::string& path) { return QDir::cleanPath(QString::fromStdString(path)); }

// Every name in a directory, sorted, joined by blanks.
std::string listing(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string text;
    for (const auto& n : names) text += (text.empty() ? "" : " ") + n;
    return text;
}

// The user's home (and so ~/TORVEX and the settings) in a temporary folder
// for the life of the test.
class ScopedHome {
public:
    ScopedHome() : home_(qgetenv("HOME")), config_(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("HOME", QByteArray::fromStdString(dir.path()));
        qunsetenv("XDG_CONFIG_HOME");
    }
    ~ScopedHome() {
        qputenv("HOME", home_);
        if (!config_.isEmpty()) qputenv("XDG_CONFIG_HOME", config_);
    }
    TempDir dir;

private:
    QByteArray home_, config_;
};

class Folders : public InTempDir {
protected:
    ScopedHome home;
};

TEST(StartFolder, StaysWhereAVariantIsOrWhenStartedBack) {
    TempDir here;
    const QString current = qPath(here.path());
    const QString fallback = QStringLiteral("/somewhere/TORVEX");
    EXPECT_EQ(startFolder(current, fallback, false), fallback);
    EXPECT_EQ(startFolder(current, fallback, true), current);  // the sibling module chose the folder
    here.write("ip.dat", " 1  8.00 14.00  500  35\n");
    EXPECT_EQ(startFolder(current, fallback, false), current);
    fs::remove(here.file("ip.dat"));
    here.write("un.dat", "1 1 1 1 \n");
    EXPECT_EQ(startFolder(current, fallback, false), current);
}

TEST_F(Folders, StartWithoutVariantUsesTheHomeFolderAndWritesNothingHere) {
    const std::string here = dir.path();
    ASSERT_EQ(enterStartFolder(false), QString());
    const QString own = qPath(home.dir.file("TORVEX"));
    EXPECT_EQ(defaultWorkingFolder(), own);
    EXPECT_EQ(QDir::currentPath(), own);
    {
        MainWindow w(false);
        EXPECT_EQ(w.shownWorkingFolder(), QStringLiteral("Working folder: ") + own);
        w.runCommand(menu::kExit);
    }
    EXPECT_EQ(listing(here), "");
    EXPECT_EQ(listing(own.toStdString()), "un.dat");
    EXPECT_EQ(recentFolders(), QStringList{own});

    // The next start from the desktop finds the folder as it was left.
    fs::current_path(here);
    ASSERT_EQ(enterStartFolder(false), QString());
    EXPECT_EQ(QDir::currentPath(), own);
}

TEST_F(Folders, StartInAVariantFolderStaysThere) {
    dir.write("un.dat", "2 1 2 2 \n");
    ASSERT_EQ(enterStartFolder(false), QString());
    EXPECT_EQ(QDir::currentPath(), qPath(dir.path()));
    EXPECT_FALSE(fs::exists(home.dir.file("TORVEX")));
}

TEST_F(Folders, SwitchingCarriesTheUnitsAndEndsTheShownVariant) {
    dir.write("un.dat", "2 3 2 2 \n");
    TempDir fresh, other;
    other.write("un.dat", "1 2 1 1 \n");
    MainWindow w(false);
    w.applyMenuEvent(MenuEvent::PreviousOk);
    w.setSprayLaunchAllowed(true);
    w.setCurrentView(view::kAllCharts);

    ASSERT_TRUE(w.switchWorkingFolder(qPath(fresh.path())));
    EXPECT_EQ(QDir::currentPath(), qPath(fresh.path()));
    EXPECT_EQ(w.shownWorkingFolder(), workingFolderCaption(qPath(fresh.path())));
    EXPECT_EQ(fresh.read("un.dat"), "2 3 2 2 \n");  // the units in use, for the solver
    EXPECT_EQ(w.currentView(), view::kNothing);
    EXPECT_FALSE(w.sprayLaunchAllowed());
    EXPECT_FALSE(w.action(menu::kAllCharts)->isEnabled());

    // A folder with its own units brings them back; the one left keeps its own.
    w.unitCodes().temperature = 1;
    ASSERT_TRUE(w.switchWorkingFolder(qPath(other.path())));
    EXPECT_EQ(w.unitCodes().length, 1);
    EXPECT_EQ(w.unitCodes().temperature, 2);
    EXPECT_EQ(fresh.read("un.dat"), "2 1 2 2 \n");
    EXPECT_EQ(dir.read("un.dat"), "2 3 2 2 \n");
    EXPECT_EQ(recentFolders(), (QStringList{qPath(other.path()), qPath(fresh.path())}));
}

TEST_F(Folders, UnwritableOrMissingFolderIsRefusedAndNothingChanges) {
    dir.write("un.dat", "2 3 2 2 \n");
    MainWindow w(false);
    w.applyMenuEvent(MenuEvent::PreviousOk);
    w.setSprayLaunchAllowed(true);
    const QString before = w.shownWorkingFolder();
    // /proc takes no new files, not even from root; a file is no folder.
    for (const QString& bad : {QStringLiteral("/proc"), qPath(dir.file("un.dat")), qPath(dir.file("gone"))}) {
        EXPECT_NE(folderProblem(bad), QString()) << bad.toStdString();
        ModalCloser closer;
        EXPECT_FALSE(w.switchWorkingFolder(bad)) << bad.toStdString();
        EXPECT_EQ(closer.closed(), 1) << "no message for " << bad.toStdString();
    }
    EXPECT_TRUE(folderProblem(QStringLiteral("/proc")).contains(QStringLiteral("/proc cannot be written")));
    EXPECT_EQ(QDir::currentPath(), qPath(dir.path()));
    EXPECT_EQ(w.shownWorkingFolder(), before);
    EXPECT_TRUE(w.sprayLaunchAllowed());
    EXPECT_TRUE(w.action(menu::kAllCharts)->isEnabled());
    EXPECT_EQ(listing(dir.path()), "un.dat");  // no probe file left behind
    EXPECT_EQ(recentFolders(), QStringList());
}

TEST(RecentFolders, NewestFirstWithoutRepeatsAndBounded) {
    const QStringList recent = {"/a", "/b", "/c/../c", "/d", "/e", "/f"};
    EXPECT_EQ(withFolderFirst(recent, "/c"), (QStringList{"/c", "/a", "/b", "/d", "/e", "/f"}));
    const QStringList seven = withFolderFirst(recent, "/g");
    EXPECT_EQ(seven.size(), kRecentFolderCount);
    EXPECT_EQ(seven.front(), "/g");
    EXPECT_FALSE(seven.contains("/f"));
}

TEST_F(Folders, RecentListOffersOnlyFoldersThatStillExist) {
    TempDir kept;
    {
        TempDir removed;
        rememberFolder(qPath(removed.path()));
        rememberFolder(qPath(kept.path()));
    }
    EXPECT_EQ(recentFolders(), QStringList{qPath(kept.path())});
}

TEST_F(Folders, CommandFollowsTheStateOfNew) {
    MainWindow w(false);
    QAction* folder = w.action(menu::kWorkingFolder);
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(folder->text(), QStringLiteral("&Working Folder\u2026"));
    w.applyMenuEvent(MenuEvent::Start);
    EXPECT_TRUE(folder->isEnabled());
    w.action(menu::kNew)->setEnabled(false);
    EXPECT_FALSE(folder->isEnabled());
    w.action(menu::kNew)->setEnabled(true);
    EXPECT_TRUE(folder->isEnabled());
}

}  // namespace
}  // namespace torvex::test
