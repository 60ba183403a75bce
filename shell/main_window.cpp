#include "shell/main_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <functional>

#include "charts/chart_font.h"
#include "charts/page_rect.h"
#include "platform/elided_label.h"
#include "platform/help_window.h"
#include "platform/launch.h"
#include "platform/painter_context.h"
#include "shell/chart_view.h"
#include "shell/export_view.h"
#include "shell/help_file.h"
#include "shell/messages.h"
#include "shell/units_dialog.h"
#include "shell/working_folder.h"
#include "variant/variant_commands.h"
#include "pages/variant_summary.h"

namespace torvex {

namespace {

}  // namespace

// The white client area under the menu, where the chart pages are painted;
// it follows the pointer for the value readout. The page is kept as a
// picture, so that the markers of the readout move over it without the page
// being painted anew at every move of the pointer.
class ClientArea : public QWidget {
public:
    ClientArea(QWidget* parent, std::function<void(QPainter&)> paint, std::function<bool()> pageOutdated,
               std::function<void(int, int)> pointer)
        : QWidget(parent), paint_(std::move(paint)), pageOutdated_(std::move(pageOutdated)), pointer_(std::move(pointer)) {
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::white);
        setPalette(p);
        setAutoFillBackground(true);
        setMouseTracking(true);
    }
    // The page is painted afresh at the next paint (the view, the units or
    // the files changed).
    void invalidate() { page_ = QPixmap(); }
    void setMarkers(std::vector<ReadoutMarker> markers) {
        markers_ = std::move(markers);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const qreal ratio = devicePixelRatioF();
        if (page_.isNull() || page_.size() != size() * ratio || pageOutdated_()) {
            page_ = QPixmap(size() * ratio);
            page_.setDevicePixelRatio(ratio);
            page_.fill(Qt::white);
            QPainter pagePainter(&page_);
            paint_(pagePainter);
        }
        QPainter painter(this);
        painter.drawPixmap(0, 0, page_);
        painter.setRenderHint(QPainter::Antialiasing);
        for (const ReadoutMarker& m : markers_) {
            const QColor colour(m.colour.red, m.colour.green, m.colour.blue);
            painter.setPen(QPen(colour, 2));
            painter.setBrush(Qt::white);
            painter.drawEllipse(QPoint(m.at.x, m.at.y), 5, 5);
        }
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        const QPoint p = event->position().toPoint();
        pointer_(p.x(), p.y());
    }
    void leaveEvent(QEvent*) override { pointer_(-1, -1); }

private:
    std::function<void(QPainter&)> paint_;
    std::function<bool()> pageOutdated_;
    std::function<void(int, int)> pointer_;
    QPixmap page_;
    std::vector<ReadoutMarker> markers_;
};

namespace {

// A recent variant as its folder holds it now, as the Previous-variant
// dialog shows it (older entries were saved without the gas's subscript);
// the saved words where the folder says too little.
QString recentDescription(const RecentVariant& v) {
    const std::string dir = QFile::encodeName(v.folder).toStdString();
    const std::optional<UnitCodes> units = runUnitsIn(dir);
    const std::string text = variantDescription(previousVariantSummary(
        dir + "/" + kIntegralParametersFile, units.has_value(), units.value_or(UnitCodes{})));
    return text.empty() ? v.description : QString::fromStdString(text);
}

// Whole pixels of a fraction of a screen dimension, cut toward zero.
int fractionOf(int pixels, double fraction) { return static_cast<int>(pixels * fraction); }

const int kViewCommands[] = {menu::kAllCharts, menu::kIsothermalLines, menu::kRadialDistributions,
                             menu::kAxialDistributions};
const int kPrintCommands[] = {menu::kPrintAllCharts, menu::kPrintIsothermalLines,
                              menu::kPrintRadialDistributions, menu::kPrintAxialDistributions};

// A length or flow code other than 1 and 2 has no parameter dialog.
bool hasParameterDialog(const UnitCodes& codes) {
    return (codes.length == 1 || codes.length == 2) && (codes.flow == 1 || codes.flow == 2);
}

}  // namespace

FontDescription& MainWindow::chartFont() { return torvex::chartFont(); }

