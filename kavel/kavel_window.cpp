#include "kavel/kavel_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
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
#include "pages/spray_export.h"
#include "kavel/spray_job.h"
#include "pages/tune_chart.h"
#include "kavel/tune_dialog.h"
#include "particles/spray_files.h"
#include "particles/spray_option_table.h"
#include "solver/file_access.h"
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

// The variant in one line for the status bar: gas and anode current, from the panel lines.
QString variantCaption(const ParameterTexts& variant, const QString& dir) {
    QString caption = QStringLiteral("Working folder: %1").arg(QDir::toNativeSeparators(dir));
    if (variant.gas.empty()) return caption + QStringLiteral("  (no calculated variant)");
    return caption;
}

// The folder's result stamp as it stands ("" without one): what tells one
// jet from the next, whatever else changes in the folder.
std::string resultStampText(const QString& dir) {
    std::string text, fault;
    const std::string path = QDir(dir).filePath(QString::fromLatin1(kResultStampFile)).toStdString();
    return readRegularFile(path, std::size_t(1) << 16, text, fault) ? text : std::string();
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
    charts->addSeparator();
    QMenu* print = charts->addMenu(QStringLiteral("&Print"));
    addCommand(print, QStringLiteral("&All Charts"), menu::kPrintAll);
    addCommand(print, QStringLiteral("&Trajectories"), menu::kPrintTrajectories);
    addCommand(print, QStringLiteral("Along the &Flight"), menu::kPrintFlight);
    addCommand(print, QStringLiteral("At the &Substrate"), menu::kPrintSubstrate);
    addCommand(print, QStringLiteral("Sensor and Size &Classes"), menu::kPrintSensor);
    addCommand(print, QStringLiteral("&Injector Tuning"), menu::kPrintTune);
    addCommand(charts, QStringLiteral("&Export\u2026"), menu::kExport);

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
    clientArea_->update();
}

// ----- the variant ---------------------------------------------------------------------------

void KavelWindow::readVariant() {
    const std::string dir = workDir_.toStdString();
    inputs_ = variantPageInputs(dir);

    jetStamp_ = resultStampText(workDir_);
    const ResultSet set = readResultSet(dir, false);
    jetName_ = set.ok ? set.variantName : std::string();
    saidStamp_ = jetStamp_;
    const particles::FieldStatus field = particles::readJetField(dir, field_);
    inputs_.field = field.ok ? &field_ : nullptr;
    fieldProblem_ = field.ok ? QString() : text(field.message);
    const particles::MaterialStatus materials = particles::loadMaterials(dir, materials_);
    showMaterialName();
    // The dialog offers what was last chosen in this folder.
    chosen_ = inputs_.options;
    std::string memoryProblem;
    QString problem = fieldProblem_;
    if (!particles::readPowderMemory(dir, chosen_, memoryProblem)) problem += text(" " + memoryProblem);
    if (!materials.ok)
        problem += (problem.isEmpty() ? QString() : QStringLiteral(" ")) + text(materials.message);
    variantLabel_->setFullText(variantCaption(inputs_.variant, workDir_));
    if (!problem.isEmpty())
        statusBar()->showMessage(problem);
    else if (field_.recordCount < particles::kFieldRecords)
        statusBar()->showMessage(QStringLiteral("The jet field ends at %1 mm.").arg(field_.endMm()));
}

void KavelWindow::checkFolder() {
    const std::string dir = workDir_.toStdString();
    const SprayUnits units = sprayUnitsOf(shownUnitCodes(dir));
    if (units.length != inputs_.units.length || units.temperature != inputs_.units.temperature) {
        inputs_.units = units;
        clientArea_->update();
    }
    const std::string stamp = resultStampText(workDir_);
    if (stamp == saidStamp_) return;  // nothing new since the last look
    saidStamp_ = stamp;
    if (stamp == jetStamp_) {
        statusBar()->clearMessage();  // the jet read is in place again
        return;
    }
    const QString shown = jetName_.empty() ? QStringLiteral("no calculated jet")
                                           : QStringLiteral("the jet of %1").arg(text(jetName_));
    if (stamp.empty()) {
        // A run removes the stamp first and writes it last.
        statusBar()->showMessage(
            QStringLiteral("TORVEX is calculating a new jet in this folder; the pages show %1.").arg(shown));
        return;
    }
    const ResultSet set = readResultSet(dir, false);
    const QString now = set.ok ? text(set.variantName) : QStringLiteral("another variant");
    showMessage(QStringLiteral("TORVEX has replaced the jet in this folder: it now holds %1. The pages, the "
                               "parameters and the exports still show %2 and the spray made in it. To spray into "
                               "the new jet, close Kavel and open it again from TORVEX (Next > Simulation of "
                               "Spray Particles).")
                    .arg(now, shown));
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
    PowderDialog dialog(this, chosen_, materials_, inputs_.units, field_.endMm());
    if (dialog.exec() != QDialog::Accepted) return;
    rememberChoice(dialog.options());
    startRun(dialog.options());
}

bool KavelWindow::running() const { return job_ && job_->running(); }

bool KavelWindow::startRun(const particles::SprayOptions& options) {
    if (job_ || tuneJob_) return false;
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
    // Particles that flew are shown, also when their files could not be written.
    if (report.flown) {
        outcome_ = std::move(report.spray);
        inputs_.outcome = &outcome_;
        inputs_.options = report.options;
        showMaterialName();
        if (view_ == kViewNothing) view_ = kViewAll;
    }
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
    if (!hasField()) {
        showMessage(QStringLiteral("There is no jet field to inject the powder into: %1").arg(fieldProblem_));
        return false;
    }
    tuneChoice_ = tune;
    tuneParticles_ = particlesPerStep;
    // The scan varies the injector of the powder the dialog offers.
    particles::SprayOptions base = chosen_;
    base.powder.count = particlesPerStep;
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
    updateStates();
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
