// The 3-D graph: a surface over a grid with one cursor, kept in the control's record and shown by a
// Q3DSurface window inside the panel. The window is made when its panel is first shown, and only where
// OpenGL works; elsewhere a notice stands in its place and the record works on.
#include "platform/ui/layer.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QValue3DAxis>
#include <algorithm>
#include <cmath>

namespace ui {
namespace {

// The holder of the view: what the control's widget is, so that the panel lays it out like any other.
class SurfaceHolder : public QWidget {
  public:
    using QWidget::QWidget;
};

Surface* SurfaceOf(int panel, int control, int* status) {
    return PartOf(panel, control, &Control::surface, status);
}

bool Increasing(const std::vector<double>& v) {
    return v.size() >= 2 && std::adjacent_find(v.begin(), v.end(), std::greater_equal<>()) == v.end();
}

// A surface needs its grid lines in strictly rising order. Breakpoints that are not (all equal on a map
// never set up, or out of order) are laid out by their index instead; the caption says so.
struct AxisLayout {
    std::vector<double> at;
    QString title;
};
AxisLayout LayOut(const std::vector<double>& v, const std::string& name) {
    if (Increasing(v)) return {v, ToQt(name)};
    AxisLayout a{{}, ToQt(name) + QStringLiteral(" (by point number)")};
    for (std::size_t i = 0; i < v.size(); ++i)
        a.at.push_back(static_cast<double>(i));
    return a;
}

// Only what changed is passed on: every change of an axis makes the view draw its labels again.
void SetAxis(QValue3DAxis* axis, const QString& title, double lo, double hi) {
    if (!(lo < hi)) {
        lo -= 1;
        hi += 1;
    }
    if (axis->title() != title) axis->setTitle(title);
    const auto low = static_cast<float>(lo), high = static_cast<float>(hi);
    if (axis->min() != low || axis->max() != high) axis->setRange(low, high);
}

Q3DSurface* ViewOf(const Control& c) {
    return c.surface ? qobject_cast<Q3DSurface*>(c.surface->view.data()) : nullptr;
}

void ShowCursor(Control& c) {
    Q3DSurface* view = ViewOf(c);
    if (view == nullptr || view->seriesList().isEmpty()) return;
    const Quiet quiet;
    view->seriesList().front()->setSelectedPoint(QPoint(c.surface->column, c.surface->row));
}

void MakeView(Control& c) {
    auto* holder = c.widget.data();
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    if (!Graph3DViewAvailable()) {
        auto* notice =
            new QLabel(QStringLiteral("The 3-D view needs OpenGL, which this display lacks."), holder);
        notice->setAlignment(Qt::AlignCenter);
        layout->addWidget(notice);
        return;
    }
    auto* view = new Q3DSurface();
    view->setProperty("uiPanel", c.panel);
    view->setProperty("uiControl", c.id);
    view->setSelectionMode(QAbstract3DGraph::SelectionItem);
    view->setShadowQuality(QAbstract3DGraph::ShadowQualityNone);
    view->scene()->activeCamera()->setCameraPreset(Q3DCamera::CameraPresetIsometricLeftHigh);
    view->scene()->activeCamera()->setZoomLevel(95);
    view->setHorizontalAspectRatio(1.6);
    // Labels large enough to read at a window's size, heights coloured from low (blue) to high (red).
    view->activeTheme()->setFont(QFont(QStringLiteral("Sans"), 40));
    for (QValue3DAxis* axis : {view->axisX(), view->axisY(), view->axisZ()}) {
        axis->setTitleVisible(true);
        axis->setLabelFormat(QStringLiteral("%.6g"));
    }
    auto* series = new QSurface3DSeries;
    series->setDrawMode(QSurface3DSeries::DrawSurfaceAndWireframe);
    series->setFlatShadingEnabled(false);
    QLinearGradient heights;
    heights.setColorAt(0.0, QColor(0x20, 0x40, 0xC0));
    heights.setColorAt(0.35, QColor(0x20, 0xB0, 0x60));
    heights.setColorAt(0.7, QColor(0xF0, 0xD0, 0x20));
    heights.setColorAt(1.0, QColor(0xD0, 0x20, 0x20));
    series->setBaseGradient(heights);
    series->setColorStyle(Q3DTheme::ColorStyleRangeGradient);
    series->setItemLabelFormat(QStringLiteral("@xLabel, @zLabel: @yLabel"));
    view->addSeries(series);
    const int panel = c.panel, id = c.id;
    QObject::connect(series, &QSurface3DSeries::selectedPointChanged, [panel, id](const QPoint& at) {
        Control* sc = FindControl(panel, id, nullptr);
        if (sc == nullptr || IsQuiet()) return;
        if (at ==
            QSurface3DSeries::invalidSelectionPosition()) { // a click beside the surface keeps the cursor
            ShowCursor(*sc);
            return;
        }
        sc->surface->row = at.y();
        sc->surface->column = at.x();
        SendCtrlEvent(panel, id, EVENT_CURSOR_CHANGE, at.y(), at.x());
    });
    layout->addWidget(QWidget::createWindowContainer(view, holder));
    c.surface->view = view;
    SyncSurface(c);
}

} // namespace

QWidget* MakeSurfaceHolder(Control&, QWidget* canvas) {
    return new SurfaceHolder(canvas);
}

void ShowSurfaceViews(Panel& p) {
    for (const auto& c : p.controls)
        if (c->surface && c->widget && c->widget->layout() == nullptr) MakeView(*c);
}

// The axes: captions, and ranges from the first to the last grid line (the values' extremes upright).
void ShowAxes(Q3DSurface& view, const Surface& s) {
    const AxisLayout x = LayOut(s.x, s.xName);
    const AxisLayout y = LayOut(s.y, s.yName);
    // The view's X runs across, its Y up (the values) and its Z into the screen (our y).
    if (!x.at.empty())
        SetAxis(view.axisX(), x.title, std::min(x.at.front(), x.at.back()),
                std::max(x.at.front(), x.at.back()));
    if (!y.at.empty())
        SetAxis(view.axisZ(), y.title, std::min(y.at.front(), y.at.back()),
                std::max(y.at.front(), y.at.back()));
    if (!s.z.empty()) {
        const auto [lo, hi] = std::minmax_element(s.z.begin(), s.z.end());
        SetAxis(view.axisY(), ToQt(s.zName), *lo, *hi);
    }
}

void SyncSurfaceLook(Control& c) {
    if (Q3DSurface* view = ViewOf(c)) ShowAxes(*view, *c.surface);
}

void SyncSurface(Control& c) {
    Q3DSurface* view = ViewOf(c);
    if (view == nullptr) return;
    const Surface& s = *c.surface;
    const AxisLayout x = LayOut(s.x, s.xName);
    const AxisLayout y = LayOut(s.y, s.yName);
    const auto at = [&](int i, int j) {
        const auto ui = static_cast<std::size_t>(i), uj = static_cast<std::size_t>(j);
        return QVector3D(static_cast<float>(x.at[ui]), static_cast<float>(s.z[ui * s.y.size() + uj]),
                         static_cast<float>(y.at[uj]));
    };
    const Quiet quiet;
    QSurfaceDataProxy* proxy = view->seriesList().front()->dataProxy();
    const int rowCount = static_cast<int>(s.y.size()), columnCount = static_cast<int>(s.x.size());
    // A grid of the same shape takes only the points that changed (a cell edit changes one): a whole new
    // array makes the view rebuild everything, its axis labels included.
    if (proxy->rowCount() == rowCount && proxy->columnCount() == columnCount) {
        for (int r = 0; r < rowCount; ++r)
            for (int col = 0; col < columnCount; ++col)
                if (const QVector3D p = at(col, r); proxy->itemAt(r, col)->position() != p)
                    proxy->setItem(r, col, QSurfaceDataItem(p));
    } else {
        auto* rows = new QSurfaceDataArray;
        rows->reserve(rowCount);
        for (int r = 0; r < rowCount; ++r) {
            auto* row = new QSurfaceDataRow(columnCount);
            for (int col = 0; col < columnCount; ++col)
                (*row)[col].setPosition(at(col, r));
            rows->append(row);
        }
        proxy->resetArray(rows);
    }
    ShowAxes(*view, s);
    ShowCursor(c);
}

void PaintSurfaceViews(const Panel& p, QPixmap& image) {
    QPainter painter(&image);
    for (const auto& c : p.controls)
        if (Q3DSurface* view = ViewOf(*c); view != nullptr && c->widget && c->widget->isVisible()) {
            const QPoint at = c->widget->mapTo(p.frame.data(), QPoint(0, 0));
            painter.drawImage(at, view->renderToImage(4, c->widget->size()));
        }
}

} // namespace ui

