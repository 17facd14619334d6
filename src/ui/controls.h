#pragma once

#include "core/colour.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <vector>

class QAction;
class QKeySequence;

namespace trazel {

// A command button whose background colour can be set and read back.
class CommandButton : public QPushButton {
    Q_OBJECT

public:
    explicit CommandButton(const QString& caption, QWidget* parent = nullptr);
    Colour BackColor() const { return m_backColor; }
    void setBackColor(Colour colour);

private:
    Colour m_backColor;
};

// An option button; setting its value on by code raises Click just as a press by the user does.
class OptionButton : public QRadioButton {
    Q_OBJECT

public:
    explicit OptionButton(QWidget* parent = nullptr);
    bool Value() const { return isChecked(); }
    void setValue(bool on);

signals:
    void Click();
};

// A text box that reports keys (before they reach the field), the focus coming and going, and the mouse
// moving over it or let go (button 1 left, 2 right; x and y in pixels within the box).
class TextBox : public QLineEdit {
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);

signals:
    void KeyPress(int keyAscii);
    void GotFocus();
    void LostFocus();
    void MouseMove(int button, int shift, double x, double y);
    void MouseUp(int button, int shift, double x, double y);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

// A combo box with typed text and a list. Click: a list entry was picked (by the user or by setting
// ListIndex); Change: the text changed; KeyPress and LostFocus as for a text box.
class ComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit ComboBox(const QStringList& items, QWidget* parent = nullptr);
    // -1 when the text matches no list entry.
    int ListIndex() const;
    void setListIndex(int index);
    QString Text() const { return currentText(); }
    // The number typed: the leading number of the text, 0 without one.
    double Number() const;
    void setText(const QString& text);
    // A list entry that cannot be picked is shown greyed.
    void setItemEnabled(int index, bool enabled);

signals:
    void Click();
    void Change();
    void KeyPress(int keyAscii);
    void LostFocus();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

// A key that presses the button wherever the button is shown; a disabled button ignores it as it ignores a
// click. The key works in the whole window, whichever control has the focus.
QAction* addKeyFor(CommandButton& button, const QKeySequence& key, QWidget& window);

// Moves the focus to the control when it can take it; a hidden or disabled control leaves it where it is.
void moveFocusTo(QWidget& control);

void showControls(const std::vector<QWidget*>& controls, bool visible);
void enableControls(const std::vector<QWidget*>& controls, bool enabled);

// Shows the frame while any control in it is shown, so that a layout leaves no empty frame behind.
void showWhileAnyChildShown(QWidget& frame);

} // namespace trazel
