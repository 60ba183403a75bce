#include "kavel/kavel_window.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QIcon>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <functional>

#include "charts/chart_font.h"
#include "charts/page_rect.h"
#include "kavel/kavel_about.h"
#include "kavel/powder_dialog.h"
#include "pages/sensor_page.h"
#include "pages/spray_export.h"
#include "kavel/spray_job.h"
#include "pages/tune_chart.h"
#include "kavel/tune_dialog.h"
#include "particles/spray_files.h"
#include "particles/spray_option_table.h"
#include "solver/result_set.h"
#include "platform/elided_label.h"
#include "platform/help_window.h"
#include "platform/launch.h"
#include "platform/page_devices.h"
#include "platform/page_export.h"
#include "platform/painter_context.h"
#include "platform/printing.h"

namespace torvex::kavel {

namespace {

// The white area under the menu where the pages are painted.
class PageArea : public QWidget {
public:
    PageArea(QWidget* parent, std::function<void(QWidget*)> paint)
        : QWidget(parent), paint_(std::move(paint)) {
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::white);
        setPalette(p);
        setAutoFillBackground(true);
    }

protected:
    void paintEvent(QPaintEvent*) override { paint_(this); }

private:
    std::function<void(QWidget*)> paint_;
};

const char* const kTitle = "  K A V E L - Simulation of Spray Particles";

QString text(const std::string& s) { return QString::fromStdString(s); }

// The folder and the jet the pages show, for the status bar.
QString variantCaption(const particles::JetField* jet, const QString& dir) {
    const QString caption = QStringLiteral("Working folder: %1").arg(QDir::toNativeSeparators(dir));
    if (!jet) return caption + QStringLiteral("  (no jet to spray into)");
    return caption + QStringLiteral("  \u2014  jet: %1").arg(text(jet->variantName));
}

// Why there is no jet to spray into, with the variant ip.dat holds and what
// to do.
QString jetProblem(const std::string& dir, const std::string& message) {
    std::string said = message;
    const std::string entered = inputVariantName(dir);
    if (!entered.empty() && message.find(entered) == std::string::npos) said += " ip.dat holds " + entered + ".";
    return text(said + " Kavel takes the jet as soon as TORVEX (or torvex-run) has calculated it in this folder.");
}

// The panel's variant lines without a jet: the finished results and ip.dat's variant.
ParameterTexts variantsWithoutJet(const std::string& dir) {
    ParameterTexts lines;
    lines.lines[0] = "No jet to spray into in this folder";
    const ResultSet set = readResultSet(dir, false);
    if (set.ok) lines.lines[1] = "Results: " + set.variantName;
    const std::string entered = inputVariantName(dir);
    if (!entered.empty()) lines.lines[2] = "ip.dat: " + entered;
    return lines;
}


}  // namespace

KavelWindow::KavelWindow(const QString& workDir, QWidget* parent)
    : QMainWindow(parent), workDir_(QDir(workDir).absolutePath()) {
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowIcon(QIcon(QPixmap::fromImage(kavelIcon())));
    chartFont() = initialChartFont();
    createMenus();
    clientArea_ = new PageArea(this, [this](QWidget* area) { paintClientArea(area); });
    setCentralWidget(clientArea_);
    variantLabel_ = new ElidedLabel(this);
    statusBar()->addPermanentWidget(variantLabel_);
    // A scan takes minutes: its progress stays in the status bar, beside its Stop.
    stopTuneButton_ = new QPushButton(QStringLiteral("Stop Tuning"), this);
    connect(stopTuneButton_, &QPushButton::clicked, this, &KavelWindow::stopTune);
    statusBar()->addPermanentWidget(stopTuneButton_);
    stopTuneButton_->hide();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect display = screen->availableGeometry();
        // Where TORVEX's window was: the top left corner, 90 % of the screen.
        resize(static_cast<int>(display.width() * 0.9), static_cast<int>(display.height() * 0.9));
        move(display.topLeft());
    }
    readVariant();
    updateStates();
    // TORVEX beside this window may change the units or calculate a new jet
    // in the folder: a look at it once the folder has been quiet a moment.
    folderSettle_ = new QTimer(this);
    folderSettle_->setSingleShot(true);
    folderSettle_->setInterval(300);
    connect(folderSettle_, &QTimer::timeout, this, &KavelWindow::checkFolder);
    auto* watcher = new QFileSystemWatcher(QStringList{workDir_}, this);
    connect(watcher, &QFileSystemWatcher::directoryChanged, folderSettle_, qOverload<>(&QTimer::start));
}

