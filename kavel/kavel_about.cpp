#include "kavel/kavel_about.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <system_error>

#include "platform/package_version.h"
#include "shell/help_file.h"
#include "solver/data_folders.h"

namespace torvex::kavel {

namespace {
const char* const kHelpFileName = "Kavel.hlp";
}  // namespace

QImage kavelIcon(int size) {
    // Drawn on a 32-unit square scaled to the size asked for.
    constexpr int kIconSize = 32;
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(QColor(192, 192, 192));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / double(kIconSize), size / double(kIconSize));
    // The substrate on the right, and particles on their way to it.
    p.fillRect(QRectF(27, 2, 4, 28), QColor(90, 90, 90));
    const QColor colours[3] = {QColor(0, 0, 255), QColor(0, 150, 0), QColor(255, 0, 0)};
    for (int k = 0; k < 3; ++k) {
        p.setPen(Qt::NoPen);
        p.setBrush(colours[k]);
        p.drawEllipse(QRectF(18 + 2 * k, 6 + 9 * k, 3 + k, 3 + k));
    }
    QFont font;
    font.setBold(true);
    font.setPixelSize(24);
    p.setFont(font);
    p.setPen(QColor(128, 0, 160));
    p.drawText(QRect(0, 0, 20, kIconSize), Qt::AlignCenter, QStringLiteral("K"));
    return image;
}

QString kavelHelpFilePath() { return helpFilePath(kHelpFileName); }

QString kavelAboutText() {
    return QStringLiteral(
               "<b>Kavel</b> \u2014 Simulation of Spray Particles<br>Version %1<br><br>"
               "The spray-particle module of the TORVEX package: powder injected into the "
               "computed plasma jet, accelerated, heated, melted and carried to the substrate. "
               "Help \u203a Help Contents describes the model, the inputs, the pages and the files.")
        .arg(QString::fromLatin1(kPackageVersion));
}

}  // namespace torvex::kavel
