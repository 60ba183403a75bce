// The fixture of the road tests: a working directory with un.dat and the gas
// files, a main window started back, and a driver that acts on each modal
// window as it comes up.
#pragma once

#include "shell/main_window.h"
#include "shell/torvex_dialog.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QListWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace torvex::road {

inline QApplication& application() {
    static int argc = 1;
    static char name[] = "torvex_variant_tests";
    static char* argv[] = {name, nullptr};
    // Never destroyed: tearing Qt down among the other statics at exit crashes.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// The test's working directory holds un.dat and the gas files; every file of
// the program is addressed by bare name in the current directory.
class VariantRoad : public ::testing::Test {
protected:
    void SetUp() override {
        application();
        previous_ = QDir::currentPath();
        // The recent variants and folders go to the test's own settings.
        config_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir_.path() + "/.config"));
        dir_.write("un.dat", "1 1 1 1 \n");
        dir_.copyGasFile("ar.dat");
        dir_.copyGasFile("n2.dat");
        QDir::setCurrent(QString::fromStdString(dir_.path()));
        main_ = std::make_unique<MainWindow>(true);
    }
    void TearDown() override {
        main_.reset();
        QDir::setCurrent(previous_);
        if (config_.isEmpty()) qunsetenv("XDG_CONFIG_HOME");
        else qputenv("XDG_CONFIG_HOME", config_);
    }

    bool enabled(int id) const { return main_->action(id)->isEnabled(); }

    // Runs a menu command while a timer acts on each modal window that comes
    // up, once per window, through `act`.
    void runWithDriver(int command, const std::function<void(QWidget*)>& act) {
        QTimer timer;
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal->property("driven").toBool()) return;
            modal->setProperty("driven", true);
            act(modal);
        });
        timer.start();
        main_->runCommand(command);
    }

    test::TempDir dir_;
    QString previous_;
    QByteArray config_;
    std::unique_ptr<MainWindow> main_;
};

inline void pick(TorvexDialog* dialog, int listId, const QString& text) {
    auto* list = dialog->controlAs<QListWidget>(listId);
    ASSERT_NE(list, nullptr);
    const auto found = list->findItems(text, Qt::MatchExactly);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    list->setCurrentItem(found.front());
}

inline void press(QWidget* w, int key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

} // namespace torvex::road
