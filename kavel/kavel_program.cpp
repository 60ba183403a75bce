#include "kavel/kavel_program.h"

#include <QApplication>
#include <QDir>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "kavel/kavel_window.h"

namespace torvex::kavel {

bool acceptedArguments(int argc, char** argv, std::string& problem) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "Mirtane") != 0) {
            problem =
                std::string("unknown argument '") + argv[i] +
                "' (kavel works on the variant in the current folder; it takes no argument, or Mirtane)";
            return false;
        }
    }
    return true;
}

int runKavel(int argc, char** argv) {
    // Qt takes its own options (-platform, -style, ...) out of the line first.
    QApplication app(argc, argv);
    std::string problem;
    if (!acceptedArguments(argc, argv, problem)) {
        std::fprintf(stderr, "kavel: %s.\n", problem.c_str());
        return 2;
    }
    // The files and the panel's numbers always use a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    KavelWindow window(QDir::currentPath());
    window.show();
    return app.exec();
}

}  // namespace torvex::kavel