MainWindow::MainWindow(bool startedBack, QWidget* parent) : QMainWindow(parent), startedBack_(startedBack) {
    setWindowTitle(QStringLiteral("  T O R V E X - Simulation of Plasma Jet"));
    torvex::chartFont() = initialChartFont();
    createMenus();
    clientArea_ = new ClientArea(
        this, [this](QPainter& painter) { paintClientArea(painter); }, [this] { return pageOutdated(); },
        [this](int x, int y) { showReadout(x, y); });
    setCentralWidget(clientArea_);
    // The folder the variant's files go to, always in sight; the rest of the
    // status bar is free for messages.
    folderLabel_ = new ElidedLabel(this);
    statusBar()->addPermanentWidget(folderLabel_);
    showWorkingFolder();

    // The window opens at 95 % of the screen in each direction; it can be
    // made as small as half a screen, for TORVEX and Kavel side by side.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect display = screen->geometry();
        setGeometry(0, 0, fractionOf(display.width(), 0.95), fractionOf(display.height(), 0.95));
        move(display.topLeft());
    }

    if (!startedBack_) {
        readUnitFile(kUnitFile);
    }
}

MainWindow::~MainWindow() = default;

// ----- menu ------------------------------------------------------------------

QAction* MainWindow::addCommand(QMenu* menu, const QString& caption, int id) {
    QAction* a = menu->addAction(caption);
    a->setData(id);
    connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
    actions_[id] = a;
    return a;
}

void MainWindow::createMenus() {
    QMenu* variant = menuBar()->addMenu(QStringLiteral("&Variant"));
    addCommand(variant, QStringLiteral("&New"), menu::kNew);
    addCommand(variant, QStringLiteral("&Previous"), menu::kPrevious);
    variant->addSeparator();
    // Choosing the folder is allowed whenever a new variant may be begun.
    QAction* newVariant = action(menu::kNew);
    QAction* folder = addCommand(variant, QStringLiteral("&Working Folder\u2026"), menu::kWorkingFolder);
    connect(newVariant, &QAction::changed, folder,
            [newVariant, folder] { folder->setEnabled(newVariant->isEnabled()); });
    // The calculated variants of recent folders, to get back to one directly.
    recentVariantsMenu_ = variant->addMenu(QStringLiteral("&Recent Variants"));
    connect(recentVariantsMenu_, &QMenu::aboutToShow, this, [this] { fillRecentVariantsMenu(); });
    connect(newVariant, &QAction::changed, recentVariantsMenu_,
            [this, newVariant] { recentVariantsMenu_->setEnabled(newVariant->isEnabled()); });
    addCommand(variant, QStringLiteral("&Units"), menu::kUnits);
    variant->addSeparator();
    addCommand(variant, QStringLiteral("E&xit"), menu::kExit);

    QMenu* charts = menuBar()->addMenu(QStringLiteral("&Charts"));
    addCommand(charts, QStringLiteral("&All Charts"), menu::kAllCharts);
    addCommand(charts, QStringLiteral("&Isothermal Lines"), menu::kIsothermalLines);
    addCommand(charts, QStringLiteral("&Radial Distributions"), menu::kRadialDistributions);
    addCommand(charts, QStringLiteral("A&xial Distributions"), menu::kAxialDistributions);
    charts->addSeparator();
    QMenu* print = charts->addMenu(QStringLiteral("&Print"));
    printMenu_ = print;
    addCommand(print, QStringLiteral("&All Charts"), menu::kPrintAllCharts);
    addCommand(print, QStringLiteral("&Isothermal Lines"), menu::kPrintIsothermalLines);
    addCommand(print, QStringLiteral("&Radial Distributions"), menu::kPrintRadialDistributions);
    addCommand(print, QStringLiteral("A&xial Distributions"), menu::kPrintAxialDistributions);
    addCommand(charts, QStringLiteral("&Export\u2026"), menu::kExportView);
    charts->addSeparator();
    addCommand(charts, QStringLiteral("&Close Variant"), menu::kCloseVariant);

    QMenu* next = menuBar()->addMenu(QStringLiteral("&Next"));
    addCommand(next, QStringLiteral("&Simulation of Spray Particles"), menu::kSimulationOfSprayParticles);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    addCommand(help, QStringLiteral("&Contents"), menu::kHelpContents);
    help->addSeparator();
    addCommand(help, QStringLiteral("&About"), menu::kAbout);
}

