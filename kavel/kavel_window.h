// The spray-particle module's one window: the variant it works on, the
// powder and injection dialog, the run on a worker thread with its progress,
// the chart pages with printing and export, and the way back to TORVEX.
#pragma once

#include <QMainWindow>
#include <map>
#include <memory>
#include <optional>

#include "pages/spray_pages.h"
#include "particles/jet_field.h"
#include "particles/materials.h"
#include "platform/page_export.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QPrinter;
class QProgressDialog;
class QTimer;

namespace torvex {
class ElidedLabel;
}

namespace torvex::kavel {

class SprayJob;
class TuneJob;

// Menu item ids, addressed by the tests.
namespace menu {
constexpr int kPowderAndInjection = 101;
constexpr int kBackToTorvex = 102;
constexpr int kExit = 103;
constexpr int kTuneInjector = 104;
constexpr int kStopTune = 105;
constexpr int kUseTunedSetting = 106;
constexpr int kKeepSpray = 107;
constexpr int kAllCharts = 111;
constexpr int kTrajectories = 112;
constexpr int kFlight = 113;
constexpr int kSubstrate = 114;
constexpr int kSensor = 115;
constexpr int kTunePage = 116;
constexpr int kClassFlight = 117;
constexpr int kPrintAll = 121;
constexpr int kPrintTrajectories = 122;
constexpr int kPrintFlight = 123;
constexpr int kPrintSubstrate = 124;
constexpr int kPrintSensor = 125;
constexpr int kPrintTune = 126;
constexpr int kPrintClassFlight = 127;
constexpr int kExport = 131;
constexpr int kCopyTable = 132;
constexpr int kHelpContents = 142;
constexpr int kAbout = 141;
}  // namespace menu

class KavelWindow : public QMainWindow {
    Q_OBJECT
public:
    // Works on the variant in `workDir` (the current directory when started
    // from TORVEX): reads its units, its summary and its jet field.
    explicit KavelWindow(const QString& workDir, QWidget* parent = nullptr);
    ~KavelWindow() override;

    void runCommand(int id);
    QAction* action(int id) const;

    // Starts a run with these options; false (with a message) when one is
    // running already or there is no jet field.
    bool startRun(const particles::SprayOptions& options);
    // Stops the run under way, as the progress window's Stop does.
    void stopRun();
    // Waits for a run to end and handles its outcome (tests).
    void waitForRun();
    bool running() const;

    // Starts an injector tuning scan of the chosen powder with this many
    // particles per step; false (with a message) when a run or scan is under
    // way, there is no field or the material is unknown.
    bool startTune(const particles::TuneOptions& tune, int particlesPerStep);
    void stopTune();
    void waitForTune();
    bool tuning() const;
    // Takes the chosen step of the last scan into the powder dialog's choice;
    // false when there is none.
    bool applyTunedSetting();

    int view() const { return view_; }
    void setView(int view);
    const SprayPageInputs& pageInputs() const { return inputs_; }
    // Whether the folder holds a jet to spray into (read through the set
    // check at the last look).
    bool hasField() const { return folderJet_ != nullptr; }
    // Why the folder's jet could not be read ("" when it was): the set
    // check's sentence, the variant ip.dat holds and what to do.
    const QString& fieldProblem() const { return fieldProblem_; }
    // What the last run left to say (refusal, stop, shortened field), "" if nothing.
    const QString& lastMessage() const { return lastMessage_; }
    const particles::MaterialTable& materials() const { return materials_; }

    // Writes the page shown as "Charts > Export..." does, the format by the
    // extension (tests); PNG at this resolution.
    bool exportViewTo(const QString& path, int pngDotsPerInch, QStringList* written, QString* why) const;
    // What the powder dialog offers: the last choice in this folder.
    const particles::SprayOptions& chosenOptions() const { return chosen_; }
    // Keeps a choice of the powder dialog for the dialog and the next start.
    void rememberChoice(const particles::SprayOptions& options);

