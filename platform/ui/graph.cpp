// The 2-D graph: plots, cursors and axis ranges in the control's record, drawn by a widget of ours, and
// the conversion between panel pixels and graph coordinates that mouse editing relies on.
#include "platform/ui/layer.h"

#include <QPainter>
#include <QPainterPath>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace ui {
namespace {

struct MouseSpot {
    int panel = 0;
    int x = 0, y = 0;
};
MouseSpot lastMouse; // where the last delivered mouse event happened

using Range = std::pair<double, double>;

// Every x (or y) value of every plot.
Range DataRange(const Graph& g, int axis) {
    double lo = kNoLimit, hi = -kNoLimit;
    for (const GraphPlot& p : g.plots)
        for (const double v : axis == VAL_XAXIS ? p.x : p.y) {
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
    if (lo > hi) return {0, 10};
    if (lo == hi) return {lo - 1, hi + 1};
    return {lo, hi};
}

Range AxisRange(const Graph& g, int axis) {
    const GraphAxis& a = axis == VAL_XAXIS ? g.x : g.y;
    return a.mode == VAL_MANUAL ? Range{a.min, a.max} : DataRange(g, axis);
}

struct PlotArea {
    int left, top, width, height; // control pixels
};
PlotArea AreaOf(const Control& c) {
    return {kPlotLeft, kPlotTop, std::max(1, c.w - kPlotLeft - kPlotRight),
            std::max(1, c.h - kPlotTop - kPlotBottom)};
}

// A step of 1, 2 or 5 times a power of ten that cuts the range into about `parts` pieces.
double NiceStep(double span, int parts) {
    const double raw = span / std::max(1, parts);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0})
        if (m * power >= raw) return m * power;
    return 10 * power;
}

int DecimalsOf(double step) {
    return std::clamp(static_cast<int>(-std::floor(std::log10(step) + 1e-9)), 0, 6);
}

