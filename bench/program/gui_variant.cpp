// The desktop program driven offscreen through one whole variant, the way a
// user goes: "&New", the parameter dialog (argon, 8 mm anode, the first
// length, current and flow of the lists), "&Run", the Previous-variant "OK",
// then every chart view painted. The program benchmarks start it as a child
// process, so the peak memory the kernel reports for it is the program's own.
//
//   torvex_gui_variant DIR            the whole variant in DIR (holds un.dat)
//   torvex_gui_variant DIR --start    only the main window, shown and painted
//
// Exit 0 when the variant was calculated and every view painted.
#include "shell/main_window.h"
#include "shell/torvex_dialog.h"
#include "variant/parameter_dialog.h"
#include "variant/parameter_input.h"
#include "variant/previous_dialog.h"
#include "variant/run_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

using namespace torvex;

constexpr int kWindowWidth = 1200;
constexpr int kWindowHeight = 840;

void pickDiameter(ParameterDialog* dialog, const QString& text) {
    auto* list = dialog->controlAs<QListWidget>(input_ids::kDiameterList);
    const auto found = list ? list->findItems(text, Qt::MatchExactly) : QList<QListWidgetItem*>();
    if (!found.isEmpty()) list->setCurrentItem(found.front());
}

// Answers each modal window of the variant's road once, as the user would.
void answer(QWidget* modal) {
    if (auto* input = qobject_cast<ParameterDialog*>(modal)) {
        pickDiameter(input, QStringLiteral("8.0"));
        input->activate(input_ids::kGroup1Ok);
        input->activate(input_ids::kGroup2Ok);
    } else if (auto* run = qobject_cast<RunDialog*>(modal)) {
        run->activate(run_ids::kRun);
    } else if (auto* previous = qobject_cast<PreviousDialog*>(modal)) {
        previous->activate(previous_ids::kOk);
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
        dialog->reject();  // a message the road does not expect: end it
    }
}

void driveVariantThroughTheWindows(MainWindow& main) {
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->property("answered").toBool()) return;
        modal->setProperty("answered", true);
        answer(modal);
    });
    timer.start();
    main.runCommand(menu::kNew);
}

// Each chart view chosen from the menu and painted into an image.
bool paintEveryView(MainWindow& main) {
    for (int command : {menu::kAllCharts, menu::kIsothermalLines, menu::kRadialDistributions,
                        menu::kAxialDistributions}) {
        main.runCommand(command);
        if (main.grab().isNull()) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || (argc == 3 && std::strcmp(argv[2], "--start") != 0) || argc > 3) {
        std::fprintf(stderr, "usage: torvex_gui_variant DIR [--start]\n");
        return 2;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtime;
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR") && runtime.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QApplication app(argc, argv);
    if (!QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) return 2;

    MainWindow main(true);
    main.resize(kWindowWidth, kWindowHeight);
    main.show();
    if (main.grab().isNull()) return 1;
    if (argc == 3) return 0;

    driveVariantThroughTheWindows(main);
    if (!QFile::exists(QStringLiteral("ftu.res"))) {
        std::fprintf(stderr, "torvex_gui_variant: the variant wrote no ftu.res\n");
        return 1;
    }
    return paintEveryView(main) ? 0 : 1;
}
