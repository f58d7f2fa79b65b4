// The 3-D graph: a surface over a grid with one cursor, kept in the control's record and shown by a
// Q3DSurface window inside the panel. The window is made when its panel is first shown, and only where
// OpenGL works; elsewhere a notice stands in its place and the record works on.
#include "platform/ui/axisticks.h"
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
#include <QtDataVisualization/QValue3DAxisFormatter>
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

// Ticks at given values with given labels, where the program names the values an axis labels; without
// them the view's own ticks.
class PairTicks : public QValue3DAxisFormatter {
  public:
    void Set(std::vector<float> at, QStringList labels) {
        if (at == at_ && labels == labels_) return; // new labels make the view draw them again
        at_ = std::move(at);
        labels_ = std::move(labels);
        markDirty(true);
    }

  protected:
    QValue3DAxisFormatter* createNewInstance() const override { return new PairTicks; }
    void populateCopy(QValue3DAxisFormatter& copy) const override {
        QValue3DAxisFormatter::populateCopy(copy);
        auto& ticks = static_cast<PairTicks&>(copy);
        ticks.at_ = at_;
        ticks.labels_ = labels_;
    }
    void recalculate() override {
        if (at_.empty()) {
            QValue3DAxisFormatter::recalculate();
            return;
        }
        gridPositions().clear();
        subGridPositions().clear();
        labelPositions().clear();
        labelStrings().clear();
        const float lo = axis()->min(), span = axis()->max() - lo;
        // A line at every value on the axis; a label, where it has one, at so many of them, chosen by where
        // they lie, that they stay apart however the values crowd.
        std::vector<double> places;
        QStringList labels;
        for (std::size_t k = 0; k < at_.size(); ++k) {
            const float t = (at_[k] - lo) / span;
            if (!(t >= 0 && t <= 1)) continue;
            gridPositions() << t;
            if (const QString& label = labels_[static_cast<qsizetype>(k)]; !label.isEmpty()) {
                places.push_back(t);
                labels << label;
            }
        }
        for (const std::size_t k : LabelledPoints(places, kMaxLabels)) {
            labelPositions() << static_cast<float>(places[k]);
            labelStrings() << labels[static_cast<qsizetype>(k)];
        }
    }

  private:
    static constexpr std::size_t kMaxLabels = 8;
    std::vector<float> at_;
    QStringList labels_;
};

