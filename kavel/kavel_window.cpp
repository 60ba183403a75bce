#include "kavel/kavel_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
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
#include <QScreen>
#include <QStatusBar>
#include <functional>

#include "charts/chart_font.h"
#include "charts/page_rect.h"
#include "kavel/kavel_about.h"
#include "kavel/powder_dialog.h"
#include "kavel/powder_memory.h"
#include "kavel/spray_export.h"
#include "kavel/spray_job.h"
#include "particles/spray_files.h"
#include "platform/help_window.h"
#include "platform/launch.h"
#include "platform/page_devices.h"
#include "platform/page_export.h"
#include "platform/painter_context.h"

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

}  // namespace

KavelWindow::KavelWindow(const QString& workDir, QWidget* parent)
    : QMainWindow(parent), workDir_(QDir(workDir).absolutePath()) {
    setWindowTitle(QString::fromLatin1(kTitle));
    setWindowIcon(QIcon(QPixmap::fromImage(kavelIcon())));
    chartFont() = initialChartFont();
    createMenus();
    clientArea_ = new PageArea(this, [this](QWidget* area) { paintClientArea(area); });
    setCentralWidget(clientArea_);
    variantLabel_ = new QLabel(this);
    statusBar()->addPermanentWidget(variantLabel_);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect display = screen->availableGeometry();
        // Where TORVEX's window was: the top left corner, 90 % of the screen.
        resize(static_cast<int>(display.width() * 0.9), static_cast<int>(display.height() * 0.9));
        move(display.topLeft());
    }
    readVariant();
    updateStates();
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
    spray->addSeparator();
    addCommand(spray, QStringLiteral("Back to &TORVEX"), menu::kBackToTorvex);
    addCommand(spray, QStringLiteral("E&xit"), menu::kExit);

    QMenu* charts = menuBar()->addMenu(QStringLiteral("&Charts"));
    addCommand(charts, QStringLiteral("&All Charts"), menu::kAllCharts);
    addCommand(charts, QStringLiteral("&Trajectories"), menu::kTrajectories);
    addCommand(charts, QStringLiteral("Along the &Flight"), menu::kFlight);
    addCommand(charts, QStringLiteral("At the &Substrate"), menu::kSubstrate);
    charts->addSeparator();
    QMenu* print = charts->addMenu(QStringLiteral("&Print"));
    addCommand(print, QStringLiteral("&All Charts"), menu::kPrintAll);
    addCommand(print, QStringLiteral("&Trajectories"), menu::kPrintTrajectories);
    addCommand(print, QStringLiteral("Along the &Flight"), menu::kPrintFlight);
    addCommand(print, QStringLiteral("At the &Substrate"), menu::kPrintSubstrate);
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
    action(menu::kPowderAndInjection)->setEnabled(hasField() && !running());
    action(menu::kBackToTorvex)->setEnabled(!running());
}

void KavelWindow::runCommand(int id) {
    switch (id) {
        case menu::kPowderAndInjection:
            openPowderDialog();
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

    const particles::FieldStatus field = particles::readJetField(dir, field_);
    inputs_.field = field.ok ? &field_ : nullptr;
    fieldProblem_ = field.ok ? QString() : text(field.message);
    const particles::MaterialStatus materials = particles::loadMaterials(dir, materials_);
    showMaterialName();
    // The dialog offers what was last chosen in this folder.
    chosen_ = inputs_.options;
    std::string memoryProblem;
    QString problem = fieldProblem_;
    if (!readPowderMemory(dir, chosen_, memoryProblem)) problem += text(" " + memoryProblem);
    if (!materials.ok)
        problem += (problem.isEmpty() ? QString() : QStringLiteral(" ")) + text(materials.message);
    variantLabel_->setText(variantCaption(inputs_.variant, workDir_));
    if (!problem.isEmpty())
        statusBar()->showMessage(problem);
    else if (field_.recordCount < particles::kFieldRecords)
        statusBar()->showMessage(QStringLiteral("The jet field ends at %1 mm.").arg(field_.endMm()));
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
    if (job_) return false;
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
    particles::SprayOutcome outcome = job_->outcome();
    // Deleted once this queued call has returned: it was emitted by the job.
    job_.release()->deleteLater();
    if (progress_) {
        progress_->close();
        progress_->deleteLater();
        progress_ = nullptr;
    }
    statusBar()->clearMessage();
    lastMessage_.clear();
    switch (outcome.result) {
        case particles::SprayResult::Completed: {
            outcome_ = std::move(outcome);
            inputs_.outcome = &outcome_;
            inputs_.options = runOptions_;
            showMaterialName();
            std::string error;
            if (!particles::writeSprayFiles(workDir_.toStdString(), runOptions_, outcome_, error)) {
                showMessage(QStringLiteral("The results were not written: %1").arg(text(error)));
            } else if (!outcome_.notice.empty()) {
                showMessage(text(outcome_.notice));
            }
            if (view_ == kViewNothing) view_ = kViewAll;
            break;
        }
        case particles::SprayResult::Cancelled:
            showMessage(
                QStringLiteral("The run was stopped: the pages, their parameters and the files still "
                               "show the last complete run."));
            break;
        case particles::SprayResult::BadInput:
            showMessage(text(outcome.message));
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

void KavelWindow::showMessage(const QString& message) {
    lastMessage_ = message;
    statusBar()->showMessage(message);
    if (isVisible()) QMessageBox::warning(this, QStringLiteral("Spray Particles"), message);
}

// ----- pages, printing, export ------------------------------------------------------------------

void KavelWindow::paintClientArea(QWidget* area) {
    QPainter painter(area);
    PainterContext dc(&painter);
    drawSprayPage(dc, view_, Rect{0, 0, area->width(), area->height()}, inputs_);
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
        if (!inputs_.outcome) {
            error = "there is no spray run to export: the page holds no data";
            return false;
        }
        const auto charts = viewCharts(view, inputs_);
        for (const auto& [part, chart] : charts) tables.push_back({part, sprayChartCsv(chart)});
        return !tables.empty();
    };
    page.width = clientArea_->width();
    page.height = clientArea_->height();
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
    if (!writePowderMemory(workDir_.toStdString(), options, error)) statusBar()->showMessage(text(error));
}

// ----- leaving ---------------------------------------------------------------------------------

void KavelWindow::backToTorvex() {
    if (running()) return;
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
    closed_ = true;
    event->accept();
}

}  // namespace torvex::kavel
