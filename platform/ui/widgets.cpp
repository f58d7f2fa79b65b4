// One Qt widget per control, made when its panel loads, with its signals turned into user actions.
#include "platform/ui/widgets.h"

#include "platform/ui/events.h"
#include "platform/ui/layer.h"
#include "platform/ui/numberbox.h"
#include "platform/ui/tablemodel.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStyleOptionProgressBar>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace ui {

void LedWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int d = std::min(width(), height()) - 2;
    const QRectF r((width() - d) / 2.0, (height() - d) / 2.0, d, d);
    QRadialGradient g(r.center() - QPointF(d / 5.0, d / 5.0), d / 1.4);
    g.setColorAt(0, color_.lighter(160));
    g.setColorAt(1, color_);
    p.setPen(QPen(palette().color(QPalette::Dark), 1));
    p.setBrush(g);
    p.drawEllipse(r);
}

void ProgressBar::paintEvent(QPaintEvent*) {
    QStyleOptionProgressBar option;
    initStyleOption(&option);
    option.textVisible = false;
    QPainter p(this);
    style()->drawControl(QStyle::CE_ProgressBar, &option, &p, this);
    if (!isTextVisible()) return;
    // The window text colour reads on the groove and on the highlight colour of the fill.
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(rect(), static_cast<int>(alignment()), text());
}

