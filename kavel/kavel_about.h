// kavel's icon, its help file and the text of its About box.
#pragma once

#include <QImage>
#include <QString>

namespace torvex::kavel {

// Particles flying from the left into a substrate on the right, with a K.
QImage kavelIcon(int size = 32);

// Kavel.hlp: in the working folder, else the one installed with the package
// (or of the source tree); where it belongs when none is found.
QString kavelHelpFilePath();

// The About box's text with the package version.
QString kavelAboutText();

}  // namespace torvex::kavel
