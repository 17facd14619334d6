#pragma once

#include "core/colour.h"
#include "ui/mouse_buttons.h"
#include "ui/pixel_line.h"

#include <QImage>
#include <QPainter>
#include <QString>
#include <QWidget>
#include <cmath>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace trazel {

enum class ScaleMode { User = 0, Twips = 1, Pixels = 3 };

enum class DrawMode { Invert = 6, CopyPen = 13 };

// One figure or text drawn since the surface was last cleared, in user coordinates.
struct DrawnFigure {
    enum class Kind { Line, Box, Text };
    Kind kind;
    double x1, y1, x2, y2; // a text has its top-left corner in x1, y1
    Colour colour;
    DrawMode mode;
    QString text;
    bool filled = false;
};

enum class BoxFill { Outline, Solid };

// The plot surface: a widget backed by a persistent image, addressed in a user scale.
// A point (x, y) lies (x - ScaleLeft) / ScaleWidth of the width from the left edge and
// (y - ScaleTop) / ScaleHeight of the height from the top; a negative ScaleHeight makes y grow upwards.
class PlotSurface : public QWidget {
    Q_OBJECT

public:
    explicit PlotSurface(QWidget* parent = nullptr);
    ~PlotSurface() override;

    void Scale(double x1, double y1, double x2, double y2);
    double ScaleLeft() const { return m_scaleLeft; }
    double ScaleTop() const { return m_scaleTop; }
    double ScaleWidth() const { return m_scaleWidth; }
    double ScaleHeight() const { return m_scaleHeight; }
    void setScaleLeft(double left) { m_scaleLeft = left; }
    void setScaleTop(double top) { m_scaleTop = top; }
    void setScaleWidth(double width) { m_scaleWidth = width; }
    void setScaleHeight(double height) { m_scaleHeight = height; }
    // Twips or pixels replace the scale by the surface's size in that unit; user keeps the scale as it is.
    void setScaleMode(ScaleMode mode);
    ScaleMode scaleMode() const { return m_scaleMode; }

    Colour ForeColor() const { return m_foreColor; }
    void setForeColor(Colour colour) { m_foreColor = colour; }
    Colour BackColor() const { return m_backColor; }
    void setBackColor(Colour colour);
    DrawMode drawMode() const { return m_drawMode; }
    void setDrawMode(DrawMode mode) { m_drawMode = mode; }

    // Fills the surface with BackColor, puts the text position at the top-left corner, empties the log.
    void Cls();
    void Line(double x1, double y1, double x2, double y2);
    void Line(double x1, double y1, double x2, double y2, Colour colour);
    // Lines of one colour in the scale and the draw mode of the moment, straight into the image's pixels:
    // the work of Line without its look at the surface for every line, for curves of millions of segments.
    // Neither the scale nor the image may change while a pen draws; what it drew is shown once it is gone.
    class LinePen {
    public:
        LinePen(LinePen&& other) noexcept;
        LinePen& operator=(LinePen&&) = delete;
        ~LinePen();
        void line(double x1, double y1, double x2, double y2);
        // A curve's points one user unit apart, ys[i] at firstX + i, taken into pixels in one pass for the
        // lines between them (linesAcross); ys stays where it is until they are drawn.
        void placePoints(double firstX, std::span<const double> ys);
        // The lines between the placed points of several curves, point by point across the curves as the
        // eye goes: where curves cross, the later point is on top.
        static void linesAcross(std::span<LinePen* const> pens);

    private:
        friend class PlotSurface;
        LinePen(PlotSurface& surface, Colour colour);
        // In pixels; a coordinate that is not a number draws nothing.
        void drawPixels(double x1, double y1, double x2, double y2);
        bool placeWithin();
        void placeAnywhere();
        // The lines to placed points from .. to - 1, each from the point before.
        void linesToPlaced(std::size_t from, std::size_t to);
        void curveToPlaced();
        void logLines(std::size_t from, std::size_t to);
        void touch(const PixelSpan& pixels);

