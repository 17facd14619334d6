#include "ui/plot_surface.h"

#include "ui/pixel_line.h"
#include "ui/qt_colour.h"
#include "ui/twips.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <algorithm>
#include <cmath>

namespace trazel {

namespace {

constexpr Colour White = rgb(255, 255, 255);
constexpr Colour Blue = rgb(0, 0, 255);

int shiftState(Qt::KeyboardModifiers modifiers) {
    int state = 0;
    if (modifiers & Qt::ShiftModifier) {
        state |= 1;
    }
    if (modifiers & Qt::ControlModifier) {
        state |= 2;
    }
    if (modifiers & Qt::AltModifier) {
        state |= 4;
    }
    return state;
}

} // namespace

PlotSurface::PlotSurface(QWidget* parent)
    : QWidget(parent), m_foreColor(White), m_backColor(Blue), m_image(1, 1, QImage::Format_RGB32) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumSize(200, 150);
    m_image.fill(toQColor(m_backColor));
}

PlotSurface::~PlotSurface() {
    endPainting();
}

void PlotSurface::Scale(double x1, double y1, double x2, double y2) {
    m_scaleMode = ScaleMode::User;
    m_scaleLeft = x1;
    m_scaleTop = y1;
    m_scaleWidth = x2 - x1;
    m_scaleHeight = y2 - y1;
}

void PlotSurface::setScaleMode(ScaleMode mode) {
    m_scaleMode = mode;
    if (mode == ScaleMode::User) {
        return;
    }
    m_scaleLeft = 0;
    m_scaleTop = 0;
    if (mode == ScaleMode::Pixels) {
        m_scaleWidth = width();
        m_scaleHeight = height();
    } else {
        m_scaleWidth = pixelsToTwips(width(), logicalDpiX());
        m_scaleHeight = pixelsToTwips(height(), logicalDpiY());
    }
}

void PlotSurface::setBackColor(Colour colour) {
    m_backColor = colour;
    Cls();
}

void PlotSurface::Cls() {
    endPainting();
    m_image.fill(toQColor(m_backColor));
    m_currentX = m_scaleLeft;
    m_currentY = m_scaleTop;
    m_log.clear();
    update();
}

void PlotSurface::Line(double x1, double y1, double x2, double y2) {
    drawLine(x1, y1, x2, y2, m_foreColor);
}

void PlotSurface::Line(double x1, double y1, double x2, double y2, Colour colour) {
    drawLine(x1, y1, x2, y2, colour);
}

void PlotSurface::Box(double x1, double y1, double x2, double y2) {
    drawBox(x1, y1, x2, y2, m_foreColor, BoxFill::Outline);
}

void PlotSurface::Box(double x1, double y1, double x2, double y2, Colour colour, BoxFill fill) {
    drawBox(x1, y1, x2, y2, colour, fill);
}

std::optional<QPointF> PlotSurface::drawablePixels(double x, double y) const {
    constexpr double Limit = 1e6; // far outside any screen, far inside the rasteriser's integers
    const QPointF at = toPixels(x, y);
    if (!std::isfinite(at.x()) || !std::isfinite(at.y())) {
        return std::nullopt;
    }
    return QPointF(std::clamp(at.x(), -Limit, Limit), std::clamp(at.y(), -Limit, Limit));
}

// Lines skip the painter: the image's own pixels take them at a fraction of its cost per line.
void PlotSurface::drawLine(double x1, double y1, double x2, double y2, Colour colour) {
    const auto from = drawablePixels(x1, y1);
    const auto to = drawablePixels(x2, y2);
    if (from && to) {
        const bool invert = m_drawMode == DrawMode::Invert;
        const PixelCanvas canvas{reinterpret_cast<std::uint32_t*>(m_image.bits()), m_image.width(),
                                 m_image.height(), m_image.bytesPerLine() / 4};
        // Xor leaves the opaque alpha byte alone.
        const std::uint32_t pixel = invert ? 0x00FFFFFFu : toQColor(colour).rgb();
        const auto span = drawPixelLine(canvas, from->x(), from->y(), to->x(), to->y(), pixel,
                                        invert ? PixelOp::Xor : PixelOp::Copy);
        if (span) {
            updateArea(QRect(QPoint(span->x0, span->y0), QPoint(span->x1, span->y1)));
        }
    }
    log(DrawnFigure::Kind::Line, x1, y1, x2, y2, colour);
}

void PlotSurface::drawBox(double x1, double y1, double x2, double y2, Colour colour, BoxFill fill) {
    const auto corner1 = drawablePixels(x1, y1);
    const auto corner2 = drawablePixels(x2, y2);
    if (corner1 && corner2) {
        QPainter& painter = painterFor(colour);
        const QRectF box = QRectF(*corner1, *corner2).normalized();
        // One call covers each pixel once, so an inverted box undoes itself. A filled box takes in the
        // right and bottom pixel rows that its outline would cover.
        if (fill == BoxFill::Solid) {
            painter.fillRect(QRectF(box.topLeft(), box.size() + QSizeF(1, 1)), painter.pen().color());
        } else {
            painter.drawRect(box);
        }
        updateArea(box.toAlignedRect());
    }
    log(DrawnFigure::Kind::Box, x1, y1, x2, y2, colour, {}, fill == BoxFill::Solid);
}

