#include "kavel/kavel_program.h"

#include <QApplication>
#include <QDir>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kavel/kavel_window.h"
#include "platform/visible_focus.h"

namespace torvex::kavel {

namespace {

// A process id: digits only, above 0.
bool processIdArgument(const char* text, long long& id) {
    if (!*text || std::strlen(text) > 18) return false;
    for (const char* c = text; *c; ++c)
        if (*c < '0' || *c > '9') return false;
    id = std::atoll(text);
    return id > 0;
}

}  // namespace

bool acceptedArguments(int argc, char** argv, std::string& problem, long long* torvexBeside) {
    long long beside = 0;
    const bool fromTorvex = argc >= 2 && std::strcmp(argv[1], "Mirtane") == 0;
    const int known = !fromTorvex ? 1 : argc >= 3 && processIdArgument(argv[2], beside) ? 3 : 2;
    if (argc > known) {
        problem = std::string("unknown argument '") + argv[known] +
                  "' (kavel works on the variant in the current folder; it takes no argument, or Mirtane and "
                  "the process id of the TORVEX beside it)";
        return false;
    }
    if (torvexBeside) *torvexBeside = beside;
    return true;
}

int runKavel(int argc, char** argv) {
    // Qt takes its own options (-platform, -style, ...) out of the line first.
    QApplication app(argc, argv);
    std::string problem;
    long long torvexBeside = 0;
    if (!acceptedArguments(argc, argv, problem, &torvexBeside)) {
        std::fprintf(stderr, "kavel: %s.\n", problem.c_str());
        return 2;
    }
    // The files and the panel's numbers always use a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    showFocusVisibly(app);
    KavelWindow window(QDir::currentPath());
    window.setTorvexBeside(torvexBeside);
    window.show();
    return app.exec();
}

}  // namespace torvex::kavel
