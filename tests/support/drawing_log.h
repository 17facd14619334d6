#pragma once

#include "ui/plot_surface.h"

#include <QStringList>
#include <vector>

namespace trazel::testing {

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

} // namespace trazel::testing
