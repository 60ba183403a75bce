#include "variant/run_dialog.h"

#include "platform/painter_context.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "variant/progress_window.h"
#include "variant/solver_run.h"
#include "variant/summary_painter.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QPushButton>

namespace torvex {

RunDialog::RunDialog(MainWindow& main, const VariantInputs& inputs)
    : TorvexDialog(&main, QStringLiteral("  Plasmatron Parameters"), 361, 262),
      main_(main),
      inputs_(inputs) {
    setObjectName(QStringLiteral("Input3"));
    // Enter runs: the dialog asks for the confirmation of a variant just
    // entered, and running it is what the engineer came for.
    addPushButton(run_ids::kRun, QStringLiteral("&Run"), {261, 234, 29, 14}, true);
    addPushButton(run_ids::kBack, QStringLiteral("< &Back"), {219, 234, 29, 14});
    addPushButton(run_ids::kCancel, QStringLiteral("&Cancel"), {303, 234, 29, 14});
}

RunDialog::~RunDialog() {
    // Joins a run still in progress before its windows go.
    run_.reset();
    delete progress_.data();
}

bool RunDialog::running() const { return run_ && run_->running(); }

ProgressWindow* RunDialog::progressWindow() const { return progress_.data(); }

void RunDialog::onCommand(int id) {
    if (running()) return;
    switch (id) {
    case run_ids::kRun:
        startRun();
        break;
    case run_ids::kBack:
        calculated_ = false;
        main_.applyMenuEvent(MenuEvent::RunBack);
        done(kRunDialogBack);
        break;
    case run_ids::kCancel:
        main_.applyMenuEvent(MenuEvent::RunCancel);
        done(kRunDialogCancelled);
        break;
    default:
        break;
    }
}

void RunDialog::setButtonsEnabled(bool enabled) {
    for (int id : {run_ids::kRun, run_ids::kBack, run_ids::kCancel}) {
        if (QWidget* button = control(id)) button->setEnabled(enabled);
    }
}

void RunDialog::openProgressWindow() {
    delete progress_.data();
    progress_ = new ProgressWindow(this);
    progress_->show();
}

void RunDialog::startRun() {
    if (SolverRun::anyRunInProgress()) return;
    // The working folder by its full name, so that messages about its files name them fully.
    run_ = std::make_unique<SolverRun>(QFile::encodeName(QDir::currentPath()).toStdString());
    connect(run_.get(), &SolverRun::progress, this, &RunDialog::report);
    connect(run_.get(), &SolverRun::finished, this, &RunDialog::finishRun);
    insideDone_ = false;
    openProgressWindow();
    report(kProgressRunStarts);
    main_.setCurrentView(view::kNothing);
    setButtonsEnabled(false);
    if (!run_->start()) {
        const std::string refusal = run_->refusal();
        setButtonsEnabled(true);
        delete progress_.data();
        run_.reset();
        // Another program runs a variant in this directory: nothing changed.
        if (!refusal.empty())
            showMessage(this, QString::fromStdString(refusal));
    }
}

void RunDialog::report(int value) {
    if (value == kProgressRunStarts) {
        calculated_ = false;
        phase_ = RunPhase::Inside;
    } else if (value == kProgressInsideDone) {
        // iop.par is written and closed: the dialog can show the calculated
        // data, and the outside phase gets a window of its own.
        calculated_ = true;
        insideDone_ = true;
        repaint();
        openProgressWindow();
        phase_ = RunPhase::Outside;
    }
    if (progress_) progress_->showReport(phase_, value);
    emit reported(value);
}

void RunDialog::finishRun(const RunOutcome& outcome) {
    outcome_ = outcome;
    if (outcome.result == RunResult::NotCalculable) {
        // The message belongs to the main window, like every dialog: its
        // title bar's close ends the program.
        showCannotCalculate(&main_);
    } else if (outcome.result != RunResult::Completed) {
        // Bad input, an output file that could not be written, a busy directory.
        showMessage(this, QString::fromStdString(outcome.message));
    }
    delete progress_.data();
    calculated_ = true;
    setButtonsEnabled(true);
    done(kRunDialogRan);
}

void RunDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawPlasmatronDiagram(painter);
    PainterContext dc(&painter);
    drawVariantSummary(dc, runDialogSummary(inputs_, main_.unitCodes(), calculated_, kIntegralParametersFile));
}

void RunDialog::closeEvent(QCloseEvent* event) {
    if (running()) {
        event->ignore();
        return;
    }
    TorvexDialog::closeEvent(event);
}

void RunDialog::reject() {
    // QDialog's own Escape handling and window-system closes end here; the
    // dialog's keys are its buttons' ids, and a run must not be cut short.
    if (running()) return;
    TorvexDialog::reject();
}

} // namespace torvex