    // Keeps the spray shown (the folder's last) under a name, as "Spray >
    // Keep This Spray As..." does; false with a message.
    bool keepShownSpray(const QString& name);
    // Draws a kept spray over the one shown ("" for none), as "Charts >
    // Compare With" does; false with a message.
    bool compareWith(const QString& name);
    // The table of the page shown as tab-separated text ("" when the page
    // shows none), which Ctrl+C puts on the clipboard.
    QString shownTableText() const;

    // Prints the page of a view on a printer already chosen; false when the
    // printer could not be started.
    bool printViewOn(QPrinter& printer, int view) const;

    // The program "Back to TORVEX" starts (found as `torvex`); a path names
    // one program exactly.
    void setTorvexProgram(const QString& program) { torvexProgram_ = program; }
    // The process id of the TORVEX that started this window and stays open
    // beside it (0: none). While it runs, "Back to TORVEX" only closes Kavel.
    void setTorvexBeside(qint64 processId) { torvexBeside_ = processId; }

    // Looks at the folder again, as it does when the folder changes or the
    // window is activated: the units the pages show follow un.dat, which
    // TORVEX writes when they are changed there, and a jet that TORVEX has
    // replaced is read through the set check: the pages show it until a
    // spray is shown, which keeps the jet its particles flew through; the
    // next spray flies through the new one. A jet being calculated is said.
    void checkFolder();
    bool closed() const { return closed_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createMenus();
    QAction* addCommand(QMenu* menu, const QString& caption, int id);
    void readVariant();
    // The folder's jet read again once a job has ended, and its stamp taken
    // as seen (the job reported the jet it read itself).
    void lookAtJetAfterJob();
    particles::FieldStatus readFolderJet();
    void showFolderSpray();
    void showPages();
    void keepSpray();
    void fillCompareMenu();
    void copyShownTable();
    void say(const QString& message);
    void showMaterialName();
    void updateStates();
    void openPowderDialog();
    void openTuneDialog();
    void showTuneProgress(int percent);
    void finishTune();
    void showProgress(int percent);
    void finishRun();
    void printView(int view);
    void exportView();
    PageExport pageExport(int view) const;
    void backToTorvex();
    void showAbout();
    void paintClientArea(QWidget* area);
    void showMessage(const QString& text);

    QString workDir_;
    // The folder's jet as last read through the set check (null: none to
    // spray into), and what the pages say in its place.
    std::shared_ptr<const particles::JetField> folderJet_;
    QString fieldProblem_;
    ParameterTexts noJetLines_;
    particles::MaterialTable materials_;
    QString lastMessage_;
    // The spray shown and the jet its particles flew through (from the
    // job's report, or the folder's jet its stamp names); whether its files
    // are the folder's last spray.
    particles::SprayOutcome outcome_;
    std::shared_ptr<const particles::JetField> sprayJet_;
    bool sprayInFolder_ = false;
    particles::SprayOutcome compared_;
    QMenu* compareMenu_ = nullptr;
    SprayPageInputs inputs_;
    particles::SprayOptions chosen_;      // offered by the powder dialog
    particles::SprayOptions runOptions_;  // of the run under way
    int view_ = kViewTrajectories;
    std::unique_ptr<SprayJob> job_;
    std::unique_ptr<TuneJob> tuneJob_;
    particles::TuneOutcome tuneOutcome_;  // of the last completed scan
    particles::TuneOptions tuneChoice_;   // offered by the tune dialog
    // As many as a spray: with a few hundred per step the deviation angle
    // carries about half a degree of sampling noise.
    int tuneParticles_ = 0;  // particles per step; 0: as many as the spray's precision asks
    QPushButton* stopTuneButton_ = nullptr;
    QProgressDialog* progress_ = nullptr;
    std::map<int, QAction*> actions_;
    QWidget* clientArea_ = nullptr;
    ElidedLabel* variantLabel_ = nullptr;
    QString torvexProgram_ = QStringLiteral("torvex");
    qint64 torvexBeside_ = 0;
    // The checksum of the folder's result stamp at the last look ("none" without one).
    std::string saidStamp_;
    QTimer* folderSettle_ = nullptr;
    bool closed_ = false;
};

}  // namespace torvex::kavel