KavelWindow::~KavelWindow() = default;

// ----- menu ------------------------------------------------------------------------------

QAction* KavelWindow::addCommand(QMenu* m, const QString& caption, int id) {
    QAction* a = m->addAction(caption);
    connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
    actions_[id] = a;
    return a;
}

void KavelWindow::createMenus() {
    QMenu* spray = menuBar()->addMenu(QStringLiteral("&Spray"));
    addCommand(spray, QStringLiteral("&Powder and Injection\u2026"), menu::kPowderAndInjection);
    addCommand(spray, QStringLiteral("T&une Injector\u2026"), menu::kTuneInjector);
    addCommand(spray, QStringLiteral("St&op Tuning"), menu::kStopTune);
    addCommand(spray, QStringLiteral("Use Tuned &Setting"), menu::kUseTunedSetting);
    addCommand(spray, QStringLiteral("&Keep This Spray As\u2026"), menu::kKeepSpray);
    spray->addSeparator();
    addCommand(spray, QStringLiteral("Back to &TORVEX"), menu::kBackToTorvex);
    addCommand(spray, QStringLiteral("E&xit"), menu::kExit);

    QMenu* charts = menuBar()->addMenu(QStringLiteral("&Charts"));
    addCommand(charts, QStringLiteral("&All Charts"), menu::kAllCharts);
    addCommand(charts, QStringLiteral("&Trajectories"), menu::kTrajectories);
    addCommand(charts, QStringLiteral("Along the &Flight"), menu::kFlight);
    addCommand(charts, QStringLiteral("At the &Substrate"), menu::kSubstrate);
    addCommand(charts, QStringLiteral("Sensor and Size &Classes"), menu::kSensor);
    addCommand(charts, QStringLiteral("&Injector Tuning"), menu::kTunePage);
    addCommand(charts, QStringLiteral("Size Classes A&long the Flight"), menu::kClassFlight);
    charts->addSeparator();
    compareMenu_ = charts->addMenu(QStringLiteral("Compare &With"));
    connect(compareMenu_, &QMenu::aboutToShow, this, &KavelWindow::fillCompareMenu);
    QMenu* print = charts->addMenu(QStringLiteral("&Print"));
    addCommand(print, QStringLiteral("&All Charts"), menu::kPrintAll);
    addCommand(print, QStringLiteral("&Trajectories"), menu::kPrintTrajectories);
    addCommand(print, QStringLiteral("Along the &Flight"), menu::kPrintFlight);
    addCommand(print, QStringLiteral("At the &Substrate"), menu::kPrintSubstrate);
    addCommand(print, QStringLiteral("Sensor and Size &Classes"), menu::kPrintSensor);
    addCommand(print, QStringLiteral("&Injector Tuning"), menu::kPrintTune);
    addCommand(print, QStringLiteral("Size Classes A&long the Flight"), menu::kPrintClassFlight);
    addCommand(charts, QStringLiteral("&Export\u2026"), menu::kExport);
    addCommand(charts, QStringLiteral("Cop&y Table"), menu::kCopyTable)->setShortcut(QKeySequence::Copy);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    addCommand(help, QStringLiteral("&Help Contents"), menu::kHelpContents);
    help->addSeparator();
    addCommand(help, QStringLiteral("&About"), menu::kAbout);
}

