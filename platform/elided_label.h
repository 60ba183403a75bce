// A one-line label that gives way when its window narrows: the middle of its
// text is left out ("Working folder: /home/…/jet") rather than the window
// held wide or the end cut off; the whole text is its tooltip.
#pragma once

#include <QLabel>
#include <QString>

namespace torvex {

class ElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);
    const QString& fullText() const { return full_; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showElided();

    QString full_;
};

} // namespace torvex
