#include "shell/messages.h"

#include <QDir>
#include <QMessageBox>
#include <QPainter>

#include <cstring>

#include "resources/bitmaps.h"
#include "shell/auxiliary_dialogs.h"

namespace torvex {

namespace {
constexpr int kOk = 1;
constexpr int kCancel = 2;
}  // namespace

// ----- About box -------------------------------------------------------------------

AboutBox::AboutBox(QWidget* owner)
    : TorvexDialog(owner, QString(), 245, 161, DialogFrame::Popup),
      plasma_(plasmaBitmap()),
      torvex_(torvexBitmap()) {
    setTemplateFont(QStringLiteral("Arial"), 12);
    addStatic(103, QStringLiteral("Software Package for"), {150, 28, 68, 8});
    addStatic(104, QStringLiteral("TORVEX"), {150, 39, 92, 8});
    addStatic(109, QStringLiteral("Version 3.1 "), {150, 60, 78, 9});
    addPushButton(kOk, QStringLiteral("OK "), {209, 142, 26, 12}, true);
}

void AboutBox::onCommand(int id) {
    if (id == kOk) {
        accept();
    }
}

void AboutBox::paintEvent(QPaintEvent* event) {
    TorvexDialog::paintEvent(event);
    QPainter p(this);
    p.drawImage(15, 15, plasma_);
    p.drawImage(330, 0, torvex_);
}

// ----- Caution -----------------------------------------------------------------------

CautionDialog::CautionDialog(QWidget* owner)
    : TorvexDialog(owner, QStringLiteral("  Precaution "), 185, 128) {
    setObjectName(QStringLiteral("CAUTION"));
    struct Line {
        int y;
        int width;
        const char* text;
    };
    const Line lines[] = {
        {8, 161, "Your Windows settings are not optimal for "},
        {18, 161, "displaying the TORVEX windows."},
        {31, 161, "For proper displaying the TORVEX windows"},
        {42, 161, "please set the following properties of your screen:"},
        {58, 161, "Display Properties / Settings /"},
        {71, 161, "Colors: High Color (16 bit)"},
        {82, 161, "Screen Area: 1024 by 768 pixels"},
        {93, 172, "Advanced / General / Display / Font Size: Small Fonts"},
    };
    for (const Line& l : lines) {
        addStatic(-1, QString::fromLatin1(l.text), {10, l.y, l.width, 10});
    }
    addPushButton(kOk, QStringLiteral("OK "), {149, 108, 26, 12}, true);
    addPushButton(kCancel, QStringLiteral("&Cancel"), {106, 108, 26, 12});
}

void CautionDialog::onCommand(int id) {
    if (id == kOk) {
        continue_ = false;
        accept();
    } else if (id == kCancel) {
        reject();
    }
}

// ----- Cannot calculate --------------------------------------------------------------

CannotCalculateDialog::CannotCalculateDialog(QWidget* owner)
    : TorvexDialog(owner, QStringLiteral("NeDOBRE"), 133, 81, DialogFrame::CaptionWithSystemMenu) {
    setObjectName(QStringLiteral("NEDOBRE"));
    addStatic(-1,
              QStringLiteral("This plasma jet variant can not be calculated. "
                             "Please, choose other data being inputted."),
              {0, 8, 127, 41}, Qt::AlignHCenter);
    addPushButton(kOk, QStringLiteral("OK "), {86, 50, 26, 12}, true);
}

void CannotCalculateDialog::onCommand(int id) {
    if (id == kOk) {
        accept();
    }
}

// ----- The functions the program calls -------------------------------------------------

void showCannotCalculate(QWidget* parent) {
    CannotCalculateDialog dialog(parent);
    dialog.exec();
}

void showAboutBox(QWidget* parent) {
    AboutBox dialog(parent);
    dialog.exec();
}

bool showCaution(QWidget* parent) {
    CautionDialog dialog(parent);
    dialog.exec();
    return dialog.continueProgram();
}

void showMessage(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QStringLiteral("TORVEX"), text);
}

QString workingFilePath(const QString& name) {
    return QDir::toNativeSeparators(QDir::current().absoluteFilePath(name));
}

QString notWrittenText(const QString& name, int errorNumber) {
    const QString reason = errorNumber != 0 ? QString::fromLocal8Bit(std::strerror(errorNumber))
                                            : QStringLiteral("the file system refused it");
    return QStringLiteral("%1 cannot be written (%2)").arg(workingFilePath(name), reason);
}

}  // namespace torvex