QAction* KavelWindow::action(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void KavelWindow::updateStates() {
    const bool busy = running() || tuning();
    action(menu::kPowderAndInjection)->setEnabled(hasField() && !busy);
    action(menu::kTuneInjector)->setEnabled(hasField() && !busy);
    action(menu::kStopTune)->setEnabled(tuning());
    action(menu::kUseTunedSetting)->setEnabled(!busy && tuneOutcome_.chosen >= 0);
    action(menu::kBackToTorvex)->setEnabled(!busy);
    action(menu::kKeepSpray)->setEnabled(!busy && sprayInFolder_);
    stopTuneButton_->setVisible(tuning());
}

void KavelWindow::runCommand(int id) {
    switch (id) {
        case menu::kPowderAndInjection:
            openPowderDialog();
            break;
        case menu::kTuneInjector:
            openTuneDialog();
            break;
        case menu::kStopTune:
            stopTune();
            break;
        case menu::kUseTunedSetting:
            applyTunedSetting();
            break;
        case menu::kKeepSpray:
            keepSpray();
            break;
        case menu::kClassFlight:
            setView(kViewClassFlight);
            break;
        case menu::kPrintClassFlight:
            printView(kViewClassFlight);
            break;
        case menu::kCopyTable:
            copyShownTable();
            break;
        case menu::kBackToTorvex:
            backToTorvex();
            break;
        case menu::kExit:
            close();
            break;
        case menu::kAllCharts:
            setView(kViewAll);
            break;
        case menu::kTrajectories:
            setView(kViewTrajectories);
            break;
        case menu::kFlight:
            setView(kViewFlight);
            break;
        case menu::kSubstrate:
            setView(kViewSubstrate);
            break;
        case menu::kSensor:
            setView(kViewSensor);
            break;
        case menu::kTunePage:
            setView(kViewTune);
            break;
        case menu::kPrintAll:
            printView(kViewAll);
            break;
        case menu::kPrintTrajectories:
            printView(kViewTrajectories);
            break;
        case menu::kPrintFlight:
            printView(kViewFlight);
            break;
        case menu::kPrintSubstrate:
            printView(kViewSubstrate);
            break;
        case menu::kPrintSensor:
            printView(kViewSensor);
            break;
        case menu::kPrintTune:
            printView(kViewTune);
            break;
        case menu::kExport:
            exportView();
            break;
        case menu::kHelpContents:
            openHelpWindow(kavelHelpFilePath(), this);
            break;
        case menu::kAbout:
            showAbout();
            break;
        default:
            break;
    }
}

void KavelWindow::setView(int view) {
    view_ = view;
    updateStates();
    clientArea_->update();
}

// ----- the variant ---------------------------------------------------------------------------

void KavelWindow::readVariant() {
    const std::string dir = workDir_.toStdString();
    inputs_ = variantPageInputs(dir);
    saidStamp_ = resultStampChecksum(workDir_.toStdString());
    const particles::MaterialStatus materials = particles::loadMaterials(dir, materials_);
    // The dialog offers what was last chosen in this folder; the panel shows it until a spray is shown.
    chosen_ = inputs_.options;
    std::string memoryProblem;
    QStringList problems;
    if (!particles::readPowderMemory(dir, chosen_, memoryProblem)) problems << text(memoryProblem);
    if (!materials.ok) problems << text(materials.message);
    readFolderJet();
    if (!fieldProblem_.isEmpty()) problems.prepend(fieldProblem_);
    showFolderSpray();
    showPages();
    if (!lastMessage_.isEmpty()) problems.prepend(lastMessage_);
    if (!problems.isEmpty())
        statusBar()->showMessage(problems.join(QLatin1Char(' ')));
    else if (folderJet_ && folderJet_->recordCount < particles::kFieldRecords)
        statusBar()->showMessage(QStringLiteral("The jet field ends at %1 mm.").arg(folderJet_->endMm()));
}

particles::FieldStatus KavelWindow::readFolderJet() {
    const std::string dir = workDir_.toStdString();
    auto jet = std::make_shared<particles::JetField>();
    const particles::FieldStatus status = particles::readJetField(dir, *jet);
    // While a run writes the folder, the last look stands until it ends.
    if (status.busy && folderJet_) return status;
    folderJet_.reset();
    fieldProblem_.clear();
    if (status.ok)
        folderJet_ = std::move(jet);
    else
        fieldProblem_ = jetProblem(dir, status.message), noJetLines_ = variantsWithoutJet(dir);
    return status;
}

void KavelWindow::showFolderSpray() {
    if (!folderJet_) return;
    particles::SpraySet set = particles::readSpraySet(workDir_.toStdString());
    if (set.none) return;
    if (!set.ok) {
        lastMessage_ = text(set.message);  // said with the other problems at the start
        return;
    }
    // The jet may have been replaced between the two reads: the spray is shown over its own jet only.
    if (set.jet != folderJet_->stampChecksum) return;
    outcome_ = std::move(set.outcome);
    inputs_.outcome = &outcome_;
    inputs_.options = set.options;
    sprayJet_ = folderJet_;
    sprayInFolder_ = true;
    view_ = kViewAll;
}

void KavelWindow::showPages() {
    // A spray is drawn over the jet its particles flew through; without one the folder's jet is shown.
    const particles::JetField* jet = inputs_.outcome ? sprayJet_.get() : folderJet_.get();
    showJet(inputs_, jet);
    inputs_.jetNote = jet ? std::string() : fieldProblem_.toStdString();
    if (!jet) inputs_.variant = noJetLines_;
    if (!inputs_.outcome) inputs_.options = chosen_;
    showMaterialName();
    variantLabel_->setFullText(variantCaption(jet, workDir_));
    updateStates();
    clientArea_->update();
}

void KavelWindow::lookAtJetAfterJob() {
    readFolderJet();
    saidStamp_ = resultStampChecksum(workDir_.toStdString());
    showPages();
}

void KavelWindow::say(const QString& message) {
    lastMessage_ = message;
    statusBar()->showMessage(message);
}

void KavelWindow::checkFolder() {
    const std::string dir = workDir_.toStdString();
    const SprayUnits units = sprayUnitsOf(shownUnitCodes(dir));
    if (units.length != inputs_.units.length || units.temperature != inputs_.units.temperature) {
        inputs_.units = units;
        clientArea_->update();
    }
    const std::string stamp = resultStampChecksum(dir);
    if (stamp == saidStamp_) return;  // nothing new since the last look
    saidStamp_ = stamp;
    // A job reports the jet it read; the folder is looked at again when it ends.
    if (running() || tuning()) return;
    const std::string before = folderJet_ ? folderJet_->stampChecksum : std::string();
    const particles::FieldStatus status = readFolderJet();
    showPages();
    const QString shown = inputs_.field ? text(inputs_.field->variantName) : QStringLiteral("no jet");
    if (status.busy) {
        say(QStringLiteral("TORVEX is calculating a new jet in this folder; the pages show %1.").arg(shown));
    } else if (!folderJet_) {
        say(fieldProblem_);
    } else if (folderJet_->stampChecksum == before) {
        statusBar()->clearMessage();  // the jet read is in place again
    } else if (inputs_.outcome) {
        say(QStringLiteral("TORVEX has replaced the jet in this folder: it now holds %1. The pages show the spray "
                           "made in %2 over that jet; the next spray flies through the new one.")
                .arg(text(folderJet_->variantName), shown));
    } else if (before.empty()) {
        say(QStringLiteral("TORVEX has calculated a jet in this folder: the pages show %1.").arg(shown));
    } else {
        say(QStringLiteral("TORVEX has replaced the jet in this folder: the pages now show %1.").arg(shown));
    }
}

void KavelWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Back from TORVEX's window: the folder may have changed meanwhile.
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) checkFolder();
}

