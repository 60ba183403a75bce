#include "platform/offscreen_session.h"

#include <QFile>

#include <clocale>

namespace torvex {

OffscreenSession::OffscreenSession(const char* programName) {
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
        runtime_ = std::make_unique<QTemporaryDir>();
        if (runtime_->isValid()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_->path()));
    }
    if (QCoreApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[64] = {};
    qstrncpy(name, programName, sizeof name);
    static char* argv[] = {name, nullptr};
    application_ = std::make_unique<QGuiApplication>(argc, argv);
    // The toolkit adopts the user's locale for the C library; numbers on the
    // pages carry a decimal point under every locale, as in the desktop
    // program.
    std::setlocale(LC_NUMERIC, "C");
}

// The application goes before its runtime directory.
OffscreenSession::~OffscreenSession() { application_.reset(); }

}  // namespace torvex
