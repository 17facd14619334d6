#include "ui/plot_surface.h"

#include "ui/pixel_line.h"
#include "ui/qt_colour.h"
#include "ui/twips.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <algorithm>
#include <cmath>
#include <utility>

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
    linePen(m_foreColor).line(x1, y1, x2, y2);
}

void PlotSurface::Line(double x1, double y1, double x2, double y2, Colour colour) {
    linePen(colour).line(x1, y1, x2, y2);
}

void PlotSurface::Box(double x1, double y1, double x2, double y2) {
    drawBox(x1, y1, x2, y2, m_foreColor, BoxFill::Outline);
}

void PlotSurface::Box(double x1, double y1, double x2, double y2, Colour colour, BoxFill fill) {
    drawBox(x1, y1, x2, y2, colour, fill);
}

std::optional<QPointF> PlotSurface::drawable(QPointF pixels) {
    constexpr double Limit = 1e6; // far outside any screen, far inside the rasteriser's integers
    if (!std::isfinite(pixels.x()) || !std::isfinite(pixels.y())) {
        return std::nullopt;
    }
    return QPointF(std::clamp(pixels.x(), -Limit, Limit), std::clamp(pixels.y(), -Limit, Limit));
}

std::optional<QPointF> PlotSurface::drawablePixels(double x, double y) const {
    return drawable(toPixels(x, y));
}

// Lines skip the painter: the image's own pixels take them at a fraction of its cost per line.
PlotSurface::LinePen::LinePen(PlotSurface& surface, Colour colour)
    : m_surface(surface), m_colour(colour), m_left(surface.m_scaleLeft), m_top(surface.m_scaleTop),
      m_width(surface.m_scaleWidth), m_height(surface.m_scaleHeight), m_pixelWidth(surface.width()),
      m_pixelHeight(surface.height()), m_canvas{reinterpret_cast<std::uint32_t*>(surface.m_image.bits()),
                                                surface.m_image.width(), surface.m_image.height(),
                                                surface.m_image.bytesPerLine() / 4},
      // Xor leaves the opaque alpha byte alone.
      m_pixel(surface.m_drawMode == DrawMode::Invert ? 0x00FFFFFFu : toQColor(colour).rgb()),
      m_op(surface.m_drawMode == DrawMode::Invert ? PixelOp::Xor : PixelOp::Copy) {}

PlotSurface::LinePen::LinePen(LinePen&& other) noexcept
    : m_surface(other.m_surface), m_colour(other.m_colour), m_left(other.m_left), m_top(other.m_top),
      m_width(other.m_width), m_height(other.m_height), m_pixelWidth(other.m_pixelWidth),
      m_pixelHeight(other.m_pixelHeight), m_canvas(other.m_canvas), m_pixel(other.m_pixel), m_op(other.m_op),
      m_touched(std::exchange(other.m_touched, std::nullopt)), m_lastX(other.m_lastX), m_lastY(other.m_lastY),
      m_lastPixels(other.m_lastPixels) {}

PlotSurface::LinePen::~LinePen() {
    if (m_touched) {
        m_surface.updateArea(
            QRect(QPoint(m_touched->x0, m_touched->y0), QPoint(m_touched->x1, m_touched->y1)));
    }
}

// As toPixels, to the last bit.
std::optional<QPointF> PlotSurface::LinePen::pixelsOf(double x, double y) const {
    return drawable(QPointF((x - m_left) / m_width * m_pixelWidth, (y - m_top) / m_height * m_pixelHeight));
}

void PlotSurface::LinePen::line(double x1, double y1, double x2, double y2) {
    const auto from = x1 == m_lastX && y1 == m_lastY ? m_lastPixels : pixelsOf(x1, y1);
    const auto to = pixelsOf(x2, y2);
    m_lastX = x2;
    m_lastY = y2;
    m_lastPixels = to;
    if (from && to) {
        const auto span = drawPixelLine(m_canvas, from->x(), from->y(), to->x(), to->y(), m_pixel, m_op);
        if (span) {
            m_touched = m_touched
                            ? PixelSpan{std::min(m_touched->x0, span->x0), std::min(m_touched->y0, span->y0),
                                        std::max(m_touched->x1, span->x1), std::max(m_touched->y1, span->y1)}
                            : *span;
        }
    }
    m_surface.log(DrawnFigure::Kind::Line, x1, y1, x2, y2, m_colour);
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