// How the view lays out a grid axis. It needs grid lines in strictly rising order and a rising range: with
// those the axis shows the range it was given, ticked at its value pairs. Any other (all breakpoints
// equal on a map never set up, out of order, or a range that falls) is laid out by point number over its
// first to last point, each value pair labelling its point; the caption says so.
struct AxisLayout {
    std::vector<double> at; // the place of each grid line
    double lo = 0, hi = 0;
    QString title;
    std::vector<float> ticks;
    QStringList labels;
};
AxisLayout LayOut(const std::vector<double>& grid, const SurfaceAxis* axis, const std::string& name) {
    AxisLayout a;
    if (grid.empty()) return a;
    const bool ranged = axis != nullptr && axis->ranged;
    const std::vector<double> noPairs;
    const std::vector<double>& pairs = axis != nullptr ? axis->pairs : noPairs;
    if (Increasing(grid) && (!ranged || axis->min < axis->max)) {
        a.at = grid;
        a.lo = ranged ? axis->min : grid.front();
        a.hi = ranged ? axis->max : grid.back();
        a.title = ToQt(name);
        for (const double v : pairs)
            a.ticks.push_back(static_cast<float>(v));
    } else {
        for (std::size_t i = 0; i < grid.size(); ++i)
            a.at.push_back(static_cast<double>(i));
        a.lo = 0;
        a.hi = static_cast<double>(grid.size() - 1);
        a.title = ToQt(name) + QStringLiteral(" (by point number)");
        for (std::size_t k = 0; k < pairs.size() && k < grid.size(); ++k)
            a.ticks.push_back(static_cast<float>(k));
    }
    for (std::size_t k = 0; k < a.ticks.size(); ++k)
        a.labels << QString::asprintf("%.6g", pairs[k]);
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

void ShowGridAxis(QValue3DAxis* axis, const AxisLayout& a) {
    if (a.at.empty()) return;
    SetAxis(axis, a.title, a.lo, a.hi);
    static_cast<PairTicks*>(axis->formatter())->Set(a.ticks, a.labels);
}

const SurfaceAxis* AxisAt(const Surface& s, std::size_t k) {
    return k < s.axes.size() ? &s.axes[k] : nullptr;
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
        axis->setFormatter(new PairTicks);
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
    QWidget* container = QWidget::createWindowContainer(view, holder);
    container->setFocusPolicy(Qt::StrongFocus);
    holder->setFocusProxy(container);
    layout->addWidget(container);
    container->setFocus();
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

// The axes: captions, the grid axes as laid out, and the values upright between round ticks.
void ShowAxes(Q3DSurface& view, const Surface& s, const AxisLayout& x, const AxisLayout& y) {
    // The view's X runs across, its Y up (the values) and its Z into the screen (our y).
    ShowGridAxis(view.axisX(), x);
    ShowGridAxis(view.axisZ(), y);
    if (!s.z.empty()) {
        const auto [lo, hi] = std::minmax_element(s.z.begin(), s.z.end());
        const ValueTicks ticks = RoundValueTicks(*lo, *hi);
        SetAxis(view.axisY(), ToQt(s.zName), ticks.lo, ticks.hi);
        static_cast<PairTicks*>(view.axisY()->formatter())
            ->Set(std::vector<float>(ticks.at.begin(), ticks.at.end()), ticks.labels);
    }
}

void SyncSurfaceLook(Control& c) {
    if (Q3DSurface* view = ViewOf(c)) {
        const Surface& s = *c.surface;
        ShowAxes(*view, s, LayOut(s.x, AxisAt(s, 0), s.xName), LayOut(s.y, AxisAt(s, 1), s.yName));
    }
}

void SyncSurface(Control& c) {
    Q3DSurface* view = ViewOf(c);
    if (view == nullptr) return;
    const Surface& s = *c.surface;
    const AxisLayout x = LayOut(s.x, AxisAt(s, 0), s.xName);
    const AxisLayout y = LayOut(s.y, AxisAt(s, 1), s.yName);
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
    ShowAxes(*view, s, x, y);
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

namespace {

// Axis number k (from 1) of a 3-D graph; null with status set when there is none.
ui::SurfaceAxis* Axis3DOf(int panel, int control, int axis, int* status) {
    ui::Surface* s = ui::SurfaceOf(panel, control, status);
    if (s == nullptr) return nullptr;
    if (axis < 1 || axis > static_cast<int>(s->axes.size())) {
        *status = UIE_BadIndex;
        return nullptr;
    }
    return &s->axes[static_cast<std::size_t>(axis - 1)];
}

// Value pair number k (from 1) of an axis; null with status set when there is none.
double* PairOf(int panel, int control, int axis, int pair, int* status) {
    ui::SurfaceAxis* a = Axis3DOf(panel, control, axis, status);
    if (a == nullptr) return nullptr;
    if (pair < 1 || pair > static_cast<int>(a->pairs.size())) {
        *status = UIE_BadIndex;
        return nullptr;
    }
    return &a->pairs[static_cast<std::size_t>(pair - 1)];
}

} // namespace

int GetGraph3DAxisCount(int panel, int control, int* count) {
    int status = 0;
    const ui::Surface* s = ui::SurfaceOf(panel, control, &status);
    if (s == nullptr) return status;
    if (count == nullptr) return UIE_BadValue;
    *count = static_cast<int>(s->axes.size());
    return UIE_NoError;
}

int GetGraph3DValuePairCount(int panel, int control, int axis, int* count) {
    int status = 0;
    const ui::SurfaceAxis* a = Axis3DOf(panel, control, axis, &status);
    if (a == nullptr) return status;
    if (count == nullptr) return UIE_BadValue;
    *count = static_cast<int>(a->pairs.size());
    return UIE_NoError;
}

int SetGraph3DValuePair(int panel, int control, int axis, int pair, double value) {
    int status = 0;
    double* v = PairOf(panel, control, axis, pair, &status);
    if (v == nullptr) return status;
    if (!std::isfinite(value)) return UIE_BadValue;
    *v = value;
    return UIE_NoError;
}

int GetGraph3DValuePair(int panel, int control, int axis, int pair, double* value) {
    int status = 0;
    const double* v = PairOf(panel, control, axis, pair, &status);
    if (v == nullptr) return status;
    if (value == nullptr) return UIE_BadValue;
    *value = *v;
    return UIE_NoError;
}

int SetGraph3DAxisRange(int panel, int control, int axis, double min, double max) {
    int status = 0;
    ui::SurfaceAxis* a = Axis3DOf(panel, control, axis, &status);
    if (a == nullptr) return status;
    if (!std::isfinite(min) || !std::isfinite(max)) return UIE_BadValue;
    a->ranged = true;
    a->min = min;
    a->max = max;
    return UIE_NoError;
}

int GetGraph3DAxisRange(int panel, int control, int axis, double* min, double* max) {
    int status = 0;
    const ui::SurfaceAxis* a = Axis3DOf(panel, control, axis, &status);
    if (a == nullptr) return status;
    if (min == nullptr || max == nullptr) return UIE_BadValue;
    *min = a->min;
    *max = a->max;
    return UIE_NoError;
}

int GetGraph3DPoint(int panel, int control, int i, int j, double* x, double* y, double* z) {
    int status = 0;
    const ui::Surface* s = ui::SurfaceOf(panel, control, &status);
    if (s == nullptr) return status;
    if (i < 0 || j < 0 || i >= static_cast<int>(s->x.size()) || j >= static_cast<int>(s->y.size()))
        return UIE_BadIndex;
    if (x == nullptr || y == nullptr || z == nullptr) return UIE_BadValue;
    const auto ui = static_cast<std::size_t>(i), uj = static_cast<std::size_t>(j);
    *x = s->x[ui];
    *y = s->y[uj];
    *z = s->z[ui * s->y.size() + uj];
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