class GraphWidget : public QWidget {
  public:
    GraphWidget(int panel, int control, QWidget* parent) : QWidget(parent), panel_(panel), control_(control) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::StrongFocus);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        const Control* c = FindControl(panel_, control_, nullptr);
        if (c == nullptr || !c->graph) return;
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
        const Graph& g = *c->graph;
        const PlotArea a = AreaOf(*c);
        const QRectF area(a.left, a.top, a.width, a.height);
        p.fillRect(area, Qt::white);
        // Plain copies: a lambda may not capture structured bindings with every compiler we build with.
        const auto xRange = AxisRange(g, VAL_XAXIS);
        const auto yRange = AxisRange(g, VAL_LEFT_YAXIS);
        const double x0 = xRange.first, x1 = xRange.second, y0 = yRange.first, y1 = yRange.second;
        const auto px = [&](double x) { return area.left() + (x - x0) / (x1 - x0) * area.width(); };
        const auto py = [&](double y) { return area.bottom() - (y - y0) / (y1 - y0) * area.height(); };
        DrawTicks(p, area, x0, x1, y0, y1);
        DrawNames(p, area, g);
        p.save();
        p.setClipRect(area.adjusted(-6, -6, 6, 6));
        p.setRenderHint(QPainter::Antialiasing);
        for (const GraphPlot& plot : g.plots)
            DrawPlot(p, plot, px, py);
        for (const GraphCursor& cur : g.cursors)
            DrawCursor(p, g, cur, area, px, py);
        p.restore();
        p.setPen(QPen(Qt::black, 1));
        p.drawRect(area);
    }

  private:
    void DrawTicks(QPainter& p, const QRectF& area, double x0, double x1, double y0, double y1) {
        const QFontMetrics fm(font());
        const auto ticks = [&](double lo, double hi, double pixels, bool vertical) {
            const double step = NiceStep(hi - lo, static_cast<int>(pixels / (vertical ? 40 : 70)));
            const int decimals = DecimalsOf(step);
            for (double v = std::ceil(lo / step - 1e-9) * step; v <= hi + step * 1e-9; v += step) {
                const QString text = QString::number(std::abs(v) < step * 1e-9 ? 0.0 : v, 'f', decimals);
                if (vertical) {
                    const double y = area.bottom() - (v - lo) / (hi - lo) * area.height();
                    p.setPen(QPen(QColor(0xE0, 0xE0, 0xE0), 1));
                    p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
                    p.setPen(Qt::black);
                    p.drawText(QRectF(0, y - 8, area.left() - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
                               text);
                } else {
                    const double x = area.left() + (v - lo) / (hi - lo) * area.width();
                    p.setPen(QPen(QColor(0xE0, 0xE0, 0xE0), 1));
                    p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
                    p.setPen(Qt::black);
                    p.drawText(QRectF(x - 40, area.bottom() + 2, 80, fm.height()), Qt::AlignCenter, text);
                }
            }
        };
        ticks(x0, x1, area.width(), false);
        ticks(y0, y1, area.height(), true);
    }

    void DrawNames(QPainter& p, const QRectF& area, const Graph& g) {
        const QFontMetrics fm(font());
        p.setPen(Qt::black);
        p.drawText(QRectF(area.left(), area.bottom() + 2 + fm.height(), area.width(), fm.height() + 4),
                   Qt::AlignCenter, ToQt(g.x.name));
        p.save();
        p.translate(2, area.center().y());
        p.rotate(-90);
        p.drawText(QRectF(-area.height() / 2, 0, area.height(), fm.height() + 2), Qt::AlignCenter,
                   ToQt(g.y.name));
        p.restore();
    }

    template <typename Px, typename Py>
    static void DrawPlot(QPainter& p, const GraphPlot& plot, Px px, Py py) {
        const QColor color = RgbColor(plot.color);
        if (plot.rectangle) {
            p.setPen(QPen(color, 1));
            p.setBrush(plot.fillColor == VAL_TRANSPARENT ? QBrush(Qt::NoBrush)
                                                         : QBrush(RgbColor(plot.fillColor)));
            p.drawRect(QRectF(QPointF(px(plot.x[0]), py(plot.y[0])), QPointF(px(plot.x[1]), py(plot.y[1])))
                           .normalized());
            return;
        }
        QPainterPath path;
        for (std::size_t i = 0; i < plot.x.size(); ++i) {
            const QPointF at(px(plot.x[i]), py(plot.y[i]));
            if (i == 0)
                path.moveTo(at);
            else
                path.lineTo(at);
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(color, plot.plotStyle == VAL_THIN_LINE ? 1 : 2));
        p.drawPath(path);
        if (plot.pointStyle == VAL_NO_POINT) return;
        p.setBrush(color);
        p.setPen(QPen(color.darker(130), 1));
        for (std::size_t i = 0; i < plot.x.size(); ++i)
            p.drawEllipse(QPointF(px(plot.x[i]), py(plot.y[i])), 3.5, 3.5);
    }

    template <typename Px, typename Py>
    static void DrawCursor(QPainter& p, const Graph& g, const GraphCursor& cur, const QRectF& area, Px px,
                           Py py) {
        const auto plot = std::find_if(g.plots.begin(), g.plots.end(),
                                       [&](const GraphPlot& pl) { return pl.handle == cur.plot; });
        if (plot == g.plots.end() || plot->rectangle || cur.index < 0 ||
            cur.index >= static_cast<int>(plot->x.size()))
            return;
        const std::size_t i = static_cast<std::size_t>(cur.index);
        const QPointF at(px(plot->x[i]), py(plot->y[i]));
        const QColor color = RgbColor(cur.color);
        // A dark line under the coloured one keeps a yellow or cyan cross-hair visible on white.
        p.setBrush(Qt::NoBrush);
        for (const auto& [pen, width] : {std::pair{QColor(0x60, 0x60, 0x60), 3.0}, std::pair{color, 1.0}}) {
            p.setPen(QPen(pen, width, Qt::SolidLine));
            p.drawLine(QPointF(area.left(), at.y()), QPointF(area.right(), at.y()));
            p.drawLine(QPointF(at.x(), area.top()), QPointF(at.x(), area.bottom()));
        }
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(color);
        const QRectF box(at.x() - 5, at.y() - 5, 10, 10);
        if (cur.pointStyle == VAL_SOLID_SQUARE)
            p.drawRect(box);
        else
            p.drawEllipse(box);
    }

    int panel_, control_;
};

// The graph record of a control, or null with status set.
Graph* GraphOf(int panel, int control, int* status) {
    return PartOf(panel, control, &Control::graph, status);
}

void Redraw(int panel, int control) {
    if (Control* c = FindControl(panel, control, nullptr); c != nullptr && c->widget) c->widget->update();
}

int AddPlot(int panel, int control, GraphPlot plot) {
    int status = 0;
    Graph* g = GraphOf(panel, control, &status);
    if (g == nullptr) return status;
    for (const std::vector<double>* v : {&plot.x, &plot.y})
        if (!std::all_of(v->begin(), v->end(), [](double d) { return std::isfinite(d); }))
            return UIE_BadValue;
    plot.handle = g->nextHandle++;
    g->plots.push_back(std::move(plot));
    Redraw(panel, control);
    return g->plots.back().handle;
}

