#include "shell/torvex_dialog.h"

#include <QButtonGroup>
#include <QColor>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace torvex {

namespace {

Qt::WindowFlags flagsFor(DialogFrame frame) {
    switch (frame) {
        case DialogFrame::Caption:
            return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        case DialogFrame::CaptionWithSystemMenu:
            return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint;
        case DialogFrame::Popup:
            return Qt::Dialog | Qt::FramelessWindowHint;
    }
    return Qt::Dialog;
}

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

}  // namespace

QFont templateFont(const QString& face, int points) {
    QFont font;
    // The layouts were made for these faces; Liberation Sans has Arial's
    // metrics and stands in for both where they are not installed.
    font.setFamilies({face, QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(fontPointsToPixels(points));
    return font;
}

TorvexDialog::TorvexDialog(QWidget* owner, const QString& title, int widthUnits, int heightUnits,
                           DialogFrame frame)
    : QDialog(owner, flagsFor(frame)) {
    setWindowTitle(title);
    setModal(true);
    setFixedSize(dialogSizeToPixels(widthUnits, heightUnits));
    setTemplateFont(QStringLiteral("MS Sans Serif"), 10);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(kDialogGrey.red, kDialogGrey.green, kDialogGrey.blue));
    setPalette(p);
    setAutoFillBackground(true);
    if (frame == DialogFrame::Popup) {
        setStyleSheet(QStringLiteral("TorvexDialog { border: 2px outset #c2c2c2; }"));
    }
}

void TorvexDialog::setTemplateFont(const QString& face, int points) { setFont(templateFont(face, points)); }

void TorvexDialog::placeAt(int xUnits, int yUnits) {
    placed_ = true;
    placement_ = dialogPointToPixels(xUnits, yUnits);
}

void TorvexDialog::addControl(int id, QWidget* w, const DialogRect& r) {
    w->setGeometry(dialogRectToPixels(r));
    if (id > 0) {
        controls_[id] = w;
    }
}

QPushButton* TorvexDialog::addPushButton(int id, const QString& caption, const DialogRect& r,
                                         bool isDefault) {
    auto* b = new QPushButton(caption, this);
    // Enter is handled by the dialog's own rule, not by Qt's auto-default.
    b->setAutoDefault(false);
    b->setDefault(isDefault);
    if (isDefault) {
        defaultButton_ = b;
    }
    connect(b, &QPushButton::clicked, this, [this, id] { activate(id); });
    addControl(id, b, r);
    return b;
}

QRadioButton* TorvexDialog::addRadioButton(int id, const QString& caption, const DialogRect& r,
                                           bool startsGroup) {
    auto* b = new QRadioButton(caption, this);
    if (startsGroup || !currentRadioGroup_) {
        currentRadioGroup_ = new QButtonGroup(this);
    }
    currentRadioGroup_->addButton(b, id);
    connect(b, &QRadioButton::clicked, this, [this, id] { activate(id); });
    addControl(id, b, r);
    return b;
}

QGroupBox* TorvexDialog::addGroupBox(int id, const QString& caption, const DialogRect& r) {
    auto* g = new QGroupBox(caption, this);
    addControl(id, g, r);
    g->lower();  // a frame drawn behind the buttons it surrounds
    return g;
}

QLabel* TorvexDialog::addStatic(int id, const QString& text, const DialogRect& r, Qt::Alignment alignment) {
    auto* l = new QLabel(text, this);
    l->setAlignment(alignment | Qt::AlignTop);
    l->setWordWrap(true);
    addControl(id, l, r);
    return l;
}

QListWidget* TorvexDialog::addListBox(int id, const DialogRect& r) {
    auto* l = new QListWidget(this);
    addControl(id, l, r);
    return l;
}

QProgressBar* TorvexDialog::addProgressBar(int id, const DialogRect& r) {
    auto* p = new QProgressBar(this);
    p->setRange(0, 100);
    p->setTextVisible(false);
    addControl(id, p, r);
    return p;
}

QWidget* TorvexDialog::control(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void TorvexDialog::checkRadioButton(int first, int last, int id) {
    for (int i = first; i <= last; ++i) {
        auto* b = controlAs<QRadioButton>(i);
        if (!b) {
            continue;
        }
        // An exclusive group refuses to uncheck its checked button.
        QButtonGroup* group = b->group();
        if (group) {
            group->setExclusive(false);
        }
        b->setChecked(i == id);
        if (group) {
            group->setExclusive(true);
        }
    }
}

bool TorvexDialog::isChecked(int id) const {
    auto* b = qobject_cast<QAbstractButton*>(control(id));
    return b && b->isChecked();
}

void TorvexDialog::activate(int id) {
    QWidget* w = control(id);
    if (w && !w->isEnabled()) {
        return;
    }
    emit command(id);
    onCommand(id);
}

void TorvexDialog::onCommand(int) {}

void TorvexDialog::activateByEnter() {
    // The focused push button, else the default push button, else id 1.
    QWidget* focused = focusWidget();
    for (const auto& [id, w] : controls_) {
        if (w == focused && qobject_cast<QPushButton*>(w)) {
            activate(id);
            return;
        }
    }
    if (defaultButton_) {
        for (const auto& [id, w] : controls_) {
            if (w == defaultButton_) {
                activate(id);
                return;
            }
        }
    }
    if (control(1)) {
        activate(1);
    }
}

void TorvexDialog::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (isEnter(event->key())) {
            activateByEnter();
            return;
        }
        if (event->key() == Qt::Key_Escape) {
            // Only a control with id 2 answers Escape.
            if (control(2)) {
                activate(2);
            }
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void TorvexDialog::closeFromTitleBar() {
    // Closing a dialog must not end the program behind the user's back: it
    // is the dialog's own way back. A disabled control (as during a run)
    // does nothing.
    if (control(2)) {
        activate(2);
    } else {
        reject();
    }
}

void TorvexDialog::closeEvent(QCloseEvent* event) {
    // The dialog's own endings (accept, reject, done) hide it without a close
    // event: a close event comes from the window's close box.
    event->ignore();
    closeFromTitleBar();
}

void TorvexDialog::changeEvent(QEvent* event) {
    // Minimising from the title bar is passed on to the main window too.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        if (QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr) {
            owner->showMinimized();
        }
    }
    QDialog::changeEvent(event);
}

void TorvexDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (placed_) {
        move(placement_);
    } else if (screen) {
        QRect area = screen->availableGeometry();
        QRect frame = frameGeometry();
        // move() places the frame's top left corner.
        move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
    }
}

}  // namespace torvex
