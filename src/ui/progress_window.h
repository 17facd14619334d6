#pragma once

#include <QElapsedTimer>
#include <QWidget>

class QLabel;
class QPushButton;
class QScrollBar;

namespace trazel {

// The small progress window of the file readers and the spectrum: a caption and the bar HScroll1,
// whose value runs from 0 to 100, and for a reading that can be stopped a Cancel button. It paints at most
// every 50 ms, showing the caption and the bar as they are then: painting for each of ten thousand
// sweeps would take longer than their spectra.
class ProgressWindow : public QWidget {
    Q_OBJECT

public:
    explicit ProgressWindow(QWidget* owner = nullptr);
    // Sets the caption, painted with the bar.
    void setCaption(const QString& caption);
    QString caption() const;
    int value() const;
    // Sets the bar; paints the window at once when it was shown or last painted 50 ms ago or more.
    void setValue(int percent);
    // Shows Cancel (unpressed) or hides it.
    void offerCancel(bool offered);
    // Cancel was pressed since it was offered.
    bool cancelPressed() const { return m_cancelPressed; }

    QScrollBar* HScroll1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_caption;
    QPushButton* m_cancel;
    bool m_cancelPressed = false;
    int m_value = 0;
    QElapsedTimer m_sincePaint; // invalid until the first paint after the window was shown
};

} // namespace trazel