GraphCursor* CursorOf(int panel, int control, int cursor, int* status) {
    Graph* g = GraphOf(panel, control, status);
    if (g == nullptr) return nullptr;
    if (cursor < 1 || cursor > static_cast<int>(g->cursors.size())) {
        *status = UIE_BadIndex;
        return nullptr;
    }
    return &g->cursors[static_cast<std::size_t>(cursor - 1)];
}

} // namespace

QWidget* MakeGraphWidget(Control& c, QWidget* canvas) {
    return new GraphWidget(c.panel, c.id, canvas);
}

void NoteMouse(int panel, int x, int y) {
    lastMouse = {panel, x, y};
}

bool WantsExtendedMouse(int panel, int control, int event) {
    const Control* c = FindControl(panel, control, nullptr);
    if (c == nullptr || !c->graph || c->graph->mousePeriod < 0) return false;
    if (event != EVENT_MOUSE_POINTER_MOVE) return true;
    const double now =
        std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    if (now - c->graph->lastMove < c->graph->mousePeriod) return false;
    c->graph->lastMove = now;
    return true;
}

} // namespace ui

using ui::Graph;
using ui::GraphOf;

int PlotXY(int panel, int control, std::span<const double> x, std::span<const double> y, int plotStyle,
           int pointStyle, int color) {
    if (x.size() != y.size() || x.empty()) return UIE_BadValue;
    return ui::AddPlot(panel, control,
                       {0,
                        false,
                        {x.begin(), x.end()},
                        {y.begin(), y.end()},
                        plotStyle,
                        pointStyle,
                        color,
                        VAL_TRANSPARENT});
}

int PlotRectangle(int panel, int control, double x1, double y1, double x2, double y2, int color,
                  int fillColor) {
    return ui::AddPlot(panel, control,
                       {0, true, {x1, x2}, {y1, y2}, VAL_THIN_LINE, VAL_NO_POINT, color, fillColor});
}

int DeleteGraphPlot(int panel, int control, int plotHandle) {
    int status = 0;
    Graph* g = GraphOf(panel, control, &status);
    if (g == nullptr) return status;
    const auto gone = [plotHandle](const ui::GraphPlot& p) {
        return plotHandle == VAL_ALL_PLOTS || p.handle == plotHandle;
    };
    if (std::none_of(g->plots.begin(), g->plots.end(), gone))
        return plotHandle == VAL_ALL_PLOTS ? 0 : UIE_BadIndex;
    std::erase_if(g->plots, gone);
    for (ui::GraphCursor& c : g->cursors)
        if (plotHandle == VAL_ALL_PLOTS || c.plot == plotHandle) c.plot = 0;
    ui::Redraw(panel, control);
    return UIE_NoError;
}

int SetGraphCursorIndex(int panel, int control, int cursor, int plotHandle, int pointIndex) {
    int status = 0;
    ui::GraphCursor* c = ui::CursorOf(panel, control, cursor, &status);
    if (c == nullptr) return status;
    const Graph& g = *GraphOf(panel, control, &status);
    const auto plot = std::find_if(g.plots.begin(), g.plots.end(),
                                   [&](const ui::GraphPlot& p) { return p.handle == plotHandle; });
    if (plot == g.plots.end() || pointIndex < 0 || pointIndex >= static_cast<int>(plot->x.size()))
        return UIE_BadIndex;
    c->plot = plotHandle;
    c->index = pointIndex;
    ui::Redraw(panel, control);
    return UIE_NoError;
}

int GetGraphCursorIndex(int panel, int control, int cursor, int* plotHandle, int* pointIndex) {
    int status = 0;
    const ui::GraphCursor* c = ui::CursorOf(panel, control, cursor, &status);
    if (c == nullptr) return status;
    if (plotHandle == nullptr || pointIndex == nullptr) return UIE_BadValue;
    *plotHandle = c->plot;
    *pointIndex = c->index;
    return UIE_NoError;
}

int SetCursorAttribute(int panel, int control, int cursor, int attribute, int value) {
    int status = 0;
    ui::GraphCursor* c = ui::CursorOf(panel, control, cursor, &status);
    if (c == nullptr) return status;
    if (attribute == ATTR_CURSOR_COLOR) {
        if (value < 0 || value > 0xFFFFFF) return UIE_BadValue;
        c->color = value;
    } else if (attribute == ATTR_CURSOR_POINT_STYLE) {
        c->pointStyle = value;
    } else {
        return UIE_BadAttribute;
    }
    ui::Redraw(panel, control);
    return UIE_NoError;
}

