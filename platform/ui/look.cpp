// Showing a control's record in its widget: look (geometry, caption, colours, range) and value.
#include "platform/ui/layer.h"
#include "platform/ui/numberbox.h"
#include "platform/ui/tablemodel.h"
#include "platform/ui/widgets.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>
#include <QTableView>
#include <cmath>

namespace ui {
namespace {

// Buttons, frames and tabs take '&' for a shortcut marker; our captions show it as written.
QString Literal(std::string_view text) {
    return ToQt(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}
constexpr double kIntLimit = 1e9; // sliders and progress bars count in int

Qt::Alignment AlignOf(uir::Align a) {
    switch (a) {
    case uir::Align::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case uir::Align::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case uir::Align::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// Indicators look live but take no input.
void SetInert(QWidget* w, bool inert) {
    w->setAttribute(Qt::WA_TransparentForMouseEvents, inert);
    w->setFocusPolicy(inert ? Qt::NoFocus : Qt::StrongFocus);
}

// A toggle with state texts shows the text of its state; any other button its caption.
const std::string& ButtonText(const Control& c) {
    if (c.kind == CTRL_TOGGLE_BUTTON && c.states.size() == 2) return c.states[c.number != 0 ? 1 : 0];
    return c.caption;
}

void PlaceLabel(Control& c) {
    if (CaptionLabel(c) == nullptr) return;
    // Measuring a caption lays its text out: only a new one needs it.
    if (const QString caption = ToQt(c.caption); c.label->text() != caption || c.label->size().isEmpty()) {
        c.label->setText(caption);
        c.label->adjustSize();
    }
    const int lh = c.label->height();
    const int lw = std::max(c.label->width(), c.kind == CTRL_LED ? 0 : c.w);
    if (c.kind == CTRL_LED)
        c.label->setGeometry(c.x + c.w + 4, c.y + (c.h - lh) / 2, lw, lh);
    else
        c.label->setGeometry(c.x, c.y - lh - 1, lw, lh);
    c.label->setVisible(c.visible && !c.caption.empty());
    c.label->setEnabled(!c.dimmed);
}

// A box the user types into (numeric, string, text box): as an indicator it has its panel's ground, so that
// it reads as a value shown rather than a field waiting for the keyboard.
bool OnPanelGround(const Control& c) {
    return !c.IsHot() && c.bgColor == kDefaultColor &&
           (c.kind == CTRL_NUMERIC || c.kind == CTRL_STRING || c.kind == CTRL_PASSWORD ||
            c.kind == CTRL_TEXT_BOX);
}

void ApplyColors(Control& c) {
    QPalette pal = c.widget->parentWidget()->palette();
    if (OnPanelGround(c))
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            pal.setColor(group, QPalette::Base, pal.color(group, QPalette::Window));
    // The text colour holds while the control is live; dimmed, it shows the style's dimmed text.
    if (c.textColor != kDefaultColor)
        for (const auto group : {QPalette::Active, QPalette::Inactive})
            for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
                pal.setColor(group, role, RgbColor(c.textColor));
    if (c.bgColor != kDefaultColor)
        for (const auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
            pal.setColor(role, RgbColor(c.bgColor));
    // A toggle's state colour too: dimmed, it looks like any dimmed button.
    if (c.kind == CTRL_TOGGLE_BUTTON) {
        const int color = c.number != 0 ? c.onColor : c.offColor;
        if (color != kDefaultColor && color != VAL_BLACK)
            for (const auto group : {QPalette::Active, QPalette::Inactive})
                pal.setColor(group, QPalette::Button, RgbColor(color));
    }
    // A palette or font set again, even an equal one, goes to every child of the widget: set only changes.
    if (c.widget->palette() != pal) c.widget->setPalette(pal);
    c.widget->setAutoFillBackground(c.bgColor != kDefaultColor && c.kind == CTRL_TEXT_MSG);
    QFont font = c.widget->parentWidget()->font();
    font.setBold(c.bold);
    if (c.fontSize > 0) font.setPointSize(c.fontSize);
    if (c.widget->font() != font) c.widget->setFont(font);
}

void ShowNumericLook(Control& c) {
    auto* s = static_cast<NumberBox*>(c.widget.data());
    const QSignalBlocker block(s);
    // Each of these lays the box's text out again, even unchanged: only changes are passed on.
    if (const int decimals = c.hex ? 0 : c.precision; s->decimals() != decimals) s->setDecimals(decimals);
    s->SetHex(c.hex);
    if (s->singleStep() != c.inc) s->setSingleStep(c.inc);
    if (s->alignment() != AlignOf(c.align)) s->setAlignment(AlignOf(c.align));
    if (s->isReadOnly() == c.IsHot()) s->setReadOnly(!c.IsHot());
    const auto buttons = c.IsHot() ? QAbstractSpinBox::UpDownArrows : QAbstractSpinBox::NoButtons;
    if (s->buttonSymbols() != buttons) s->setButtonSymbols(buttons);
    s->setFocusPolicy(c.IsHot() ? Qt::StrongFocus : Qt::NoFocus);
}

void ShowTableLook(Control& c) {
    auto* v = static_cast<QTableView*>(c.widget.data());
    const Table& t = *c.table;
    v->setEditTriggers(c.IsHot() ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                       QAbstractItemView::AnyKeyPressed
                                 : QAbstractItemView::NoEditTriggers);
    v->verticalHeader()->setVisible(t.rowLabels);
    if (t.rowLabelWidth > 0) v->verticalHeader()->setFixedWidth(t.rowLabelWidth);
    v->horizontalHeader()->setVisible(t.colLabels);
    for (int i = 0; i < t.cols; ++i) {
        const Line& l = t.colLines[static_cast<std::size_t>(i)];
        v->setColumnHidden(i, !l.visible);
        if (l.size > 0) v->setColumnWidth(i, l.size);
    }
    for (int i = 0; i < t.rows; ++i) {
        const Line& l = t.rowLines[static_cast<std::size_t>(i)];
        v->setRowHidden(i, !l.visible);
        if (l.size > 0) v->setRowHeight(i, l.size);
    }
}

} // namespace

int DefaultGround(const Control& c) {
    if (!OnPanelGround(c) || !c.widget) return VAL_WHITE;
    return static_cast<int>(c.widget->parentWidget()->palette().color(QPalette::Window).rgb() & 0xFFFFFF);
}

void PlaceWidget(Control& c) {
    if (!c.widget) return;
    c.widget->setGeometry(c.x, c.y, c.w, c.h);
    PlaceLabel(c);
}

void SyncLook(Control& c) {
    if (!c.widget) return;
    QWidget* w = c.widget;
    // Placed before it shows: a widget shown without a size of its own first measures its contents.
    PlaceWidget(c);
    w->setVisible(c.visible);
    w->setEnabled(!c.dimmed);
    ApplyColors(c);
    switch (c.kind) {
    case CTRL_COMMAND_BUTTON:
    case CTRL_TOGGLE_BUTTON:
        static_cast<QPushButton*>(w)->setText(Literal(ButtonText(c)));
        // An indicator button shows a state and is no button to press: no raised face (a toggle that is on
        // still shows its sunken face in its on colour).
        static_cast<QPushButton*>(w)->setFlat(!c.IsHot());
        // Not inert: its callback hears the clicks (the input router keeps them from pressing it).
        w->setFocusPolicy(c.IsHot() ? Qt::StrongFocus : Qt::NoFocus);
        break;
    case CTRL_NUMERIC:
        ShowNumericLook(c);
        break;
    case CTRL_NUMERIC_SLIDE:
        if (auto* bar = qobject_cast<QProgressBar*>(w)) {
            bar->setRange(static_cast<int>(std::max(c.min, -kIntLimit)),
                          static_cast<int>(std::min(c.max, kIntLimit)));
            bar->setTextVisible(c.h >= 16);
            // Centred over the bar, in one colour (ProgressBar): beside the fill (the style's default) a
            // narrow bar's fill covers part of it.
            bar->setAlignment(Qt::AlignCenter);
        } else {
            auto* s = static_cast<QSlider*>(w);
            // A handle held while its slide hides or dims is let go: the user cannot move it on.
            if (s->isSliderDown() && (!c.visible || c.dimmed)) s->setSliderDown(false);
            const QSignalBlocker block(s);
            const double scale = std::pow(10.0, c.precision);
            s->setRange(static_cast<int>(std::lround(std::clamp(c.min * scale, -kIntLimit, kIntLimit))),
                        static_cast<int>(std::lround(std::clamp(c.max * scale, -kIntLimit, kIntLimit))));
            s->setSingleStep(std::max(1, static_cast<int>(std::lround(std::min(c.inc * scale, kIntLimit)))));
        }
        break;
    case CTRL_RING:
        SetInert(w, !c.IsHot());
        break;
    case CTRL_RADIO_GROUP:
        for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
            SetInert(b, !c.IsHot());
        break;
    case CTRL_STRING:
    case CTRL_PASSWORD: {
        auto* e = static_cast<QLineEdit*>(w);
        e->setReadOnly(!c.IsHot());
        e->setMaxLength(c.maxLength > 0 ? c.maxLength : 32767);
        e->setEchoMode(c.kind == CTRL_PASSWORD ? QLineEdit::Password : QLineEdit::Normal);
        e->setAlignment(AlignOf(c.align));
        break;
    }
    case CTRL_TEXT_BOX:
        static_cast<QPlainTextEdit*>(w)->setReadOnly(!c.IsHot());
        break;
    case CTRL_TEXT_MSG:
        static_cast<QLabel*>(w)->setAlignment(AlignOf(c.align));
        break;
    case CTRL_PICTURE:
        static_cast<QLabel*>(w)->setText(ToQt(c.caption));
        break;
    case CTRL_DECORATION:
        static_cast<QGroupBox*>(w)->setTitle(Literal(c.caption));
        break;
    case CTRL_TABLE:
        ShowTableLook(c);
        break;
    case CTRL_LED:
    case CTRL_TAB:
    case CTRL_TIMER:
    case CTRL_GRAPH:
        w->update();
        break;
    case CTRL_GRAPH_3D:
        SyncSurfaceLook(c);
        break;
    }
}

void SyncItems(Control& c) {
    if (!c.widget) return;
    if (c.kind == CTRL_RING) {
        auto* r = static_cast<QComboBox*>(c.widget.data());
        const QSignalBlocker block(r);
        r->clear();
        for (const ListItem& i : c.items)
            r->addItem(ToQt(i.label));
    } else if (c.kind == CTRL_RADIO_GROUP) {
        auto* group = c.widget->findChild<QButtonGroup*>();
        for (QAbstractButton* b : group->buttons())
            delete b;
        int index = 0;
        for (const ListItem& i : c.items) {
            auto* b = new QRadioButton(ToQt(i.label), c.widget);
            b->setProperty("uiPanel", c.panel);
            b->setProperty("uiControl", c.id);
            group->addButton(b, index++);
            c.widget->layout()->addWidget(b);
        }
    } else if (c.kind == CTRL_TAB) {
        auto* t = static_cast<QTabBar*>(c.widget.data());
        const QSignalBlocker block(t);
        while (t->count() > 0)
            t->removeTab(0);
        for (const std::string& label : c.tabs)
            t->addTab(Literal(label));
    }
}

void SyncValue(Control& c) {
    if (!c.widget) return;
    QWidget* w = c.widget;
    const QSignalBlocker block(w);
    switch (c.kind) {
    case CTRL_TOGGLE_BUTTON:
        static_cast<QPushButton*>(w)->setChecked(c.number != 0);
        static_cast<QPushButton*>(w)->setText(Literal(ButtonText(c)));
        ApplyColors(c);
        break;
    case CTRL_NUMERIC:
        static_cast<NumberBox*>(w)->Show(c.number, c.min, c.max);
        break;
    case CTRL_NUMERIC_SLIDE:
        if (auto* bar = qobject_cast<QProgressBar*>(w))
            bar->setValue(static_cast<int>(std::lround(std::clamp(c.number, -kIntLimit, kIntLimit))));
        else {
            // a value set by the program is no user's move: the slider's callback must not hear of it
            auto* s = static_cast<QSlider*>(w);
            // The handle stays in the user's hand: the record's value shows once it is let go.
            if (s->isSliderDown()) break;
            const QSignalBlocker block(s);
            s->setValue(static_cast<int>(
                std::lround(std::clamp(c.number * std::pow(10.0, c.precision), -kIntLimit, kIntLimit))));
        }
        break;
    case CTRL_RING:
    case CTRL_RADIO_GROUP: {
        int index = -1;
        for (std::size_t i = 0; i < c.items.size() && index < 0; ++i)
            if (c.items[i].value == c.number) index = static_cast<int>(i);
        if (c.kind == CTRL_RING) {
            static_cast<QComboBox*>(w)->setCurrentIndex(index);
            break;
        }
        auto* group = w->findChild<QButtonGroup*>();
        group->setExclusive(false);
        for (QAbstractButton* b : group->buttons())
            b->setChecked(group->id(b) == index);
        group->setExclusive(true);
        break;
    }
    case CTRL_STRING:
    case CTRL_PASSWORD: {
        auto* e = static_cast<QLineEdit*>(w);
        if (FromQt(e->text()) != c.text) e->setText(ToQt(c.text));
        break;
    }
    case CTRL_TEXT_BOX: {
        auto* e = static_cast<QPlainTextEdit*>(w);
        if (FromQt(e->toPlainText()) != c.text) e->setPlainText(ToQt(c.text));
        break;
    }
    case CTRL_TEXT_MSG:
        static_cast<QLabel*>(w)->setText(ToQt(c.text));
        break;
    case CTRL_LED: {
        const int color = c.number != 0 ? c.onColor : c.offColor;
        static_cast<LedWidget*>(w)->SetColor(color == kDefaultColor ? QColor(0x50, 0x50, 0x50)
                                                                    : RgbColor(color));
        break;
    }
    case CTRL_TAB:
        static_cast<QTabBar*>(w)->setCurrentIndex(static_cast<int>(c.number));
        break;
    default:
        break;
    }
}

} // namespace ui
