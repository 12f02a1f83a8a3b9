#include "chart/TChart.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QResizeEvent>

namespace {

TColor FromQColor(const QColor& c)
{
    return static_cast<TColor>(c.red()) | (static_cast<TColor>(c.green()) << 8) |
           (static_cast<TColor>(c.blue()) << 16);
}

SystemColors ColorsOf(const QPalette& palette)
{
    SystemColors colors;
    colors.btnFace = FromQColor(palette.color(QPalette::Button));
    colors.btnHighlight = FromQColor(palette.color(QPalette::Light));
    colors.btnShadow = FromQColor(palette.color(QPalette::Dark));
    return colors;
}

bool ChartButton(Qt::MouseButton b, TMouseButton& out)
{
    switch (b) {
    case Qt::LeftButton: out = TMouseButton::Left; return true;
    case Qt::RightButton: out = TMouseButton::Right; return true;
    case Qt::MiddleButton: out = TMouseButton::Middle; return true;
    default: return false;
    }
}

} // namespace

TChart::TChart(QWidget* parent) : QWidget(parent)
{
    // The chart paints every pixel itself: no background erase before a paint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    SetSystemColors(ColorsOf(palette()));
    SetChartSize(width(), height());
}

TChart::~TChart() = default;

QSize TChart::sizeHint() const { return QSize(400, 250); }

QSize TChart::minimumSizeHint() const { return QSize(100, 80); }

// A modal box opening during a drag (a failed tick's error box, the point
// limit's message) blocks the window: the release would never arrive, and
// the band would stay on screen until a later click zoomed to it.
bool TChart::event(QEvent* event)
{
    if (event->type() == QEvent::WindowBlocked)
        CancelDrag();
    return QWidget::event(event);
}

void TChart::paintEvent(QPaintEvent* event)
{
    (void)event;
    QPainter painter(this);
    painter.drawImage(0, 0, ScreenImage());
}

void TChart::resizeEvent(QResizeEvent* event)
{
    SetChartSize(event->size().width(), event->size().height());
}

void TChart::mousePressEvent(QMouseEvent* event)
{
    controlClick_ = (event->modifiers() & Qt::ControlModifier) != 0;
    TMouseButton button;
    if (ChartButton(event->button(), button)) {
        const QPoint p = event->position().toPoint();
        MouseDown(button, p.x(), p.y());
    }
}

// While a button is held Qt delivers the moves to this widget even outside
// it (the press grabs the mouse), so the rubber band follows the mouse.
void TChart::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint p = event->position().toPoint();
    MouseMove(p.x(), p.y());
}

void TChart::mouseReleaseEvent(QMouseEvent* event)
{
    TMouseButton button;
    if (ChartButton(event->button(), button)) {
        const QPoint p = event->position().toPoint();
        MouseUp(button, p.x(), p.y());
    }
}

void TChart::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::PaletteChange)
        SetSystemColors(ColorsOf(palette()));
    QWidget::changeEvent(event);
}

void TChart::RequestRepaint() { update(); }

void TChart::RepaintNow()
{
    // A visible widget paints at once (repaint() runs the paint event
    // synchronously); a hidden one still brings its BackBuffer up to date.
    if (isVisible())
        repaint();
    else
        PaintBackBuffer();
}

void TChart::UseDefaultCursor() { setCursor(Qt::ArrowCursor); }

void TChart::UseMarkerCursor(bool on)
{
    if (on)
        setCursor(Qt::SizeHorCursor);
    else
        unsetCursor();
}

void TChart::TrackPointer(bool on) { setMouseTracking(on); }
