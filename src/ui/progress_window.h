#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QScrollBar;

namespace trazel {

// The small progress window of the file readers and the spectrum: a caption and the bar HScroll1,
// whose value runs from 0 to 100, and for a reading that can be stopped a Cancel button.
class ProgressWindow : public QWidget {
    Q_OBJECT

public:
    explicit ProgressWindow(QWidget* owner = nullptr);
    void setCaption(const QString& caption);
    QString caption() const;
    int value() const;
    // Sets the bar and shows it at once.
    void setValue(int percent);
    // Shows Cancel (unpressed) or hides it.
    void offerCancel(bool offered);
    // Cancel was pressed since it was offered.
    bool cancelPressed() const { return m_cancelPressed; }

    QScrollBar* HScroll1;

private:
    QLabel* m_caption;
    QPushButton* m_cancel;
    bool m_cancelPressed = false;
};

} // namespace trazel