void KavelWindow::showMaterialName() {
    const particles::Material* m = materials_.find(inputs_.options.powder.material);
    inputs_.materialName = m ? m->name : std::string();
}

// ----- the run ---------------------------------------------------------------------------------

void KavelWindow::openPowderDialog() {
    if (!hasField() || running()) return;
    PowderDialog dialog(this, chosen_, materials_, inputs_.units, folderJet_->endMm());
    if (dialog.exec() != QDialog::Accepted) return;
    rememberChoice(dialog.options());
    startRun(dialog.options());
}

bool KavelWindow::running() const { return job_ && job_->running(); }

bool KavelWindow::startRun(const particles::SprayOptions& options) {
    if (job_ || tuneJob_) return false;
    // The jet as the folder holds it now, through the set check; the job
    // reads it again under the lock and reports the one it flew through.
    readFolderJet();
    showPages();
    if (!hasField()) {
        showMessage(QStringLiteral("There is no jet field to inject the powder into: %1").arg(fieldProblem_));
        return false;
    }
    // The page keeps the inputs of the results it shows until this run completes.
    runOptions_ = options;
    job_ = std::make_unique<SprayJob>(workDir_.toStdString(), options);
    connect(job_.get(), &SprayJob::progress, this, &KavelWindow::showProgress);
    connect(job_.get(), &SprayJob::finished, this, &KavelWindow::finishRun);
    if (isVisible()) {
        progress_ = new QProgressDialog(QStringLiteral("Simulating the spray particles\u2026"),
                                        QStringLiteral("&Stop"), 0, 100, this);
        progress_->setWindowTitle(QStringLiteral("Spray Particles"));
        progress_->setWindowModality(Qt::WindowModal);
        progress_->setMinimumDuration(0);
        progress_->setAutoClose(false);
        progress_->setAutoReset(false);
        connect(progress_, &QProgressDialog::canceled, this, &KavelWindow::stopRun);
        progress_->setValue(0);
    }
    job_->start();
    updateStates();
    return true;
}