        PlotSurface& m_surface;
        Colour m_colour;
        double m_left, m_top, m_width, m_height; // the user scale
        double m_pixelWidth, m_pixelHeight;
        PixelCanvas m_canvas;
        std::uint32_t m_pixel;
        PixelOp m_op;
        std::optional<PixelSpan> m_touched; // the pixels drawn so far
        // The placed points: their values, and their pixels, as columns and rows where all of them lie on
        // the canvas, else as pixel coordinates.
        double m_firstX = 0;
        std::span<const double> m_ys;
        std::vector<double> m_placedX, m_placedY;
        bool m_placedWithin = false;
        std::vector<int> m_columns, m_rows;
    };
    LinePen linePen(Colour colour) { return LinePen(*this, colour); }

    void Box(double x1, double y1, double x2, double y2);
    void Box(double x1, double y1, double x2, double y2, Colour colour, BoxFill fill = BoxFill::Outline);

    double CurrentX() const { return m_currentX; }
    double CurrentY() const { return m_currentY; }
    void setCurrentX(double x) { m_currentX = x; }
    void setCurrentY(double y) { m_currentY = y; }
    // Writes the text with its top-left corner at the text position in ForeColor, then moves the text
    // position to the start of the next line.
    void Print(const QString& text);
    // Extent of a text in user units; TextHeight carries the sign of ScaleHeight.
    double TextWidth(const QString& text) const;
    double TextHeight(const QString& text) const;

    bool AutoRedraw() const { return m_autoRedraw; }
    void setAutoRedraw(bool on) { m_autoRedraw = on; }
    // Shows the image on the screen at once instead of at the next paint.
    void Refresh();
    QImage Image() const;

    // The figures and texts drawn since the last Cls, kept only while switched on: a record for tests,
    // which would cost the program a few hundred bytes a line (the overplot view draws millions).
    void setDrawingLogged(bool on) { m_logged = on; }
    const std::vector<DrawnFigure>& drawingLog() const { return m_log; }

    // Pixel position of a user coordinate (exposed for the cursor code and tests).
    QPointF toPixels(double x, double y) const;
    double userX(double pixelX) const;
    double userY(double pixelY) const;

signals:
    void MouseDown(int button, int shift, double x, double y);
    void MouseMove(int button, int shift, double x, double y);
    // The surface has a new size; its image is blank and waits for a redraw.
    void Resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QPainter& painterFor(Colour colour);
    void endPainting() const;
    void drawBox(double x1, double y1, double x2, double y2, Colour colour, BoxFill fill);
    void updateArea(const QRect& pixels);
    void log(DrawnFigure::Kind kind, double x1, double y1, double x2, double y2, Colour colour,
             const QString& text = {}, bool filled = false);
    // The pixel position of a user coordinate, held within a range the rasteriser handles; nothing for
    // a coordinate that is not a number.
    std::optional<QPointF> drawablePixels(double x, double y) const;
    void emitMouse(QMouseEvent* event, bool press);

    double m_scaleLeft = 0;
    double m_scaleTop = 0;
    double m_scaleWidth = 1;
    double m_scaleHeight = 1;
    ScaleMode m_scaleMode = ScaleMode::User;
    Colour m_foreColor;
    Colour m_backColor;
    DrawMode m_drawMode = DrawMode::CopyPen;
    double m_currentX = 0;
    double m_currentY = 0;
    bool m_autoRedraw = true;
    QImage m_image;
    // Kept open between figures so that thousands of lines cost one painter, closed before the
    // image is shown, copied or resized.
    mutable std::unique_ptr<QPainter> m_painter;
    QColor m_penColour;
    bool m_penInverts = false;
    bool m_logged = false;
    std::vector<DrawnFigure> m_log;
    // The pixel x of points one user unit apart from firstX, as the last curve had them placed: the next
    // curve, another trace or the next sweep of the overplot view, mostly has the same. A pen takes what
    // it needs from them at once, as the next curve may place others.
    struct PlacedXs {
        double firstX = NAN, left = NAN, width = NAN, pixelWidth = NAN;
        std::vector<double> pixels;
    };
    std::span<const double> pixelXs(double firstX, std::size_t count, double left, double width,
                                    double pixelWidth);
    PlacedXs m_placedXs;
    QRect m_dirty;               // pixels drawn since the last update was asked for
    bool m_updatePosted = false; // an update of m_dirty is on its way
};

} // namespace trazel
