// "Input3": the run dialog. It shows the inputted data of the variant just
// chosen and offers to run the calculation, to go back to the input, or to
// cancel. While the solver works (on a worker thread) the dialog keeps
// repainting, the progress window follows the reports, and once the flow
// inside the plasmatron is computed the dialog adds the calculated data.
#pragma once

#include "shell/torvex_dialog.h"
#include "solver/files.h"
#include "solver/solver.h"
#include "variant/progress_text.h"

#include <QPointer>

#include <memory>

namespace torvex {

class MainWindow;
class ProgressWindow;
class SolverRun;

namespace run_ids {
constexpr int kRun = 1001;
constexpr int kBack = 2;
constexpr int kCancel = 1;
} // namespace run_ids

// How the run dialog ended (its exec() result). 0 means it was closed with the
// main window.
enum RunDialogResult { kRunDialogClosed = 0, kRunDialogCancelled = 10, kRunDialogBack = 11, kRunDialogRan = 12 };

class RunDialog : public TorvexDialog {
    Q_OBJECT
public:
    RunDialog(MainWindow& main, const VariantInputs& inputs);
    ~RunDialog() override;

    bool calculated() const { return calculated_; }
    bool running() const;
    // Whether the last run wrote iop.par (it passed the nozzle exit).
    bool integralParametersWritten() const { return insideDone_; }
    const RunOutcome& outcome() const { return outcome_; }
    // The progress window of the run in progress (nullptr between runs).
    ProgressWindow* progressWindow() const;

signals:
    // A progress report has been shown (after the window and flag changes).
    void reported(int value);

protected:
    void onCommand(int id) override;
    void paintEvent(QPaintEvent* event) override;
    // A run cannot be abandoned halfway: closing is refused while it works.
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void startRun();
    void report(int value);
    void finishRun(const RunOutcome& outcome);
    void openProgressWindow();
    void setButtonsEnabled(bool enabled);

    MainWindow& main_;
    VariantInputs inputs_;
    bool calculated_ = false;
    bool insideDone_ = false;
    RunPhase phase_ = RunPhase::Inside;
    RunOutcome outcome_;
    QPointer<ProgressWindow> progress_;
    std::unique_ptr<SolverRun> run_;
};

} // namespace torvex