void PlotSurface::Print(const QString& text) {
    const QPointF topLeft = toPixels(m_currentX, m_currentY);
    QPainter& painter = painterFor(m_foreColor);
    painter.drawText(QPointF(topLeft.x(), topLeft.y() + painter.fontMetrics().ascent()), text);
    log(DrawnFigure::Kind::Text, m_currentX, m_currentY, m_currentX + TextWidth(text),
        m_currentY + TextHeight(text), m_foreColor, text);
    m_currentY += TextHeight(text);
    m_currentX = m_scaleLeft;
    update();
}

double PlotSurface::TextWidth(const QString& text) const {
    return fontMetrics().horizontalAdvance(text) * m_scaleWidth / std::max(1, width());
}

double PlotSurface::TextHeight(const QString& text) const {
    const int lines = static_cast<int>(text.count(QLatin1Char('\n'))) + 1;
    return lines * fontMetrics().height() * m_scaleHeight / std::max(1, height());
}

void PlotSurface::Refresh() {
    endPainting();
    repaint();
}

QImage PlotSurface::Image() const {
    endPainting();
    return m_image.copy();
}

QPointF PlotSurface::toPixels(double x, double y) const {
    return {(x - m_scaleLeft) / m_scaleWidth * width(), (y - m_scaleTop) / m_scaleHeight * height()};
}

double PlotSurface::userX(double pixelX) const {
    return m_scaleLeft + pixelX * m_scaleWidth / std::max(1, width());
}

double PlotSurface::userY(double pixelY) const {
    return m_scaleTop + pixelY * m_scaleHeight / std::max(1, height());
}

QPainter& PlotSurface::painterFor(Colour colour) {
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(&m_image);
        m_penColour = QColor();
        m_painter->setRenderHint(QPainter::Antialiasing, false);
        m_painter->setRenderHint(QPainter::TextAntialiasing, false);
        m_painter->setBrush(Qt::NoBrush);
        m_painter->setFont(font());
    }
    // Invert exclusive-ors white into the picture: every pixel under the figure is inverted, and the
    // same figure drawn twice leaves the picture as it was.
    const bool invert = m_drawMode == DrawMode::Invert;
    const QColor pen = toQColor(invert ? White : colour);
    if (invert != m_penInverts || pen != m_penColour) {
        m_painter->setCompositionMode(invert ? QPainter::RasterOp_SourceXorDestination
                                             : QPainter::CompositionMode_SourceOver);
        m_painter->setPen(QPen(pen, 0));
        m_penInverts = invert;
        m_penColour = pen;
    }
    return *m_painter;
}

// Only the pixels the figures touched are painted again, once for all figures drawn before the next pass
// of the event loop: the live pen draws a short segment per point, the overplot view a million.
void PlotSurface::updateArea(const QRect& pixels) {
    m_dirty |= pixels.adjusted(-2, -2, 2, 2);
    if (!m_updatePosted) {
        m_updatePosted = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_updatePosted = false;
                update(m_dirty);
                m_dirty = QRect();
            },
            Qt::QueuedConnection);
    }
}

void PlotSurface::endPainting() const {
    m_painter.reset();
}

void PlotSurface::log(DrawnFigure::Kind kind, double x1, double y1, double x2, double y2, Colour colour,
                      const QString& text, bool filled) {
    if (!m_logged) {
        return;
    }
    m_log.push_back(DrawnFigure{kind, x1, y1, x2, y2, colour, m_drawMode, text, filled});
}

void PlotSurface::paintEvent(QPaintEvent* event) {
    endPainting();
    QPainter painter(this);
    painter.drawImage(event->rect(), m_image, event->rect());
}

void PlotSurface::resizeEvent(QResizeEvent*) {
    endPainting();
    m_image = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    m_image.fill(toQColor(m_backColor));
    m_log.clear();
    emit Resized();
}

void PlotSurface::emitMouse(QMouseEvent* event, bool press) {
    const QPointF at = event->position();
    const double x = userX(at.x());
    const double y = userY(at.y());
    const int shift = shiftState(event->modifiers());
    if (press) {
        emit MouseDown(buttonState(event->button()), shift, x, y);
    } else {
        emit MouseMove(buttonState(event->buttons()), shift, x, y);
    }
}

void PlotSurface::mousePressEvent(QMouseEvent* event) {
    emitMouse(event, true);
}

void PlotSurface::mouseMoveEvent(QMouseEvent* event) {
    emitMouse(event, false);
}

} // namespace trazel