QAction* MainWindow::action(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void MainWindow::setAvailable(int id, bool available) {
    if (QAction* a = action(id)) {
        a->setEnabled(available);
    }
}

void MainWindow::setAvailable(std::initializer_list<int> ids, bool available) {
    for (int id : ids) {
        setAvailable(id, available);
    }
}

void MainWindow::applyMenuEvent(MenuEvent e) {
    const bool variantShown = e == MenuEvent::PreviousOk;
    switch (e) {
        case MenuEvent::Start:
        case MenuEvent::CloseVariant:
        case MenuEvent::RunBack:
        case MenuEvent::PreviousOk:
            // A variant calculated earlier stays within reach as long as its
            // results are in the folder.
            setAvailable(menu::kPrevious, holdsFinishedResultSet(QDir::currentPath()));
            for (int id : kViewCommands) {
                setAvailable(id, variantShown);
            }
            for (int id : kPrintCommands) {
                setAvailable(id, variantShown);
            }
            setAvailable(menu::kExportView, variantShown);
            setAvailable({menu::kCloseVariant, menu::kSimulationOfSprayParticles}, variantShown);
            break;
        case MenuEvent::RunCancel:
            // The views, printing and Close Variant stay as they were.
            setAvailable(menu::kPrevious, true);
            setAvailable(menu::kSimulationOfSprayParticles, false);
            break;
        case MenuEvent::PreviousDismissed:
            setAvailable(menu::kPrevious, true);
            break;
    }
    // A submenu whose every item is grey is grey itself.
    printMenu_->setEnabled(action(menu::kPrintAllCharts)->isEnabled());
    if (currentView_ != view::kNothing && !action(menu::kAllCharts)->isEnabled()) {
        currentView_ = view::kNothing;
        repaintView();
    }
    if (variantShown) {
        // The variant just confirmed is shown at once, not a blank window.
        if (currentView_ == view::kNothing) currentView_ = view::kAllCharts;
        rememberShownVariant();
    }
}

void MainWindow::rememberShownVariant() {
    UnitCodes runUnits;
    const bool unitsKnown = readUnitCodes(kPreviousUnitFile, runUnits);
    const std::string description =
        variantDescription(previousVariantSummary(kIntegralParametersFile, unitsKnown, runUnits));
    rememberVariant({QDir::currentPath(), QString::fromStdString(description)});
}

void MainWindow::fillRecentVariantsMenu() {
    recentVariantsMenu_->clear();
    const QList<RecentVariant> variants = recentVariants();
    if (variants.isEmpty()) {
        recentVariantsMenu_->addAction(QStringLiteral("(no calculated variant yet)"))->setEnabled(false);
        return;
    }
    int number = 0;
    for (const RecentVariant& v : variants) {
        // Numbered, so that each entry has its own key: &1 to &9, then none.
        ++number;
        const QString key = number <= 9 ? QStringLiteral("&%1  ").arg(number) : QString();
        // An "&" in a folder name is shown, not taken for a key.
        const QString shown =
            QStringLiteral("%1  \u2014  %2").arg(recentDescription(v), QDir::toNativeSeparators(v.folder));
        const QString caption = key + QString(shown).replace(QLatin1Char('&'), QStringLiteral("&&"));
        const QString folder = v.folder;
        connect(recentVariantsMenu_->addAction(caption), &QAction::triggered, this,
                [this, folder] { openRecentVariant(folder); });
    }
}

void MainWindow::openRecentVariant(const QString& folder) {
    if (QDir(folder) != QDir::current() && !switchWorkingFolder(folder)) return;
    if (!holdsFinishedResultSet(QDir::currentPath())) {
        QMessageBox::warning(this, QStringLiteral("Recent Variants"),
                             QStringLiteral("%1 no longer holds a calculated variant.")
                                 .arg(QDir::toNativeSeparators(folder)));
        return;
    }
    runCommand(menu::kPrevious);
}

// ----- commands ----------------------------------------------------------------

void MainWindow::runCommand(int id) {
    switch (id) {
        case menu::kNew:
            newVariant();
            repaintView();
            break;
        case menu::kPrevious:
            previousVariant();
            repaintView();
            break;
        case menu::kUnits:
            openUnitsDialog();
            break;
        case menu::kWorkingFolder:
            chooseWorkingFolder();
            break;
        case menu::kExit:
            writeUnitFile(kUnitFile);
            close();
            break;
        case menu::kAllCharts:
            showView(view::kAllCharts);
            break;
        case menu::kIsothermalLines:
            showView(view::kIsothermalLines);
            break;
        case menu::kRadialDistributions:
            showView(view::kRadialDistributions);
            break;
        case menu::kAxialDistributions:
            showView(view::kAxialDistributions);
            break;
        case menu::kPrintAllCharts:
            printView(this, view::kAllCharts, unitCodes_);
            break;
        case menu::kPrintIsothermalLines:
            printView(this, view::kIsothermalLines, unitCodes_);
            break;
        case menu::kPrintRadialDistributions:
            printView(this, view::kRadialDistributions, unitCodes_);
            break;
        case menu::kPrintAxialDistributions:
            printView(this, view::kAxialDistributions, unitCodes_);
            break;
        case menu::kExportView:
            exportView();
            break;
        case menu::kCloseVariant:
            closeVariant();
            break;
        case menu::kSimulationOfSprayParticles:
            startSprayModule();
            break;
        case menu::kHelpContents:
            openHelpContents();
            break;
        case menu::kAbout:
            showAboutBox(this);
            break;
        default:
            break;
    }
}

void MainWindow::newVariant() {
    readUnitFile(kUnitFile);
    if (hasParameterDialog(unitCodes_)) {
        openParameterInput(*this);
    }
}

void MainWindow::previousVariant() {
    openPreviousVariant(*this);
}

void MainWindow::openUnitsDialog() {
    UnitsDialog dialog(*this);
    dialog.exec();
    // The page shown takes the units chosen at once, not at the next pointer
    // move or page chosen.
    repaintView();
}

void MainWindow::chooseWorkingFolder() {
    const QString chosen = askForFolder(this, QDir::currentPath(), recentFolders());
    if (chosen.isEmpty()) {
        return;
    }
    if (!QFileInfo::exists(chosen)) {
        const auto answer =
            QMessageBox::question(this, QStringLiteral("Working Folder"),
                                  QStringLiteral("The folder %1 does not exist. Create it?").arg(chosen));
        if (answer != QMessageBox::Yes) {
            return;
        }
        const QString problem = createFolder(chosen);
        if (!problem.isEmpty()) {
            QMessageBox::warning(this, QStringLiteral("Working Folder"), problem);
            return;
        }
    }
    switchWorkingFolder(chosen);
}

bool MainWindow::switchWorkingFolder(const QString& folder) {
    const QString stays =
        QStringLiteral(" The working folder stays %1.").arg(QDir::toNativeSeparators(QDir::currentPath()));
    const QString problem = folderProblem(folder);
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Working Folder"), problem + stays);
        return false;
    }
    writeUnitFile(kUnitFile);  // the old folder keeps the units it was left with
    const QString entered = enterWorkingFolder(folder);
    if (!entered.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Working Folder"), entered + stays);
        return false;
    }
    // The charts would read the new folder's files: the variant shown ends.
    closeVariant();
    if (unitCodesLoaded_ && !QFileInfo::exists(QString::fromLatin1(kUnitFile))) {
        writeUnitFile(kUnitFile);  // a fresh folder starts with the units in use
    } else {
        readUnitFile(kUnitFile);
    }
    rememberFolder(QDir::currentPath());
    showWorkingFolder();
    return true;
}

