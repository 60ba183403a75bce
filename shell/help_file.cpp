#include "shell/help_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace torvex {

namespace {
const char* const kHelpFileName = "Torvex.hlp";
}  // namespace

QString helpFilePath() {
    const QString name = QString::fromLatin1(kHelpFileName);
    const QStringList folders = {
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/torvex"),
        QStringLiteral(TORVEX_INSTALLED_DATA_DIR),
        QStringLiteral(TORVEX_SOURCE_HELP_DIR),
    };
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile()) {
            return QDir::cleanPath(path);
        }
    }
    // Not found: the place it belongs, by its full name, for the message.
    return QDir::cleanPath(QDir(folders.front()).absoluteFilePath(name));
}

}  // namespace torvex
