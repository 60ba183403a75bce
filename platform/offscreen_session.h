// What a headless program needs to draw pages with fonts: a GUI application
// on the offscreen platform (unless one exists already) and a private
// runtime directory where the session has none, so the platform does not warn.
#pragma once

#include <QGuiApplication>
#include <QTemporaryDir>
#include <memory>

namespace torvex {

class OffscreenSession {
public:
    // `programName` names the application (argv[0]).
    explicit OffscreenSession(const char* programName);
    ~OffscreenSession();
    OffscreenSession(const OffscreenSession&) = delete;
    OffscreenSession& operator=(const OffscreenSession&) = delete;

private:
    std::unique_ptr<QTemporaryDir> runtime_;
    std::unique_ptr<QGuiApplication> application_;
};

}  // namespace torvex
