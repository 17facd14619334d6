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

// A pixel coordinate held within a range the rasteriser handles; NaN for one that is not a finite number.
double drawableCoordinate(double pixels) {
    constexpr double Limit = 1e6; // far outside any screen, far inside the rasteriser's integers
    return std::isfinite(pixels) ? std::clamp(pixels, -Limit, Limit) : NAN;
}

// The drawable pixel coordinate of a user coordinate, as toPixels gives it to the last bit.
double drawablePixel(double user, double origin, double extent, double pixels) {
    return drawableCoordinate((user - origin) / extent * pixels);
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

std::optional<QPointF> PlotSurface::drawablePixels(double x, double y) const {
    const QPointF pixels = toPixels(x, y);
    const double drawableX = drawableCoordinate(pixels.x());
    const double drawableY = drawableCoordinate(pixels.y());
    if (std::isnan(drawableX) || std::isnan(drawableY)) {
        return std::nullopt;
    }
    return QPointF(drawableX, drawableY);
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
      m_touched(std::exchange(other.m_touched, std::nullopt)), m_firstX(other.m_firstX), m_ys(other.m_ys),
      m_placedX(std::move(other.m_placedX)), m_placedY(std::move(other.m_placedY)),
      m_placedWithin(other.m_placedWithin), m_columns(std::move(other.m_columns)),
      m_rows(std::move(other.m_rows)) {}

PlotSurface::LinePen::~LinePen() {
    if (m_touched) {
        m_surface.updateArea(
            QRect(QPoint(m_touched->x0, m_touched->y0), QPoint(m_touched->x1, m_touched->y1)));
    }
}

void PlotSurface::LinePen::line(double x1, double y1, double x2, double y2) {
    drawPixels(
        drawablePixel(x1, m_left, m_width, m_pixelWidth), drawablePixel(y1, m_top, m_height, m_pixelHeight),
        drawablePixel(x2, m_left, m_width, m_pixelWidth), drawablePixel(y2, m_top, m_height, m_pixelHeight));
    m_surface.log(DrawnFigure::Kind::Line, x1, y1, x2, y2, m_colour);
}

void PlotSurface::LinePen::placePoints(double firstX, std::span<const double> ys) {
    m_firstX = firstX;
    m_ys = ys;
    m_placedWithin = !ys.empty() && placeWithin();
    if (!m_placedWithin) {
        placeAnywhere();
    }
}

// Points on the canvas lie in the pixels their coordinates fall in, and so do the lines between them;
// false at the first point off the canvas.
bool PlotSurface::LinePen::placeWithin() {
    const std::size_t count = m_ys.size();
    const double width = m_canvas.width, height = m_canvas.height;
    const std::span<const double> xs = m_surface.pixelXs(m_firstX, count, m_left, m_width, m_pixelWidth);
    // The points' xs run one way, so their ends bound them.
    const auto acrossCanvas = [width](double x) { return x >= 0 && x < width; }; // not NaN
    if (!acrossCanvas(xs.front()) || !acrossCanvas(xs.back())) {
        return false;
    }
    m_columns.resize(count);
    m_rows.resize(count);
    // Locals, which the stores into the placed points cannot change.
    const double top = m_top, scaleHeight = m_height, pixelHeight = m_pixelHeight;
    int* const columns = m_columns.data();
    int* const rows = m_rows.data();
    int topmost = m_canvas.height, bottommost = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const double y = (m_ys[i] - top) / scaleHeight * pixelHeight; // on the canvas it needs no holding
        if (!(y >= 0 && y < height)) {                                // NaN too
            return false;
        }
        const int row = static_cast<int>(y);
        columns[i] = static_cast<int>(xs[i]);
        rows[i] = row;
        topmost = std::min(topmost, row);
        bottommost = std::max(bottommost, row);
    }
    const auto [leftmost, rightmost] = std::minmax(columns[0], columns[count - 1]);
    touch({leftmost, topmost, rightmost, bottommost});
    return true;
}

void PlotSurface::LinePen::placeAnywhere() {
    const std::span<const double> xs =
        m_surface.pixelXs(m_firstX, m_ys.size(), m_left, m_width, m_pixelWidth);
    m_placedX.assign(xs.begin(), xs.end());
    m_placedY.resize(m_ys.size());
    for (std::size_t i = 0; i < m_ys.size(); ++i) {
        m_placedY[i] = drawablePixel(m_ys[i], m_top, m_height, m_pixelHeight);
    }
}

std::span<const double> PlotSurface::pixelXs(double firstX, std::size_t count, double left, double width,
                                             double pixelWidth) {
    PlacedXs& last = m_placedXs;
    if (firstX != last.firstX || left != last.left || width != last.width || pixelWidth != last.pixelWidth ||
        count > last.pixels.size()) {
        last = {firstX, left, width, pixelWidth, std::vector<double>(count)};
        for (std::size_t i = 0; i < count; ++i) {
            last.pixels[i] = drawablePixel(firstX + static_cast<double>(i), left, width, pixelWidth);
        }
    }
    return std::span<const double>(last.pixels).first(count);
}

// A single curve draws its whole run at once.
void PlotSurface::LinePen::linesAcross(std::span<LinePen* const> pens) {
    if (pens.size() == 1) {
        pens[0]->curveToPlaced();
        return;
    }
    std::size_t points = 0;
    for (const LinePen* pen : pens) {
        points = std::max(points, pen->m_ys.size());
    }
    for (std::size_t i = 1; i < points; ++i) {
        for (LinePen* pen : pens) {
            pen->linesToPlaced(i, std::min(i + 1, pen->m_ys.size()));
        }
    }
}

// Copied, the curve's lines can set each shared end once: nothing else draws between them.
void PlotSurface::LinePen::curveToPlaced() {
    if (m_placedWithin && m_op == PixelOp::Copy) {
        drawPixelCurveWithin(m_canvas, m_columns.data(), m_rows.data(), m_ys.size(), m_pixel);
        logLines(1, m_ys.size());
    } else {
        linesToPlaced(1, m_ys.size());
    }
}

void PlotSurface::LinePen::linesToPlaced(std::size_t from, std::size_t to) {
    if (m_placedWithin && m_op == PixelOp::Xor) {
        drawPixelLinesWithin<PixelOp::Xor>(m_canvas, m_columns.data(), m_rows.data(), from, to, m_pixel);
    } else if (m_placedWithin) {
        drawPixelLinesWithin<PixelOp::Copy>(m_canvas, m_columns.data(), m_rows.data(), from, to, m_pixel);
    } else {
        for (std::size_t i = from; i < to; ++i) {
            drawPixels(m_placedX[i - 1], m_placedY[i - 1], m_placedX[i], m_placedY[i]);
        }
    }
    logLines(from, to);
}

void PlotSurface::LinePen::logLines(std::size_t from, std::size_t to) {
    if (m_surface.m_logged) {
        for (std::size_t i = from; i < to; ++i) {
            const double x = m_firstX + static_cast<double>(i);
            m_surface.log(DrawnFigure::Kind::Line, x - 1, m_ys[i - 1], x, m_ys[i], m_colour);
        }
    }
}

void PlotSurface::LinePen::drawPixels(double x1, double y1, double x2, double y2) {
    if (std::isnan(x1) || std::isnan(y1) || std::isnan(x2) || std::isnan(y2)) {
        return;
    }
    if (const auto span = drawPixelLine(m_canvas, x1, y1, x2, y2, m_pixel, m_op)) {
        touch(*span);
    }
}

void PlotSurface::LinePen::touch(const PixelSpan& pixels) {
    m_touched = m_touched ? PixelSpan{std::min(m_touched->x0, pixels.x0), std::min(m_touched->y0, pixels.y0),
                                      std::max(m_touched->x1, pixels.x1), std::max(m_touched->y1, pixels.y1)}
                          : pixels;
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