void KavelWindow::stopRun() {
    if (job_) job_->cancel();
}

void KavelWindow::showProgress(int percent) {
    if (!job_) return;
    statusBar()->showMessage(QStringLiteral("Simulating the spray particles: %1 %").arg(percent));
    // A modal progress dialog handles events here, the end of the run among them.
    if (progress_) progress_->setValue(percent);
}

void KavelWindow::finishRun() {
    if (!job_) return;
    job_->wait();
    particles::SprayReport report = job_->report();
    // Deleted once this queued call has returned: it was emitted by the job.
    job_.release()->deleteLater();
    if (progress_) {
        progress_->close();
        progress_->deleteLater();
        progress_ = nullptr;
    }
    statusBar()->clearMessage();
    lastMessage_.clear();
    // Particles that flew are shown, also when their files could not be
    // written, over the jet they flew through and labelled with it.
    if (report.flown) {
        outcome_ = std::move(report.spray);
        inputs_.outcome = &outcome_;
        inputs_.options = report.options;
        sprayJet_ = report.field;
        sprayInFolder_ = report.result == particles::JobResult::Completed;
        if (view_ == kViewNothing) view_ = kViewAll;
    }
    lookAtJetAfterJob();
    switch (report.result) {
        case particles::JobResult::Completed:
            if (!report.notes.empty()) showMessage(text(report.notes.front()));
            break;
        case particles::JobResult::Cancelled:
            showMessage(
                QStringLiteral("The run was stopped: the pages, their parameters and the files still "
                               "show the last complete run."));
            break;
        default:
            showMessage(report.flown ? QStringLiteral("The results were not written: %1").arg(text(report.message))
                                     : text(report.message));
            break;
    }
    updateStates();
    clientArea_->update();
}

