#include "platform/help_window.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <algorithm>

namespace torvex {

namespace {

constexpr int kAnchorRole = Qt::UserRole;

QString plainTitle(const QString& html) {
    QTextDocument doc;
    doc.setHtml(html);
    return doc.toPlainText().simplified();
}

QString missingFileText(const QString& helpFile) {
    return QStringLiteral(
               "<h2>Help is not available</h2><p>The help file <b>%1</b> "
               "could not be opened.</p>")
        .arg(helpFile.toHtmlEscaped());
}

}  // namespace

std::vector<HelpTopic> helpTopics(const QString& html) {
    static const QRegularExpression heading(
        QStringLiteral("<h([23])\\s+id=\"([^\"]+)\"[^>]*>(.*?)</h\\1>"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    std::vector<HelpTopic> topics;
    auto it = heading.globalMatch(html);
    while (it.hasNext()) {
        const auto m = it.next();
        topics.push_back({m.captured(1).toInt(), m.captured(2), plainTitle(m.captured(3))});
    }
    return topics;
}

HelpWindow::HelpWindow(const QString& helpFile, QWidget* parent)
    : QWidget(parent, Qt::Window),
      contents_(new QListWidget),
      index_(new QListWidget),
      text_(new QTextBrowser) {
    setWindowTitle(QStringLiteral("TORVEX Help"));
    auto* tabs = new QTabWidget;
    tabs->addTab(contents_, QStringLiteral("Contents"));
    tabs->addTab(index_, QStringLiteral("Index"));
    auto* splitter = new QSplitter;
    splitter->addWidget(tabs);
    splitter->addWidget(text_);
    splitter->setStretchFactor(1, 3);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(splitter);
    resize(900, 640);

    QFile file(helpFile);
    if (file.open(QIODevice::ReadOnly)) {
        const QString html = QString::fromUtf8(file.readAll());
        text_->setSearchPaths({QFileInfo(helpFile).absolutePath()});
        text_->setHtml(html);
        fillLists(helpTopics(html));
        // Each program's help file names its window ("TORVEX Help", "Kavel Help").
        const QString title = text_->documentTitle();
        if (!title.isEmpty()) setWindowTitle(title);
    } else {
        text_->setHtml(missingFileText(helpFile));
    }

    auto go = [this](QListWidgetItem* item) { text_->scrollToAnchor(item->data(kAnchorRole).toString()); };
    connect(contents_, &QListWidget::itemActivated, this, go);
    connect(contents_, &QListWidget::itemClicked, this, go);
    connect(index_, &QListWidget::itemActivated, this, go);
    connect(index_, &QListWidget::itemClicked, this, go);
}

void HelpWindow::fillLists(const std::vector<HelpTopic>& topics) {
    // Contents: the topics in reading order, subtopics indented.
    for (const HelpTopic& t : topics) {
        const QString indent = t.level > 2 ? QStringLiteral("    ") : QString();
        auto* item = new QListWidgetItem(indent + t.title, contents_);
        item->setData(kAnchorRole, t.anchor);
    }
    // Index: every topic and subtopic alphabetically.
    std::vector<HelpTopic> sorted = topics;
    std::sort(sorted.begin(), sorted.end(), [](const HelpTopic& a, const HelpTopic& b) {
        return QString::localeAwareCompare(a.title, b.title) < 0;
    });
    for (const HelpTopic& t : sorted) {
        auto* item = new QListWidgetItem(t.title, index_);
        item->setData(kAnchorRole, t.anchor);
    }
}

QRect helpWindowGeometry(const QRect& screen, const QSize& wished, const QMargins& frame) {
    // The frame the window manager adds must fit as well.
    const QSize room(screen.width() - frame.left() - frame.right(), screen.height() - frame.top() - frame.bottom());
    const QSize size = wished.boundedTo(room);
    const QPoint topLeft(screen.left() + frame.left() + (room.width() - size.width()) / 2,
                         screen.top() + frame.top() + (room.height() - size.height()) / 2);
    return QRect(topLeft, size);
}

void placeOnScreen(QWidget& window, QWidget* owner) {
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    // A title bar and borders of the usual size, until the window is framed.
    const QMargins frame(4, 28, 4, 4);
    window.setGeometry(helpWindowGeometry(screen->availableGeometry(), window.size(), frame));
}

void openHelpWindow(const QString& helpFile, QWidget* owner) {
    static QPointer<HelpWindow> window;
    // Each opening starts afresh at the contents.
    if (window) {
        window->close();
    }
    window = new HelpWindow(helpFile, owner);
    window->setAttribute(Qt::WA_DeleteOnClose);
    placeOnScreen(*window, owner);
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace torvex
