// The help window: a contents list and an index list beside the help text.
#pragma once

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

// Opens the one help window of the program on a help file, at its contents.
// The window belongs to `owner` and goes when the owner's program ends.
void openHelpWindow(const QString& helpFile, QWidget* owner);

}  // namespace torvex
