// The About box, the Caution dialog and the cannot-calculate message, as
// dialogs (shown through the functions of messages.h).
#pragma once

#include <QImage>

#include "shell/torvex_dialog.h"

namespace torvex {

// The About box: a popup with the two pictures and the version.
class AboutBox : public TorvexDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* owner);

protected:
    void onCommand(int id) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QImage plasma_;
    QImage torvex_;
};

// "CAUTION": warns that the screen is too small to hold the windows; the
// size of the screen is named when known.
class CautionDialog : public TorvexDialog {
    Q_OBJECT
public:
    explicit CautionDialog(QWidget* owner, int screenWidth = 0, int screenHeight = 0);
    // Cleared by "&Quit", which ends the program; "&Continue" leaves it set.
    bool continueProgram() const { return continue_; }

protected:
    void onCommand(int id) override;

private:
    bool continue_ = true;
};

// "NEDOBRE": the variant cannot be calculated.
class CannotCalculateDialog : public TorvexDialog {
    Q_OBJECT
public:
    explicit CannotCalculateDialog(QWidget* owner);

protected:
    void onCommand(int id) override;
};

}  // namespace torvex
