// Build tool: writes the program's icon, drawn by the same code as the
// window icon, as PNG files of the sizes desktops look for, in the layout of
// the hicolor icon theme: DIR/NxN/apps/torvex.png.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <cstdio>

#include "resources/bitmaps.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: torvex_icons DIR SIZE...\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");  // fonts need a GUI application, not a display
    // The offscreen platform wants a private runtime folder; a build has none.
    QTemporaryDir runtime;
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR") && runtime.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QGuiApplication app(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (int k = 2; k < argc; ++k) {
        const int size = QString::fromLatin1(argv[k]).toInt();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        const QString path = folder + QStringLiteral("/torvex.png");
        if (size <= 0 || !QDir().mkpath(folder) || !torvex::torvexIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "torvex_icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
