#include "shell/program.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <clocale>

#include "platform/dialog_units.h"
#include "platform/visible_focus.h"
#include "resources/bitmaps.h"
#include "shell/main_window.h"
#include "shell/messages.h"
#include "shell/working_folder.h"

namespace torvex {

std::string commandLineOf(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            line += ' ';
        }
        line += argv[i];
    }
    return line;
}

bool isStartedBack(const std::string& commandLine) { return !commandLine.empty() && commandLine[0] == '0'; }

bool displayNeedsCaution(const DisplaySettings& d) {
    return d.width < 1024 || d.height < 768;
}

DisplaySettings currentDisplay() {
    DisplaySettings d;
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        d.width = screen->geometry().width();
        d.height = screen->geometry().height();
        d.colourDepth = screen->depth();
    }
    d.baseUnitHeight = kDialogBaseUnitHeight;
    return d;
}

int runProgram(int argc, char** argv) {
    QApplication app(argc, argv);
    // Qt adopts the user's locale for the C library; the program's files and
    // value lists always use a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    // The icon of the main window and of every dialog.
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(torvexIcon())));
    showFocusVisibly(app);
    const bool startedBack = isStartedBack(commandLineOf(argc, argv));
    // Before the window reads un.dat: the folder the variant's files live in.
    const QString folderProblem = enterStartFolder(startedBack);
    MainWindow window(startedBack);

    if (!startedBack) {
        const DisplaySettings display = currentDisplay();
        if (displayNeedsCaution(display) && !showCaution(&window, display.width, display.height)) {
            // "Quit": end before the main window is ever shown.
            window.close();
            return 0;
        }
        if (!window.closed()) {
            showAboutBox(&window);  // the start screen
        }
    }
    // A dialog's close command may have ended the program already.
    if (window.closed()) {
        return 0;
    }
    window.show();
    window.applyMenuEvent(MenuEvent::Start);
    if (!folderProblem.isEmpty()) {
        QMessageBox::warning(&window, QStringLiteral("Working Folder"),
                             folderProblem + QStringLiteral(" The program works in %1 instead.")
                                                 .arg(QDir::toNativeSeparators(QDir::currentPath())));
    }
    return app.exec();
}

}  // namespace torvex
