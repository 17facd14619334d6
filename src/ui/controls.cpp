#include "ui/controls.h"

#include "core/number_rules.h"
#include "ui/mouse_buttons.h"
#include "ui/qt_colour.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStandardItemModel>
#include <algorithm>

namespace trazel {

namespace {

// The character code of a key as the key handlers see it; Enter and Return both give 13.
int keyAscii(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) {
        return 13;
    }
    const QString text = event.text();
    return text.isEmpty() ? 0 : text.at(0).unicode();
}

} // namespace

CommandButton::CommandButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent), m_backColor(fromQColor(palette().color(QPalette::Button))) {
    // Enter on the button with the focus presses it, as it does in a dialog.
    setAutoDefault(true);
}

void CommandButton::setBackColor(Colour colour) {
    m_backColor = colour;
    const QColor background = toQColor(colour);
    const QColor text = background.lightness() > 128 ? Qt::black : Qt::white;
    setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: %2; border: 1px solid #7a7f87; "
                                 "border-radius: 3px; padding: 2px 6px; }"
                                 "QPushButton:pressed { background-color: %3; }")
                      .arg(background.name(), text.name(), background.darker(130).name()));
}

OptionButton::OptionButton(QWidget* parent) : QRadioButton(parent) {
    connect(this, &QRadioButton::clicked, this, [this] { emit Click(); });
}

void OptionButton::setValue(bool on) {
    setChecked(on);
    if (on) {
        emit Click();
    }
}

TextBox::TextBox(QWidget* parent) : QLineEdit(parent) {
    // A file dropped here goes on to the window, which opens it, instead of landing as text.
    setAcceptDrops(false);
}

void TextBox::keyPressEvent(QKeyEvent* event) {
    emit KeyPress(keyAscii(*event));
    QLineEdit::keyPressEvent(event);
}

void TextBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit GotFocus();
}

void TextBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit LostFocus();
}

void TextBox::mouseMoveEvent(QMouseEvent* event) {
    QLineEdit::mouseMoveEvent(event);
    emit MouseMove(buttonState(event->buttons()), 0, event->position().x(), event->position().y());
}

void TextBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    emit MouseUp(buttonState(event->button()), 0, event->position().x(), event->position().y());
}

ComboBox::ComboBox(const QStringList& items, QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    addItems(items);
    setCurrentIndex(-1);
    connect(this, &QComboBox::activated, this, [this] { emit Click(); });
    connect(this, &QComboBox::editTextChanged, this, [this] { emit Change(); });
}

int ComboBox::ListIndex() const {
    return findText(currentText(), Qt::MatchExactly);
}

void ComboBox::setListIndex(int index) {
    setCurrentIndex(index);
    emit Click();
}

double ComboBox::Number() const {
    return leadingNumber(Text().toStdString());
}

void ComboBox::setText(const QString& text) {
    setEditText(text);
}

void ComboBox::setItemEnabled(int index, bool enabled) {
    if (auto* items = qobject_cast<QStandardItemModel*>(model())) {
        items->item(index)->setEnabled(enabled);
    }
}

void ComboBox::keyPressEvent(QKeyEvent* event) {
    emit KeyPress(keyAscii(*event));
    QComboBox::keyPressEvent(event);
}

void ComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    emit LostFocus();
}

QAction* addKeyFor(CommandButton& button, const QKeySequence& key, QWidget& window) {
    auto* action = new QAction(&window);
    action->setShortcut(key);
    window.addAction(action);
    QObject::connect(action, &QAction::triggered, &button, [&button] {
        if (button.isVisible()) {
            button.click();
        }
    });
    return action;
}

void moveFocusTo(QWidget& control) {
    if (control.isVisible() && control.isEnabled()) {
        control.setFocus();
    }
}

void showControls(const std::vector<QWidget*>& controls, bool visible) {
    for (QWidget* control : controls) {
        control->setVisible(visible);
    }
}

void enableControls(const std::vector<QWidget*>& controls, bool enabled) {
    for (QWidget* control : controls) {
        control->setEnabled(enabled);
    }
}

void showWhileAnyChildShown(QWidget& frame) {
    const QList<QWidget*> children = frame.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    frame.setVisible(
        std::any_of(children.begin(), children.end(), [](QWidget* child) { return !child->isHidden(); }));
}

} // namespace trazel
