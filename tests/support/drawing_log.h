#pragma once

#include "ui/plot_surface.h"

#include <QStringList>
#include <array>
#include <vector>

namespace trazel::testing {

// A plot surface that keeps its drawing log, which the program's own surfaces do not.
class LoggedSurface : public PlotSurface {
public:
    LoggedSurface() { setDrawingLogged(true); }
};

// The texts printed on the plot since it was last cleared, in drawing order, in one colour.
inline QStringList printedTexts(const PlotSurface& disp, Colour colour) {
    QStringList texts;
    for (const DrawnFigure& figure : disp.drawingLog()) {
        if (figure.kind == DrawnFigure::Kind::Text && figure.colour == colour) {
            texts << figure.text;
        }
    }
    return texts;
}

inline std::vector<DrawnFigure> figuresOfKind(const PlotSurface& disp, DrawnFigure::Kind kind) {
    std::vector<DrawnFigure> figures;
    for (const DrawnFigure& figure : disp.drawingLog()) {
        if (figure.kind == kind) {
            figures.push_back(figure);
        }
    }
    return figures;
}

// The ends of a line or the corners of a box: x1, y1, x2, y2.
inline std::array<double, 4> corners(const DrawnFigure& figure) {
    return {figure.x1, figure.y1, figure.x2, figure.y2};
}

} // namespace trazel::testing