int PlotSurface3D(int panel, int control, std::span<const double> x, std::span<const double> y,
                  std::span<const double> z) {
    int status = 0;
    ui::Surface* s = ui::SurfaceOf(panel, control, &status);
    if (s == nullptr) return status;
    if (z.size() != x.size() * y.size()) return UIE_BadValue;
    for (const std::span<const double> v : {x, y, z})
        if (!std::all_of(v.begin(), v.end(), [](double d) { return std::isfinite(d); })) return UIE_BadValue;
    s->x.assign(x.begin(), x.end());
    s->y.assign(y.begin(), y.end());
    s->z.assign(z.begin(), z.end());
    s->row = std::clamp(s->row, 0, std::max(0, static_cast<int>(x.size()) - 1));
    s->column = std::clamp(s->column, 0, std::max(0, static_cast<int>(y.size()) - 1));
    ui::SyncSurface(*ui::FindControl(panel, control, nullptr));
    return UIE_NoError;
}

int SetGraph3DCursor(int panel, int control, int row, int column) {
    int status = 0;
    ui::Surface* s = ui::SurfaceOf(panel, control, &status);
    if (s == nullptr) return status;
    s->row = std::clamp(row, 0, std::max(0, static_cast<int>(s->x.size()) - 1));
    s->column = std::clamp(column, 0, std::max(0, static_cast<int>(s->y.size()) - 1));
    ui::ShowCursor(*ui::FindControl(panel, control, nullptr));
    return UIE_NoError;
}

int GetGraph3DCursor(int panel, int control, int* row, int* column) {
    int status = 0;
    const ui::Surface* s = ui::SurfaceOf(panel, control, &status);
    if (s == nullptr) return status;
    if (row == nullptr || column == nullptr) return UIE_BadValue;
    *row = s->row;
    *column = s->column;
    return UIE_NoError;
}

int Graph3DViewAvailable() {
    // Asked once: whether the display gives an OpenGL context that can draw.
    static const int available = [] {
        ui::EnsureApp();
        const QString platform = QGuiApplication::platformName();
        if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return 0;
        QOpenGLContext context;
        QOffscreenSurface surface;
        surface.create();
        return context.create() && context.makeCurrent(&surface) ? 1 : 0;
    }();
    return available;
}
