#include "platform/visible_focus.h"

#include <QApplication>
#include <QFocusFrame>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>

namespace torvex {

namespace {

// The application's style, drawing the focus frame that it would leave out.
class FocusFrameStyle : public QProxyStyle {
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (element != CE_FocusFrame) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        painter->save();
        painter->setPen(QPen(option->palette.color(QPalette::Active, QPalette::Highlight), 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option->rect).adjusted(1, 1, -1, -1));
        painter->restore();
    }
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        // The frame lies just outside the control, clear of its own border.
        if (metric == PM_FocusFrameHMargin || metric == PM_FocusFrameVMargin) return 3;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

bool framed(const QWidget* w) {
    return w && !w->isWindow() && (w->focusPolicy() & Qt::TabFocus) && w->parentWidget();
}

}  // namespace

void showFocusVisibly(QApplication& app) {
    app.setStyle(new FocusFrameStyle);
    QObject::connect(&app, &QApplication::focusChanged, &app, [](QWidget*, QWidget* now) {
        // One frame, moved from control to control; it goes with the window
        // it was last in, and a new one is made after that.
        static QPointer<QFocusFrame> frame;
        if (!framed(now)) {
            if (frame) frame->setWidget(nullptr);
            return;
        }
        if (!frame) frame = new QFocusFrame(now->parentWidget());
        frame->setWidget(now);
    });
}

} // namespace torvex
