#include "shell/messages.h"

#include <QDir>
#include <QMessageBox>
#include <QPainter>

#include <cstring>

#include "platform/package_version.h"
#include "resources/bitmaps.h"
#include "shell/auxiliary_dialogs.h"

namespace torvex {

namespace {
constexpr int kOk = 1;
constexpr int kCancel = 2;
constexpr int kQuit = 3;
}  // namespace

// ----- About box -------------------------------------------------------------------

AboutBox::AboutBox(QWidget* owner)
    : TorvexDialog(owner, QString(), 245, 161, DialogFrame::Popup),
      plasma_(plasmaBitmap()),
      torvex_(torvexBitmap()) {
    setTemplateFont(QStringLiteral("Arial"), 12);
    addStatic(103, QStringLiteral("Software Package for"), {150, 28, 68, 8});
    addStatic(104, QStringLiteral("TORVEX"), {150, 39, 92, 8});
    addStatic(109, QStringLiteral("Version %1").arg(QLatin1String(kPackageVersion)), {150, 60, 78, 9});
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

CautionDialog::CautionDialog(QWidget* owner, int screenWidth, int screenHeight)
    : TorvexDialog(owner, QStringLiteral("  Precaution "), 185, 128) {
    setObjectName(QStringLiteral("CAUTION"));
    const QString size = screenWidth > 0 && screenHeight > 0
                             ? QStringLiteral("This screen has %1 \u00d7 %2 pixels.").arg(screenWidth).arg(screenHeight)
                             : QString();
    addStatic(-1,
              QStringLiteral("The TORVEX windows need a screen of at least 1024 \u00d7 768 pixels. ") + size +
                  QStringLiteral("\n\nParts of the dialogs and charts may lie beyond its edges. A higher "
                                 "resolution can be chosen in the desktop's display settings."),
              {10, 8, 165, 92});
    // Continuing is what nearly everyone wants: it is the default, and
    // Enter, Escape and the close box all continue.
    addPushButton(kCancel, QStringLiteral("&Continue"), {131, 108, 44, 12}, true);
    addPushButton(kQuit, QStringLiteral("&Quit"), {80, 108, 44, 12});
}

void CautionDialog::onCommand(int id) {
    if (id == kQuit) {
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
                             "Please choose other input data."),
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

bool showCaution(QWidget* parent, int screenWidth, int screenHeight) {
    CautionDialog dialog(parent, screenWidth, screenHeight);
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
