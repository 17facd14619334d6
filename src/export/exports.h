#pragma once

#include "core/app_state.h"

#include <QString>
#include <string>

class QWidget;

namespace trazel {

class Dialogs;
class Labels;
class PlotSurface;
class View;
struct PointStretch;
enum class PointsFormat;

// What leaves the program for a word processor or a spreadsheet. The Copy menu: 1 the plot as a picture,
// black on white with the text labels; 2 the block means, 3 and 4 the whole table of the current trace
// laid out for a word processor and a spreadsheet; 5 the sample values of the view (CopyCurvePoints).
// File > "Save table as..." and "Save curve points as...": the current trace's results table and the
// samples the curve-point copy takes, as CSV files. File > "Export as EDF+/BDF+...": the whole recording.
class Exports {
public:
    // `window` shows the hourglass while a long text is made or written.
    Exports(AppState& state, Dialogs& dialogs, View& view, PlotSurface& disp, const Labels& labels,
            QWidget& window);

    // Other indexes than 1..5 do nothing.
    void mnuCopyitem_Click(int Index);
    void CopyCurvePoints();
    void mnuSaveTable_Click();
    void mnuSaveCurvePoints_Click();
    // The whole loaded recording, every point of every trace, its marks and the file's events, as EDF+
    // (16-bit) or BDF+ (24-bit) by the chosen name's extension.
    void mnuExportEdf_Click();

private:
    void copyPicture();
    void printTextLabels();
    PointStretch viewStretch() const;
    std::string curvePointsOfView(PointsFormat format) const;
    // Asks where to save `what` (a proposed name beside the data file) and writes the text there; false
    // when cancelled or when the file could not be written, which the user has been told.
    bool saveCsv(const QString& title, const QString& proposedName, const std::string& text);

    AppState& s;
    Dialogs& m_dialogs;
    View& m_view;
    PlotSurface& m_disp;
    const Labels& m_labels;
    QWidget& m_window;
};

} // namespace trazel