int GetCursorAttribute(int panel, int control, int cursor, int attribute, int* value) {
    int status = 0;
    const ui::GraphCursor* c = ui::CursorOf(panel, control, cursor, &status);
    if (c == nullptr) return status;
    if (value == nullptr) return UIE_BadValue;
    if (attribute == ATTR_CURSOR_COLOR)
        *value = c->color;
    else if (attribute == ATTR_CURSOR_POINT_STYLE)
        *value = c->pointStyle;
    else
        return UIE_BadAttribute;
    return UIE_NoError;
}

int SetAxisScalingMode(int panel, int control, int axis, int mode, double min, double max) {
    int status = 0;
    Graph* g = GraphOf(panel, control, &status);
    if (g == nullptr) return status;
    if (axis != VAL_XAXIS && axis != VAL_LEFT_YAXIS) return UIE_BadValue;
    if (mode != VAL_MANUAL && mode != VAL_AUTOSCALE) return UIE_BadValue;
    if (mode == VAL_MANUAL && !(std::isfinite(min) && std::isfinite(max) && min < max)) return UIE_BadValue;
    ui::GraphAxis& a = axis == VAL_XAXIS ? g->x : g->y;
    a.mode = mode;
    if (mode == VAL_MANUAL) {
        a.min = min;
        a.max = max;
    }
    ui::Redraw(panel, control);
    return UIE_NoError;
}

int GetAxisScalingMode(int panel, int control, int axis, int* mode, double* min, double* max) {
    int status = 0;
    const Graph* g = GraphOf(panel, control, &status);
    if (g == nullptr) return status;
    if (axis != VAL_XAXIS && axis != VAL_LEFT_YAXIS) return UIE_BadValue;
    if (mode == nullptr || min == nullptr || max == nullptr) return UIE_BadValue;
    *mode = (axis == VAL_XAXIS ? g->x : g->y).mode;
    std::tie(*min, *max) = ui::AxisRange(*g, axis);
    return UIE_NoError;
}

int GetGraphCoordsFromPoint(int panel, int control, Point pixel, double* x, double* y) {
    int status = 0;
    const ui::Control* c = ui::FindControl(panel, control, &status);
    if (c == nullptr) return status;
    if (!c->graph) return UIE_BadControl;
    if (x == nullptr || y == nullptr) return UIE_BadValue;
    const ui::PlotArea a = ui::AreaOf(*c);
    const auto [x0, x1] = ui::AxisRange(*c->graph, VAL_XAXIS);
    const auto [y0, y1] = ui::AxisRange(*c->graph, VAL_LEFT_YAXIS);
    const int px = pixel.x - c->x - a.left;
    const int py = pixel.y - c->y - a.top;
    *x = x0 + static_cast<double>(px) / a.width * (x1 - x0);
    *y = y1 - static_cast<double>(py) / a.height * (y1 - y0);
    return px >= 0 && px <= a.width && py >= 0 && py <= a.height ? 1 : 0;
}

int GetGraphPointFromCoords(int panel, int control, double x, double y, Point* pixel) {
    int status = 0;
    const ui::Control* c = ui::FindControl(panel, control, &status);
    if (c == nullptr) return status;
    if (!c->graph) return UIE_BadControl;
    if (pixel == nullptr || !std::isfinite(x) || !std::isfinite(y)) return UIE_BadValue;
    const ui::PlotArea a = ui::AreaOf(*c);
    const auto [x0, x1] = ui::AxisRange(*c->graph, VAL_XAXIS);
    const auto [y0, y1] = ui::AxisRange(*c->graph, VAL_LEFT_YAXIS);
    pixel->x = c->x + a.left + static_cast<int>(std::lround((x - x0) / (x1 - x0) * a.width));
    pixel->y = c->y + a.top + static_cast<int>(std::lround((y1 - y) / (y1 - y0) * a.height));
    return UIE_NoError;
}

int EnableExtendedMouseEvents(int panel, int control, double minPeriod) {
    int status = 0;
    Graph* g = GraphOf(panel, control, &status);
    if (g == nullptr) return status;
    if (!(minPeriod >= 0)) return UIE_BadValue;
    g->mousePeriod = minPeriod;
    if (const ui::Control* c = ui::FindControl(panel, control, nullptr); c->widget)
        c->widget->setMouseTracking(true);
    return UIE_NoError;
}

int GetRelativeMouseState(int panel, int control, int* x, int* y) {
    int status = 0;
    const ui::Control* c = control == 0 ? nullptr : ui::FindControl(panel, control, &status);
    if (ui::FindPanel(panel) == nullptr) return UIE_BadPanel;
    if (control != 0 && c == nullptr) return status;
    if (x == nullptr || y == nullptr) return UIE_BadValue;
    *x = ui::lastMouse.x - (c ? c->x : 0);
    *y = ui::lastMouse.y - (c ? c->y : 0);
    return UIE_NoError;
}