namespace {

QWidget* MakeTable(Control& c, QWidget* canvas) {
    auto* view = new QTableView(canvas);
    c.model = new TableModel(c.panel, c.id, view);
    view->setModel(c.model);
    view->setItemDelegate(new CellDelegate(view));
    view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    view->verticalHeader()->setDefaultSectionSize(19);
    view->verticalHeader()->setMinimumSectionSize(16);
    view->horizontalHeader()->setDefaultSectionSize(56);
    view->horizontalHeader()->setMinimumSectionSize(16);
    view->setWordWrap(false);
    // The horizontal offset is read and set in pixels (a column per step would make it a column count).
    view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    const int panel = c.panel, id = c.id;
    QObject::connect(view->selectionModel(), &QItemSelectionModel::currentChanged,
                     [panel, id](const QModelIndex& now, const QModelIndex&) {
                         if (now.isValid()) UserSelectCell(panel, id, {now.column() + 1, now.row() + 1});
                     });
    QObject::connect(view->selectionModel(), &QItemSelectionModel::selectionChanged,
                     [panel, id, view](const QItemSelection&, const QItemSelection&) {
                         Control* t = FindControl(panel, id, nullptr);
                         if (t == nullptr || IsQuiet()) return; // the view follows the record
                         const QItemSelection sel = view->selectionModel()->selection();
                         if (sel.isEmpty()) {
                             t->table->selection = {};
                             return;
                         }
                         const QItemSelectionRange& r = sel.first();
                         t->table->selection = {r.top() + 1, r.left() + 1, r.height(), r.width()};
                     });
    return view;
}

QWidget* MakeRadio(Control& c, QWidget* canvas) {
    auto* box = new QGroupBox(canvas);
    auto* group = new QButtonGroup(box);
    new QVBoxLayout(box);
    const int panel = c.panel, id = c.id;
    QObject::connect(group, &QButtonGroup::idClicked, [panel, id](int index) {
        const Control* r = FindControl(panel, id, nullptr);
        if (r != nullptr && index < static_cast<int>(r->items.size()))
            UserSetNumber(panel, id, r->items[static_cast<std::size_t>(index)].value);
    });
    return box;
}

QWidget* MakeWidget(Control& c, QWidget* canvas) {
    const int panel = c.panel, id = c.id;
    switch (c.kind) {
    case CTRL_COMMAND_BUTTON: {
        auto* b = new QPushButton(canvas);
        QObject::connect(b, &QPushButton::clicked, [panel, id] { UserPress(panel, id); });
        return b;
    }
    case CTRL_TOGGLE_BUTTON: {
        auto* b = new QPushButton(canvas);
        b->setCheckable(true);
        QObject::connect(b, &QPushButton::clicked, [panel, id](bool on) { UserSetNumber(panel, id, on); });
        return b;
    }
    case CTRL_NUMERIC: {
        auto* s = new NumberBox(canvas);
        s->setKeyboardTracking(false);
        QObject::connect(s, &QDoubleSpinBox::valueChanged,
                         [panel, id](double v) { UserSetNumber(panel, id, v); });
        QObject::connect(s, &QAbstractSpinBox::editingFinished, [panel, id] { UserFinishNumber(panel, id); });
        return s;
    }
    case CTRL_NUMERIC_SLIDE: {
        if (!c.IsHot()) return new ProgressBar(canvas);
        auto* s = new QSlider(c.w >= c.h ? Qt::Horizontal : Qt::Vertical, canvas);
        s->setTracking(false);
        QObject::connect(s, &QSlider::valueChanged, [panel, id](int v) {
            const Control* sc = FindControl(panel, id, nullptr);
            if (sc != nullptr) UserSetNumber(panel, id, v / std::pow(10.0, sc->precision));
        });
        // While the user holds the handle the program's values wait (SyncValue): let go where it was taken,
        // or taken from the user (hidden, dimmed), the slide shows the program's last; moved, the place it
        // is let go at is the user's value, whatever the program set meanwhile.
        QObject::connect(s, &QSlider::sliderReleased, [panel, id, s] {
            const Control* sc = FindControl(panel, id, nullptr);
            if (sc == nullptr) return;
            UserLetGo(panel, id,
                      s->sliderPosition() != s->value()
                          ? std::optional(s->sliderPosition() / std::pow(10.0, sc->precision))
                          : std::nullopt);
        });
        return s;
    }
    case CTRL_RING: {
        auto* r = new QComboBox(canvas);
        QObject::connect(r, &QComboBox::activated, [panel, id](int index) {
            const Control* rc = FindControl(panel, id, nullptr);
            if (rc != nullptr && index >= 0 && index < static_cast<int>(rc->items.size()))
                UserSetNumber(panel, id, rc->items[static_cast<std::size_t>(index)].value);
        });
        return r;
    }
    case CTRL_STRING:
    case CTRL_PASSWORD: {
        auto* e = new QLineEdit(canvas);
        QObject::connect(e, &QLineEdit::textEdited,
                         [panel, id](const QString& t) { UserTypeText(panel, id, FromQt(t)); });
        QObject::connect(e, &QLineEdit::returnPressed, [panel, id] { UserFinishEdit(panel, id); });
        return e;
    }
    case CTRL_TEXT_BOX: {
        auto* e = new QPlainTextEdit(canvas);
        QObject::connect(e, &QPlainTextEdit::textChanged,
                         [panel, id, e] { UserTypeText(panel, id, FromQt(e->toPlainText())); });
        return e;
    }
    case CTRL_TEXT_MSG:
        return new QLabel(canvas);
    case CTRL_LED:
        return new LedWidget(canvas);
    case CTRL_PICTURE: {
        auto* l = new QLabel(canvas);
        l->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        l->setAlignment(Qt::AlignCenter);
        return l;
    }
    case CTRL_TIMER:
        return nullptr;
    case CTRL_TAB: {
        auto* t = new QTabBar(canvas);
        t->setExpanding(false);
        t->setUsesScrollButtons(true);
        QObject::connect(t, &QTabBar::currentChanged,
                         [panel, id](int index) { UserSelectTab(panel, id, index); });
        return t;
    }
    case CTRL_TABLE:
        return MakeTable(c, canvas);
    case CTRL_RADIO_GROUP:
        return MakeRadio(c, canvas);
    case CTRL_DECORATION:
        return new QGroupBox(canvas);
    case CTRL_GRAPH:
        return MakeGraphWidget(c, canvas);
    case CTRL_GRAPH_3D:
        return MakeSurfaceHolder(c, canvas);
    }
    return nullptr;
}

// Marks a widget and its parts as belonging to the control, for the input routing.
void Tag(QWidget* w, const Control& c) {
    w->setProperty("uiPanel", c.panel);
    w->setProperty("uiControl", c.id);
}

} // namespace

QLabel* CaptionLabel(Control& c) {
    // Most controls never have a caption: their label is made only once there is one to show.
    if (!c.label && !c.caption.empty() && c.widget && c.kind != CTRL_TEXT_MSG &&
        c.kind != CTRL_COMMAND_BUTTON && !(c.kind == CTRL_TOGGLE_BUTTON && c.states.empty()) &&
        c.kind != CTRL_PICTURE && c.kind != CTRL_DECORATION && c.kind != CTRL_TAB) {
        c.label = new QLabel(c.widget->parentWidget());
        Tag(c.label, c);
    }
    return c.label;
}

void CreateWidget(Panel& p, Control& c) {
    if (c.kind == CTRL_TIMER) {
        c.timer = new QTimer(p.canvas);
        const int panel = c.panel, id = c.id;
        QObject::connect(c.timer, &QTimer::timeout, [panel, id] { TimerTick(panel, id); });
        return;
    }
    delete c.widget; // a control whose look changes kind (a slide turned indicator) is made again
    c.widget = MakeWidget(c, p.canvas);
    Tag(c.widget, c);
    if (c.kind == CTRL_DECORATION) c.widget->lower();
    SyncItems(c);
    SyncLook(c); // shows the widget unless the control is hidden
    SyncValue(c);
}

} // namespace ui