void KavelWindow::waitForRun() {
    while (job_) {
        job_->wait();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

// ----- the injector tuning scan -----------------------------------------------------------

void KavelWindow::openTuneDialog() {
    if (!hasField() || running() || tuning()) return;
    TuneDialog dialog(this, tuneChoice_, tuneParticles_);
    if (dialog.exec() != QDialog::Accepted) return;
    startTune(dialog.options(), dialog.particlesPerStep());
}

bool KavelWindow::tuning() const { return tuneJob_ && tuneJob_->running(); }

bool KavelWindow::startTune(const particles::TuneOptions& tune, int particlesPerStep) {
    if (job_ || tuneJob_) return false;
    readFolderJet();
    showPages();
    if (!hasField()) {
        showMessage(QStringLiteral("There is no jet field to inject the powder into: %1").arg(fieldProblem_));
        return false;
    }
    tuneChoice_ = tune;
    tuneParticles_ = particlesPerStep;
    // The scan varies the injector of the powder the dialog offers.
    particles::SprayOptions base = chosen_;
    // A count given for the steps is flown as it stands.
    if (particlesPerStep > 0) base.powder.count = particlesPerStep, base.precisionPoints = 0;
    tuneJob_ = std::make_unique<TuneJob>(workDir_.toStdString(), base, tune);
    connect(tuneJob_.get(), &TuneJob::progress, this, &KavelWindow::showTuneProgress);
    connect(tuneJob_.get(), &TuneJob::finished, this, &KavelWindow::finishTune);
    tuneJob_->start();
    statusBar()->showMessage(QStringLiteral("Tuning the injector: 0 %"));
    updateStates();
    return true;
}

void KavelWindow::stopTune() {
    if (tuneJob_) tuneJob_->cancel();
}

void KavelWindow::showTuneProgress(int percent) {
    if (tuneJob_) statusBar()->showMessage(QStringLiteral("Tuning the injector: %1 %").arg(percent));
}

void KavelWindow::finishTune() {
    if (!tuneJob_) return;
    tuneJob_->wait();
    particles::TuneReport report = tuneJob_->report();
    const particles::TuneOptions tune = report.tune;
    // Deleted once this queued call has returned: it was emitted by the job.
    tuneJob_.release()->deleteLater();
    statusBar()->clearMessage();
    lastMessage_.clear();
    lookAtJetAfterJob();
    switch (report.result) {
        case particles::JobResult::Completed: {
            tuneOutcome_ = std::move(report.outcome);
            inputs_.tune = &tuneOutcome_;
            inputs_.tuneOptions = tune;
            setView(kViewTune);
            updateStates();
            const QString setting = text(chosenSettingText(tune, tuneOutcome_));
            if (setting.isEmpty()) {
                showMessage(QStringLiteral("No setting of the scan brings particles to the standoff."));
            } else if (isVisible() &&
                       QMessageBox::question(this, QStringLiteral("Tune Injector"),
                                             QStringLiteral("Use %1 for the next spray?").arg(setting)) ==
                           QMessageBox::Yes) {
                applyTunedSetting();
            }
            break;
        }
        case particles::JobResult::Cancelled:
            lastMessage_ = QStringLiteral("The tuning was stopped: the tuning page still shows the last complete scan.");
            statusBar()->showMessage(lastMessage_);
            break;
        default:
            showMessage(text(report.message));
            break;
    }
    clientArea_->update();
}

void KavelWindow::waitForTune() {
    while (tuneJob_) {
        tuneJob_->wait();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

bool KavelWindow::applyTunedSetting() {
    if (!inputs_.tune || tuneOutcome_.chosen < 0) return false;
    rememberChoice(withChosenSetting(chosen_, inputs_.tuneOptions, tuneOutcome_));
    statusBar()->showMessage(QStringLiteral("The next spray uses %1.")
                                 .arg(text(chosenSettingText(inputs_.tuneOptions, tuneOutcome_))));
    return true;
}

void KavelWindow::showMessage(const QString& message) {
    lastMessage_ = message;
    statusBar()->showMessage(message);
    if (isVisible()) QMessageBox::warning(this, QStringLiteral("Spray Particles"), message);
}

// ----- pages, printing, export ------------------------------------------------------------------

void KavelWindow::paintClientArea(QWidget* area) {
    QPainter painter(area);
    PainterContext dc(&painter);
    drawSprayPage(dc, view_, windowPageRect(area->width(), area->height()), inputs_);
}

void KavelWindow::printView(int view) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    if (dialog.exec() != QDialog::Accepted) return;
    // The spooler's own faults are not reported, as with any print job.
    printViewOn(printer, view);
}

bool KavelWindow::printViewOn(QPrinter& printer, int view) const {
    return printPage(printer,
                     [&](DrawingContext& dc) { drawSprayPage(dc, view, printPageRect(dc), inputs_); });
}

PageExport KavelWindow::pageExport(int view) const {
    PageExport page;
    page.screen = [this, view](DrawingContext& dc, int w, int h) {
        drawSprayPage(dc, view, Rect{0, 0, w, h}, inputs_);
    };
    page.printed = [this, view](DrawingContext& dc) { drawSprayPage(dc, view, printPageRect(dc), inputs_); };
    page.csv = [this, view](std::vector<CsvTable>& tables, std::string& error) {
        if (view == kViewTune) {
            if (!inputs_.tune) {
                error = "there is no tuning scan to export: the page holds no data";
                return false;
            }
            tables.push_back({"", particles::tuneCsv(inputs_.tuneOptions, *inputs_.tune)});
            return true;
        }
        if (!inputs_.outcome) {
            error = "there is no spray run to export: the page holds no data";
            return false;
        }
        if (view == kViewSensor) {
            // The same tables kavel-run writes as sensor.csv and size-classes.csv.
            tables.push_back({"sensor", particles::sensorCsv(inputs_.options, *inputs_.outcome)});
            tables.push_back({"size-classes", particles::sizeClassesCsv(inputs_.options, *inputs_.outcome)});
            return true;
        }
        const auto charts = viewCharts(view, inputs_);
        for (const auto& [part, chart] : charts) tables.push_back({part, sprayChartCsv(chart)});
        return !tables.empty();
    };
    // The page as the window shows it.
    const Rect shown = windowPageRect(clientArea_->width(), clientArea_->height());
    page.width = shown.width();
    page.height = shown.height();
    page.title = QStringLiteral("Kavel — %1").arg(text(viewCaption(view)));
    return page;
}

bool KavelWindow::exportViewTo(const QString& path, int pngDotsPerInch, QStringList* written,
                               QString* why) const {
    const int view = view_ == kViewNothing ? kViewAll : view_;
    return exportPage(path, pageExport(view), pngDotsPerInch, written, why);
}

void KavelWindow::exportView() {
    const int view = view_ == kViewNothing ? kViewAll : view_;
    const QString suggested = QDir(workDir_).filePath(QStringLiteral("kavel-%1.png").arg(view));
    const QStringList written = exportPageWithDialog(this, suggested, pageExport(view));
    if (!written.isEmpty())
        statusBar()->showMessage(
            QStringLiteral("Exported to %1").arg(QDir::toNativeSeparators(written.join(", "))));
}

void KavelWindow::rememberChoice(const particles::SprayOptions& options) {
    chosen_ = options;
    std::string error;
    if (!particles::writePowderMemory(workDir_.toStdString(), options, error)) statusBar()->showMessage(text(error));
}

// ----- kept sprays, the compared one, the tables ------------------------------------------------

bool KavelWindow::keepShownSpray(const QString& name) {
    if (!sprayInFolder_ || running() || tuning()) return false;
    std::string error;
    if (!particles::keepSpray(workDir_.toStdString(), name.toStdString(), error)) {
        showMessage(text(error));
        return false;
    }
    const QString kept = text(particles::keptSprayName(name.toStdString()));
    say(QStringLiteral("The spray is kept as \u201c%1\u201d (in %2/%1; the last %3 are kept): Charts \u203a "
                       "Compare With shows it beside another.")
            .arg(kept, QString::fromLatin1(particles::kKeptSpraysFolder))
            .arg(particles::kKeptSprayLimit));
    return true;
}

void KavelWindow::keepSpray() {
    const particles::SprayOptions& o = inputs_.options;
    const QString suggested =
        o.injection.speedFrom == particles::InjectionSpeed::Fixed
            ? QStringLiteral("%1 %2 m-s").arg(text(o.powder.material)).arg(o.injection.velocity)
            : QStringLiteral("%1 %2 SLPM").arg(text(o.powder.material)).arg(o.injection.carrierFlowSlpm);
    bool accepted = false;
    const QString name = QInputDialog::getText(
        this, QStringLiteral("Keep This Spray"),
        QStringLiteral("Name (letters, digits, blanks, - _ .; a spray kept under this name is replaced):"),
        QLineEdit::Normal, suggested, &accepted);
    if (accepted) keepShownSpray(name);
}

bool KavelWindow::compareWith(const QString& name) {
    if (name.isEmpty()) {
        inputs_.compared = nullptr;
        inputs_.comparedName.clear();
        clientArea_->update();
        return true;
    }
    particles::SpraySet set = particles::readKeptSpray(workDir_.toStdString(), name.toStdString());
    if (!set.ok) {
        showMessage(text(set.message));
        return false;
    }
    compared_ = std::move(set.outcome);
    inputs_.compared = &compared_;
    inputs_.comparedOptions = set.options;
    inputs_.comparedName = name.toStdString();
    inputs_.comparedJet = set.jetVariant;
    if (view_ == kViewNothing) view_ = kViewAll;
    clientArea_->update();
    return true;
}

void KavelWindow::fillCompareMenu() {
    compareMenu_->clear();
    qDeleteAll(compareMenu_->findChildren<QActionGroup*>(QString(), Qt::FindDirectChildrenOnly));
    auto* group = new QActionGroup(compareMenu_);
    const auto entry = [&](const QString& caption, const QString& name) {
        QAction* a = compareMenu_->addAction(caption);
        a->setCheckable(true);
        a->setChecked(name.toStdString() == (inputs_.compared ? inputs_.comparedName : std::string()));
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, name] { compareWith(name); });
    };
    entry(QStringLiteral("&None"), QString());
    const std::vector<std::string> kept = particles::keptSprays(workDir_.toStdString());
    for (std::size_t k = 0; k < kept.size(); ++k) {
        // Digits as accelerators for the first nine, in the order kept (newest first).
        const QString key = k < 9 ? QStringLiteral("&%1 ").arg(k + 1) : QString();
        entry(key + text(kept[k]).replace(QLatin1Char('&'), QStringLiteral("&&")), text(kept[k]));
    }
    if (kept.empty()) compareMenu_->addAction(QStringLiteral("(no kept spray: Spray \u203a Keep This Spray As\u2026)"))->setEnabled(false);
}

QString KavelWindow::shownTableText() const {
    if (view_ == kViewSensor) return text(tabSeparated(sensorBlocks(inputs_)));
    if (view_ == kViewTune && inputs_.tune) return text(tabSeparated(tuneBlocks(inputs_.tuneOptions, *inputs_.tune)));
    return {};
}

void KavelWindow::copyShownTable() {
    const QString table = shownTableText();
    if (table.isEmpty()) {
        statusBar()->showMessage(QStringLiteral("This page shows no table to copy: Ctrl+C copies those of Sensor "
                                                "and Size Classes and of Injector Tuning."));
        return;
    }
    QGuiApplication::clipboard()->setText(table);
    statusBar()->showMessage(QStringLiteral("The table is on the clipboard, its columns between tabs."));
}

// ----- leaving ---------------------------------------------------------------------------------

void KavelWindow::backToTorvex() {
    if (running() || tuning()) return;
    // The TORVEX that opened this window is still open beside it.
    if (programRunning(torvexBeside_)) {
        close();
        return;
    }
    // "0": TORVEX starts back without its start screen, in this folder.
    QString problem;
    if (!startProgram(torvexProgram_, {QStringLiteral("0")}, &problem)) {
        showMessage(QStringLiteral("TORVEX could not be started. ") + problem);
        return;
    }
    close();
}

void KavelWindow::showAbout() {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("About Kavel"), kavelAboutText(), QMessageBox::Ok,
                    this);
    box.setIconPixmap(QPixmap::fromImage(kavelIcon(64)));
    box.exec();
}

void KavelWindow::closeEvent(QCloseEvent* event) {
    if (job_) {
        job_->cancel();
        job_->wait();
    }
    if (tuneJob_) {
        tuneJob_->cancel();
        tuneJob_->wait();
    }
    closed_ = true;
    event->accept();
}

}  // namespace torvex::kavel