QString MainWindow::shownWorkingFolder() const { return folderLabel_->fullText(); }

void MainWindow::showWorkingFolder() { folderLabel_->setFullText(workingFolderCaption(QDir::currentPath())); }

void MainWindow::showView(int v) {
    currentView_ = v;
    repaintView();
}

void MainWindow::closeVariant() {
    currentView_ = view::kNothing;
    repaintView();
    applyMenuEvent(MenuEvent::CloseVariant);
    sprayLaunchAllowed_ = false;
}

void MainWindow::startSprayModule() {
    if (!sprayLaunchAllowed_) {
        return;
    }
    // One spray window per folder: a second would only hide behind the first.
    if (sprayModuleFolder_ == QDir::currentPath() && programRunning(sprayModuleId_)) {
        statusBar()->showMessage(QStringLiteral("Kavel is open on this folder already."), 10000);
        return;
    }
    // The module opens beside this window, in this working folder; both
    // stay, the folder's lock keeping their files consistent. It is told
    // which process it was started from, so that its "Back to TORVEX" comes
    // back here rather than starting TORVEX again.
    QString problem;
    qint64 started = 0;
    const QStringList arguments{QStringLiteral("Mirtane"), QString::number(QCoreApplication::applicationPid())};
    if (!startProgram(sprayModuleProgram_, arguments, &problem, &started)) {
        QMessageBox::warning(this, QStringLiteral("Simulation of Spray Particles"),
                             QStringLiteral("The spray-particle module could not be started. ") + problem);
        return;
    }
    sprayModuleId_ = started;
    sprayModuleFolder_ = QDir::currentPath();
}

