#pragma once

#include <QWidget>

class QLabel;
class QScrollBar;

namespace trazel {

// The small progress window of the file readers and the spectrum: a caption and the bar HScroll1,
// whose value runs from 0 to 100.
class ProgressWindow : public QWidget {
    Q_OBJECT

public:
    explicit ProgressWindow(QWidget* owner = nullptr);
    void setCaption(const QString& caption);
    QString caption() const;
    int value() const;
    // Sets the bar and shows it at once.
    void setValue(int percent);

    QScrollBar* HScroll1;

private:
    QLabel* m_caption;
};

} // namespace trazel
