#include "platform/elided_label.h"

#include <QFontMetrics>

namespace torvex {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent) {}

void ElidedLabel::setFullText(const QString& text) {
    full_ = text;
    setToolTip(text);
    updateGeometry();
    showElided();
}

QSize ElidedLabel::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(full_) + 2 * margin() + 4, QLabel::sizeHint().height());
}

// Room for a few letters and the ellipsis; the rest goes when space is short.
QSize ElidedLabel::minimumSizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(QStringLiteral("Working\u2026")), QLabel::minimumSizeHint().height());
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    showElided();
}

void ElidedLabel::showElided() {
    setText(fontMetrics().elidedText(full_, Qt::ElideMiddle, contentsRect().width()));
}

} // namespace torvex
