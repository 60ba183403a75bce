// The help window: a contents list and an index list beside the help text.
#pragma once

#include <QMargins>
#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

class QListWidget;
class QTextBrowser;

namespace torvex {

// One heading of the help text: its level (2 = topic, 3 = subtopic), the
// anchor it carries and its title.
struct HelpTopic {
    int level = 2;
    QString anchor;
    QString title;
};

// The headings <h2 id="..."> and <h3 id="..."> of an HTML help text, in order.
std::vector<HelpTopic> helpTopics(const QString& html);

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Shows the help file at its contents; a missing file is reported in the
    // window itself.
    explicit HelpWindow(const QString& helpFile, QWidget* parent = nullptr);

    QListWidget* contentsList() const { return contents_; }
    QListWidget* indexList() const { return index_; }
    QTextBrowser* text() const { return text_; }

private:
    void fillLists(const std::vector<HelpTopic>& topics);

    QListWidget* contents_;
    QListWidget* index_;
    QTextBrowser* text_;
};

// Where the help window goes: its wished size, made smaller where the screen
// area less the window manager's frame is smaller, centred on that area, so
// that the whole window with its frame is on the screen.
QRect helpWindowGeometry(const QRect& screen, const QSize& wished, const QMargins& frame);
// Places a window so, on the screen of its owner.
void placeOnScreen(QWidget& window, QWidget* owner);

// Opens the one help window of the program on a help file, at its contents.
// The window belongs to `owner` and goes when the owner's program ends.
void openHelpWindow(const QString& helpFile, QWidget* owner);

}  // namespace torvex
