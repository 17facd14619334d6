#pragma once

#include <QAction>
#include <array>

class QLabel;

namespace trazel {

class CommandButton;

// The menu items and buttons whose state follows the data shown: block or continuous, the display
// selection, overplot, raw curves or spectrum, and the tools of one kind of data only. Several view
// states are read back from their check marks.
struct ModeControls {
    QAction* mnuBlock = nullptr;
    QAction* mnuContinuous = nullptr;
    QAction* mnuS_A = nullptr;
    QAction* mnuA_S = nullptr;
    QAction* mnuS = nullptr;
    QAction* mnuA = nullptr;
    QAction* mnuOverplot = nullptr;
    QAction* mnuRaw = nullptr;
    QAction* mnuPSD = nullptr;
    QAction* mnuInvert = nullptr;
    QAction* mnuPeaks = nullptr;
    QAction* mnuBlockMeans = nullptr; // Copy > Block means
    QLabel* SA_label = nullptr;       // the display selection
    CommandButton* accept = nullptr;
    CommandButton* clear_ave = nullptr;

    std::array<QAction*, 4> displaySelections() const { return {mnuS_A, mnuA_S, mnuS, mnuA}; }
    bool overplotShown() const { return mnuOverplot->isChecked(); }
    bool spectrumShown() const { return mnuPSD->isChecked(); }
    // The single curve is shown, alone or with the average in front.
    bool singleShown() const { return mnuS_A->isChecked() || mnuS->isChecked(); }
};

} // namespace trazel
