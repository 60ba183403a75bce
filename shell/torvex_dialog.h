// The base of every dialog of the program. A dialog is laid out like a
// template: a size in dialog units (centred on the screen unless placed), a
// title, a font, and controls at dialog-unit rectangles addressed by numeric
// ids. It follows the keyboard rules of the platform's dialogs; its close box
// acts as Escape, and minimising is left to the main window.
#pragma once

#include <QDialog>
#include <QString>
#include <map>

#include "platform/dialog_units.h"
#include "platform/drawing_context.h"

class QAbstractButton;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace torvex {

enum class DialogFrame {
    Caption,                // title bar without system menu (no close box)
    CaptionWithSystemMenu,  // title bar with the close box
    Popup,                  // no title bar, a plain dialog frame
};

// The light grey every dialog fills its window with and puts behind the
// texts it draws itself.
constexpr Rgb kDialogGrey{194, 194, 194};

// "MS Sans Serif" (or another face) at a point size, mapped to an available
// sans-serif face of about the same metrics.
QFont templateFont(const QString& face, int points);

class TorvexDialog : public QDialog {
    Q_OBJECT
public:
    // owner: the main window. widthUnits x heightUnits: the client area in
    // dialog units. The font is "MS Sans Serif" 10 point until setTemplateFont.
    TorvexDialog(QWidget* owner, const QString& title, int widthUnits, int heightUnits,
                 DialogFrame frame = DialogFrame::Caption);

    void setTemplateFont(const QString& face, int points);
    // Places the dialog at a point of the screen (dialog units from the top
    // left corner) instead of centring it.
    void placeAt(int xUnits, int yUnits);

    // ----- controls ----------------------------------------------------------
    QPushButton* addPushButton(int id, const QString& caption, const DialogRect& r, bool isDefault = false);
    // An auto radio button; startsGroup opens a new group of exclusive buttons,
    // otherwise it joins the group of the previous radio button.
    QRadioButton* addRadioButton(int id, const QString& caption, const DialogRect& r,
                                 bool startsGroup = false);
    QGroupBox* addGroupBox(int id, const QString& caption, const DialogRect& r);
    QLabel* addStatic(int id, const QString& text, const DialogRect& r,
                      Qt::Alignment alignment = Qt::AlignLeft);
    QListWidget* addListBox(int id, const DialogRect& r);
    QProgressBar* addProgressBar(int id, const DialogRect& r);

    // The control with this id, or nullptr.
    QWidget* control(int id) const;
    template <class T>
    T* controlAs(int id) const {
        return qobject_cast<T*>(control(id));
    }

    // Checks radio button `id` and unchecks the others of first..last; an id
    // outside the range unchecks them all.
    void checkRadioButton(int first, int last, int id);
    bool isChecked(int id) const;

    // Acts as if the control with this id had been clicked: emits command(id)
    // and calls onCommand(id). Disabled controls do nothing.
    void activate(int id);

    // What the window manager's close box (or Alt+F4) does: the same as
    // Escape, that is the control with id 2 ("&Cancel", "< &Back") where the
    // dialog has one, else closing the dialog without its own action.
    void closeFromTitleBar();

signals:
    void command(int id);

protected:
    // What a command does; the base does nothing.
    virtual void onCommand(int id);

    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void addControl(int id, QWidget* w, const DialogRect& r);
    void activateByEnter();

    std::map<int, QWidget*> controls_;
    QButtonGroup* currentRadioGroup_ = nullptr;
    QPushButton* defaultButton_ = nullptr;
    bool placed_ = false;
    QPoint placement_;
};

}  // namespace torvex
