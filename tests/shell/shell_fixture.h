// Shared set-up of the shell tests: one QApplication for the whole test
// program and a temporary working directory, since the program reads and
// writes its files in the current directory.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <filesystem>

#include "tests/support/temp_dir.h"

namespace torvex::test {

// Made once and kept to the end: destroying it among the other statics at
// exit would tear down Qt's input devices in the wrong order.
inline QApplication& testApplication() {
    static int argc = 1;
    static char name[] = "torvex_shell_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// While it lives, rejects every modal dialog that opens and counts them, so
// that commands which open dialogs can run in a test.
class ModalCloser {
public:
    ModalCloser() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                ++closed_;
                dialog->reject();
            }
        });
        timer_.start();
    }
    int closed() const { return closed_; }

private:
    QTimer timer_;
    int closed_ = 0;
};

// Every item of the menu bar and of each menu under it has one key of its
// own: one "&" letter, none shared with another item of the same menu.
inline void expectOneKeyPerItem(const QList<QAction*>& items, const QString& where) {
    QString keys;
    for (QAction* a : items) {
        if (a->isSeparator()) continue;
        const QString caption = QString(a->text()).replace(QStringLiteral("&&"), QString());
        EXPECT_EQ(caption.count(QLatin1Char('&')), 1) << (where + " > " + a->text()).toStdString();
        const int at = caption.indexOf(QLatin1Char('&'));
        const QChar key = at >= 0 && at + 1 < caption.size() ? caption[at + 1].toLower() : QChar();
        EXPECT_FALSE(keys.contains(key)) << (where + " > " + a->text()).toStdString();
        keys += key;
        if (a->menu()) expectOneKeyPerItem(a->menu()->actions(), where + " > " + a->text());
    }
}
inline void expectOneKeyPerItem(QMenuBar* bar) { expectOneKeyPerItem(bar->actions(), QStringLiteral("menu bar")); }

class InTempDir : public ::testing::Test {
protected:
    // The recent variants and folders a test leaves go to its own settings.
    InTempDir() : previous_(std::filesystem::current_path()), config_(qgetenv("XDG_CONFIG_HOME")) {
        testApplication();
        std::filesystem::current_path(dir.path());
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.path() + "/.config"));
    }
    ~InTempDir() override {
        std::filesystem::current_path(previous_);
        if (config_.isEmpty()) qunsetenv("XDG_CONFIG_HOME");
        else qputenv("XDG_CONFIG_HOME", config_);
    }

    TempDir dir;

private:
    std::filesystem::path previous_;
    QByteArray config_;
};

}  // namespace torvex::test
