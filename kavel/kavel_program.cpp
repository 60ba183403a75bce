#include "kavel/kavel_program.h"

#include <QApplication>
#include <QDir>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "kavel/kavel_window.h"

namespace torvex::kavel {

int runKavel(int argc, char** argv) {
    QApplication app(argc, argv);
    // The files and the panel's numbers always use a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "Mirtane") != 0) {
            std::fprintf(stderr,
                         "kavel: unknown argument '%s' (kavel works on the variant in the current folder).\n",
                         argv[i]);
            return 2;
        }
    }
    KavelWindow window(QDir::currentPath());
    window.show();
    return app.exec();
}

}  // namespace torvex::kavel
