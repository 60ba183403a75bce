// The program's one top-level window: the menu with its command table and
// menu states, the unit codes, the shared chart font and the current view.
#pragma once

#include <QMainWindow>
#include <map>

#include "charts/chart_pages.h"
#include "pages/variant_summary.h"
#include "platform/font_description.h"
#include "shell/value_readout.h"
#include "solver/files.h"

class QAction;
class QLabel;
class QMenu;
class QPainter;

namespace torvex {

class ClientArea;
class ElidedLabel;

// Menu item ids; the numbers are the ones the dialogs and tests address.
namespace menu {
constexpr int kAllCharts = 200;
constexpr int kNew = 201;
constexpr int kPrevious = 202;
constexpr int kIsothermalLines = 203;
constexpr int kRadialDistributions = 204;
constexpr int kAxialDistributions = 206;
constexpr int kExit = 209;
constexpr int kHelpContents = 211;
constexpr int kAbout = 212;
constexpr int kCloseVariant = 214;
constexpr int kSimulationOfSprayParticles = 40013;
constexpr int kUnits = 40014;
constexpr int kPrintAllCharts = 40015;
constexpr int kPrintIsothermalLines = 40016;
constexpr int kPrintRadialDistributions = 40017;
constexpr int kPrintAxialDistributions = 40018;
constexpr int kWorkingFolder = 40019;
constexpr int kExportView = 40020;
}  // namespace menu

// The chart page the main window paints, named after its menu items; the
// numbers are those of the chart pages.
namespace view {
constexpr int kNothing = kViewNothing;
constexpr int kAllCharts = kViewAllCharts;
constexpr int kIsothermalLines = kViewIsotherms;
constexpr int kRadialDistributions = kViewRadial;
constexpr int kAxialDistributions = kViewAxial;
}  // namespace view

// Events that change which menu commands are available. PreviousDismissed:
// the Previous-variant dialog closed without "OK" while a variant exists.
// Previous is available after Start, CloseVariant, RunBack and PreviousOk
// whenever the working folder holds a finished result set; PreviousOk also
// shows the all-charts page when no page is chosen and adds the variant to
// the recent variants.
enum class MenuEvent { Start, CloseVariant, RunBack, RunCancel, PreviousOk, PreviousDismissed };

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // In started-back mode un.dat is not read at creation.
    explicit MainWindow(bool startedBack, QWidget* parent = nullptr);
    ~MainWindow() override;

    UnitCodes& unitCodes() { return unitCodes_; }
    // The program's one chart font description, shared with every painter.
    FontDescription& chartFont();

    // Reads a unit file into the unit codes. A missing un.dat or one holding
    // fewer than three codes gives metric, kelvin, SLPM and is rewritten with
    // those codes so the solver finds it; a missing or broken unp.dat leaves
    // the codes in memory as they are. True when the file held the codes.
    bool readUnitFile(const char* fileName);
    // Writes the unit codes to a unit file (only once codes have been loaded);
    // false when the file could not be written.
    bool writeUnitFile(const char* fileName) const;
    // True once the codes in memory came from a unit file or its fallback.
    bool unitCodesLoaded() const { return unitCodesLoaded_; }

    // Sets the menu states of the event. The window never shows a chart the
    // menu does not offer: when the chart views become unavailable the view
    // is cleared.
    void applyMenuEvent(MenuEvent e);

    int currentView() const { return currentView_; }
    void setCurrentView(int v) { currentView_ = v; }

    bool sprayLaunchAllowed() const { return sprayLaunchAllowed_; }
    // The program "&Simulation of Spray Particles" starts beside this window
    // ("Kavel.exe", found as `kavel`); a path names one program exactly.
    void setSprayModuleProgram(const QString& program) { sprayModuleProgram_ = program; }
    void setSprayLaunchAllowed(bool allowed) { sprayLaunchAllowed_ = allowed; }

    // Erases the client area and paints the current view at once.
    void repaintView();

    // Runs one command of the menu, as choosing the item does.
    void runCommand(int id);
    // The menu item with this id (nullptr if none).
    QAction* action(int id) const;

    // Makes the folder the working directory of this program and of the
    // module it starts: the units are saved in the old folder and taken from
    // (or written to) the new one, and a shown variant is closed, since its
    // files stay behind. A folder that cannot be written is refused with a
    // message and nothing changes. Returns whether the folder was entered.
    bool switchWorkingFolder(const QString& folder);
    // The folder shown in the status bar.
    QString shownWorkingFolder() const;
    // The status bar's readout for a point of the client area: the position
    // and value under it in the chart's units, or "" outside every plot.
    QString readoutAt(int x, int y) const;

    // True once the window has been closed, which ends the program.
    bool closed() const { return closed_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createMenus();
    QAction* addCommand(QMenu* menu, const QString& caption, int id);
    void setAvailable(int id, bool available);
    void setAvailable(std::initializer_list<int> ids, bool available);
    void closeVariant();
    void startSprayModule();
    void openHelpContents();
    void showView(int v);
    void newVariant();
    void previousVariant();
    void openUnitsDialog();
    void chooseWorkingFolder();
    void showWorkingFolder();
    void paintClientArea(QPainter& painter);
    // The page kept for the client area shows another view or other units.
    bool pageOutdated() const;
    void showReadout(int x, int y);
    void exportView();
    void rememberShownVariant();
    void fillRecentVariantsMenu();
    void openRecentVariant(const QString& folder);

    bool startedBack_;
    UnitCodes unitCodes_;
    bool unitCodesLoaded_ = false;
    bool closed_ = false;
    int currentView_ = view::kNothing;
    bool sprayLaunchAllowed_ = false;
    QString sprayModuleProgram_ = QStringLiteral("Kavel.exe");
    // The spray module last started from here, and its folder.
    qint64 sprayModuleId_ = 0;
    QString sprayModuleFolder_;
    std::map<int, QAction*> actions_;
    ClientArea* clientArea_ = nullptr;
    ElidedLabel* folderLabel_ = nullptr;
    QMenu* printMenu_ = nullptr;
    QMenu* recentVariantsMenu_ = nullptr;
    PlotReadout readout_;  // the plots of the page last painted
    int paintedView_ = view::kNothing;
    UnitCodes paintedUnits_;
};

}  // namespace torvex