void MainWindow::openHelpContents() { openHelpWindow(helpFilePath(), this); }

// ----- unit files ----------------------------------------------------------------

bool MainWindow::readUnitFile(const char* fileName) {
    UnitCodes codes;  // metric, kelvin, SLPM unless the file says otherwise
    const bool read = readUnitCodes(fileName, codes);
    const bool unitFile = std::string(fileName) == kUnitFile;
    // Without unp.dat no variant was calculated yet: there are no units of a
    // run to bring back, and the user's choice stays (it is saved at exit).
    if (!read && !unitFile) {
        return false;
    }
    unitCodes_ = codes;
    unitCodesLoaded_ = true;
    // The solver needs un.dat as well: a missing or broken one is replaced
    // by the codes now in use.
    if (!read) {
        writeUnitFile(kUnitFile);
    }
    return read;
}

bool MainWindow::writeUnitFile(const char* fileName) const {
    // Started back, the codes in memory may never have been loaded: writing
    // them would overwrite the user's choice with defaults.
    if (!unitCodesLoaded_) return true;
    return writeUnitCodes(fileName, unitCodes_);
}

// ----- painting and closing -----------------------------------------------------------

void MainWindow::repaintView() {
    clientArea_->invalidate();
    clientArea_->setMarkers({});
    clientArea_->repaint();
}

bool MainWindow::pageOutdated() const {
    return paintedView_ != currentView_ || paintedUnits_.length != unitCodes_.length ||
           paintedUnits_.temperature != unitCodes_.temperature || paintedUnits_.flow != unitCodes_.flow;
}

void MainWindow::paintClientArea(QPainter& painter) {
    readout_.clear();
    paintedView_ = currentView_;
    paintedUnits_ = unitCodes_;
    NotingPainterContext dc(&painter, readout_);
    const ViewArea client = windowPageRect(clientArea_->width(), clientArea_->height());
    paintCurrentView(dc, currentView_, unitCodes_, client);
}

QString MainWindow::readoutAt(int x, int y) const { return QString::fromStdString(readout_.textAt(x, y)); }

void MainWindow::showReadout(int x, int y) {
    // The page shown no longer matches the view or the units chosen since:
    // it is painted anew first.
    if (pageOutdated()) repaintView();
    const Readout r = readout_.readAt(x, y);
    clientArea_->setMarkers(r.markers);
    if (r.text.empty()) statusBar()->clearMessage();
    else statusBar()->showMessage(QString::fromStdString(r.text));
}

// The view shown, or the All Charts page when none is.
void MainWindow::exportView() {
    const int v = currentView_ == view::kNothing ? view::kAllCharts : currentView_;
    // The page as the window shows it.
    const Rect page = windowPageRect(clientArea_->width(), clientArea_->height());
    const QString path = exportViewWithDialog(this, v, unitCodes_, page.width(), page.height());
    if (!path.isEmpty()) statusBar()->showMessage(QStringLiteral("Exported: %1").arg(path), 10000);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Every way of ending passes here and saves the units.
    writeUnitFile(kUnitFile);
    closed_ = true;
    event->accept();
}

}  // namespace torvex
