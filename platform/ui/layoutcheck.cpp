// The layout check: boxes against boxes, and the text each box must show against the box.
#include "platform/ui/layoutcheck.h"

#include "platform/ui/layer.h"
#include "platform/ui/tablemodel.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRect>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTableView>

#include <algorithm>
#include <cmath>

namespace uitest {
namespace {

// QLineEdit keeps this much space on either side of its text, and one pixel for the cursor.
constexpr int kLineEditMargins = 2 * 2 + 1;

struct Box {
    const ui::Control* control;
    std::string name;
    QRect rect;
    bool frame;
};

// The widest of the lines of a text, in the font, in fractions of a pixel.
qreal LineWidth(const QFont& font, const QString& text) {
    const QFontMetricsF metrics(font);
    qreal widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

// In whole pixels, as a label or a line edit lays its text out.
int TextWidth(const QFont& font, const QString& text) {
    return qRound(LineWidth(font, text));
}

// As an item view measures a cell's text: one any fraction of a pixel wider than its room is cut ("320…").
int CellTextWidth(const QFont& font, const QString& text) {
    return static_cast<int>(std::ceil(LineWidth(font, text)));
}

// Where a frame draws its title and the room inside its border line, in the panel. The style puts the
// title above the line, which runs around the frame's contents as far out on every side as it does at the
// left; what lies inside the frame stays off the line itself.
struct FrameParts {
    QRect inside, title;
};
FrameParts PartsOf(const ui::Control& c) {
    auto* box = static_cast<QGroupBox*>(c.widget.data());
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.textAlignment = box->alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QStyle* style = box->style();
    const QRect contents =
        style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, box);
    const int inset = contents.x();
    const QRect title = option.text.isEmpty() ? QRect()
                                              : style->subControlRect(QStyle::CC_GroupBox, &option,
                                                                      QStyle::SC_GroupBoxLabel, box);
    const QPoint at(c.x, c.y);
    return {contents.adjusted(1 - inset, 1 - inset, inset - 1, inset - 1).translated(at),
            title.translated(at)};
}

std::vector<Box> BoxesOf(const ui::Panel& p) {
    std::vector<Box> boxes;
    for (const auto& c : p.controls) {
        if (!c->visible || c->kind == CTRL_TIMER || !c->widget) continue;
        if (c->kind == CTRL_DECORATION) {
            // What lies inside a frame stays off its border and its title; the strip beside the title,
            // above the border, is room of the panel's.
            const FrameParts parts = PartsOf(*c);
            boxes.push_back({c.get(), c->name, parts.inside, true});
            if (!parts.title.isEmpty()) boxes.push_back({c.get(), c->name + ":title", parts.title, false});
            continue;
        }
        boxes.push_back({c.get(), c->name, QRect(c->x, c->y, c->w, c->h), false});
        if (c->label && !c->caption.empty()) {
            QRect r = c->label->geometry();
            if (c->kind != CTRL_LED) {
                // A caption's trailing blanks show nothing: its ink counts, and a blank after it that keeps
                // it apart from the next caption, or the control's width where that is more.
                const QFont font = c->label->font();
                const int ink = TextWidth(font, ui::ToQt(c->caption).trimmed());
                r.setWidth(std::max(ink + TextWidth(font, QStringLiteral(" ")), c->w));
            }
            boxes.push_back({c.get(), c->name + ":caption", r, false});
        }
    }
    return boxes;
}

// The widest character a text can hold: a text of n characters is at most as wide as n of it.
QChar WidestCharacter(const QFont& font) {
    const QFontMetricsF metrics(font);
    QChar widest(u' ');
    for (char16_t c = u'!'; c <= u'~'; ++c)
        if (metrics.horizontalAdvance(QChar(c)) > metrics.horizontalAdvance(widest)) widest = QChar(c);
    return widest;
}

// The widest of several texts in one font.
QString Widest(const QFont& font, const std::vector<QString>& texts) {
    QString widest;
    for (const QString& t : texts)
        if (TextWidth(font, t) > TextWidth(font, widest)) widest = t;
    return widest;
}

// The texts a number field can show: both ends of its range, or what it holds when it has no range.
template <typename Format>
std::vector<QString> RangeTexts(double min, double max, double now, Format format) {
    if (std::isfinite(min) && std::isfinite(max)) return {format(min), format(max)};
    return {format(now)};
}

class Checker {
  public:
    explicit Checker(const ui::Panel& p) : panel_(p) {}

    std::vector<std::string> Run() {
        CheckBoxes();
        for (const auto& c : panel_.controls)
            if (c->visible && c->widget) CheckContent(*c);
        return std::move(faults_);
    }

  private:
    void Fault(const std::string& what) { faults_.push_back(what); }

    void FitOrFault(const ui::Control& c, const QFont& font, const QString& text, int room,
                    const std::string& where) {
        const int needed = TextWidth(font, text);
        if (needed > room)
            Fault(c.name + where + ": \"" + ui::FromQt(text) + "\" does not fit (" + std::to_string(needed) +
                  " pixels in " + std::to_string(room) + ")");
    }

    void CheckBoxes() {
        const std::vector<Box> boxes = BoxesOf(panel_);
        const QRect whole(0, 0, panel_.w, panel_.h);
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const Box& a = boxes[i];
            if (!whole.contains(a.rect)) Fault(a.name + " lies outside the panel");
            for (std::size_t j = i + 1; j < boxes.size(); ++j) {
                const Box& b = boxes[j];
                if (a.control == b.control || !a.rect.intersects(b.rect)) continue;
                if (a.frame != b.frame) {
                    const Box& frame = a.frame ? a : b;
                    const Box& inner = a.frame ? b : a;
                    if (!frame.rect.contains(inner.rect))
                        Fault(inner.name + " crosses the border of " + frame.name);
                } else if (!a.frame) {
                    Fault(a.name + " overlaps " + b.name);
                }
            }
        }
    }

    void CheckContent(const ui::Control& c) {
        QWidget* w = c.widget;
        const QFont font = w->font();
        switch (c.kind) {
        case CTRL_NUMERIC: {
            auto* box = static_cast<QDoubleSpinBox*>(w);
            const auto* edit = box->findChild<QLineEdit*>();
            const int room = edit->contentsRect().width() - kLineEditMargins;
            FitOrFault(c, font,
                       Widest(font, RangeTexts(c.min, c.max, c.number,
                                               [box](double v) { return box->textFromValue(v); })),
                       room, "");
            break;
        }
        case CTRL_TEXT_MSG: {
            const QString text = static_cast<QLabel*>(w)->text();
            FitOrFault(c, font, text, c.w, "");
            // What it shows now may be short: laid out for its longest text, it is checked for that too.
            if (c.maxLength > 0)
                FitOrFault(c, font, QString(c.maxLength, WidestCharacter(font)), c.w, " at its longest");
            const int lines = static_cast<int>(text.count(QLatin1Char('\n'))) + 1;
            if (lines * QFontMetrics(font).height() > c.h)
                Fault(c.name + ": its lines do not fit its height");
            break;
        }
        case CTRL_COMMAND_BUTTON:
        case CTRL_TOGGLE_BUTTON: {
            // What the style adds around a button's text when it sizes one (its margin and both frames).
            const QStyle* style = w->style();
            const int room = c.w - style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w) -
                             2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
            std::vector<QString> texts{ui::ToQt(c.caption)};
            if (!c.states.empty()) texts = {ui::ToQt(c.states.front()), ui::ToQt(c.states.back())};
            FitOrFault(c, font, Widest(font, texts), room, "");
            break;
        }
        case CTRL_RING: {
            auto* combo = static_cast<QComboBox*>(w);
            QStyleOptionComboBox option;
            option.initFrom(combo);
            option.editable = false;
            const int room =
                combo->style()
                    ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
                    .width() -
                2;
            std::vector<QString> labels;
            for (const ui::ListItem& item : c.items)
                labels.push_back(ui::ToQt(item.label));
            FitOrFault(c, font, Widest(font, labels), room, "");
            break;
        }
        case CTRL_RADIO_GROUP:
            for (const QRadioButton* b : w->findChildren<QRadioButton*>())
                if (b->sizeHint().width() > b->width())
                    Fault(c.name + ": \"" + ui::FromQt(b->text()) + "\" does not fit");
            break;
        case CTRL_DECORATION:
            if (TextWidth(font, ui::ToQt(c.caption)) + 16 > c.w) Fault(c.name + "'s title does not fit");
            break;
        case CTRL_TABLE:
            CheckTable(c);
            break;
        default:
            break;
        }
    }

    void CheckTable(const ui::Control& c) {
        auto* view = static_cast<QTableView*>(c.widget.data());
        // The view lays out its cells and sets its scroll ranges later, from the event loop; the check
        // reads them as they will be drawn, however busy the loop was.
        view->doItemsLayout();
        const ui::Table& t = *c.table;
        QFont bold = view->font();
        bold.setBold(true);
        // The item view keeps this much space on either side of a cell's text, and the grid takes a pixel.
        const int margins =
            2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1) + 1;
        const int headerMargins = 2 * view->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, view);
        if (t.rowLabels)
            for (int row = 0; row < t.rows; ++row)
                if (!view->isRowHidden(row))
                    FitOrFault(c, view->verticalHeader()->font(),
                               c.model->headerData(row, Qt::Vertical, Qt::DisplayRole).toString(),
                               view->verticalHeader()->width() - headerMargins,
                               " row " + std::to_string(row + 1) + " label");
        std::vector<int> cut; // the columns too narrow for their widest value, and that value
        QString cutText;
        QFont cutFont = view->font();
        for (int col = 0; col < t.cols; ++col) {
            if (view->isColumnHidden(col)) continue;
            const int room = view->columnWidth(col) - margins;
            const std::string where = " column " + std::to_string(col + 1);
            if (t.colLabels)
                FitOrFault(c, view->horizontalHeader()->font(),
                           c.model->headerData(col, Qt::Horizontal, Qt::DisplayRole).toString(),
                           view->columnWidth(col) - headerMargins, where + " label");
            // The column's widest value, by each cell's format and font.
            QString widest;
            QFont widestFont = view->font();
            for (int row = 0; row < t.rows; ++row) {
                if (view->isRowHidden(row)) continue;
                const ui::Cell& cell = t.cells[static_cast<std::size_t>(row * t.cols + col)];
                const QFont& f = cell.bold ? bold : view->font();
                const std::vector<QString> texts =
                    cell.type != VAL_CELL_NUMERIC
                        ? std::vector<QString>{ui::ToQt(cell.text)}
                        : RangeTexts(cell.min, cell.max, cell.number,
                                     [&cell](double v) { return ui::FormatNumber(v, cell.precision); });
                for (const QString& text : texts)
                    if (CellTextWidth(f, text) > CellTextWidth(widestFont, widest)) {
                        widest = text;
                        widestFont = f;
                    }
            }
            if (CellTextWidth(widestFont, widest) > room) {
                cut.push_back(col + 1);
                if (CellTextWidth(widestFont, widest) > CellTextWidth(cutFont, cutText)) {
                    cutText = widest;
                    cutFont = widestFont;
                }
            }
        }
        if (!cut.empty())
            Fault(c.name + ": \"" + ui::FromQt(cutText) + "\" does not fit " + std::to_string(cut.size()) +
                  " column(s), from column " + std::to_string(cut.front()) + " (" +
                  std::to_string(CellTextWidth(cutFont, cutText) + margins) + " pixels wide in " +
                  std::to_string(view->columnWidth(cut.front() - 1)) + ")");
        // A table shows all its columns, but for one the resource lays out to scroll sideways at the
        // design size; grown, it too shows them all. One that stretches with its height is a list, which
        // scrolls through its rows at any size. Any other table shows all its rows.
        const bool designSize = panel_.w == panel_.designW && panel_.h == panel_.designH;
        const uir::Anchor& a = c.anchor;
        if (view->horizontalScrollBar()->maximum() > 0 && !(designSize && c.scrolls))
            Fault(c.name + " hides columns behind a scroll bar");
        if (view->verticalScrollBar()->maximum() > 0 && !(a.top && a.bottom))
            Fault(c.name + " hides rows behind a scroll bar");
    }

    const ui::Panel& panel_;
    std::vector<std::string> faults_;
};

} // namespace

std::vector<LayoutBox> LayoutBoxes(int panel) {
    std::vector<LayoutBox> out;
    if (const ui::Panel* p = ui::FindPanel(panel))
        for (const Box& b : BoxesOf(*p))
            out.push_back({b.name, b.rect.x(), b.rect.y(), b.rect.width(), b.rect.height()});
    return out;
}

std::vector<std::string> UnrangedNumerics(int panel) {
    std::vector<std::string> names;
    if (const ui::Panel* p = ui::FindPanel(panel))
        for (const auto& c : p->controls)
            if (c->kind == CTRL_NUMERIC && c->visible && (!std::isfinite(c->min) || !std::isfinite(c->max)))
                names.push_back(c->name);
    return names;
}

std::vector<std::string> LayoutFaults(int panel) {
    const ui::Panel* p = ui::FindPanel(panel);
    if (p == nullptr) return {"no such panel"};
    return Checker(*p).Run();
}

} // namespace uitest
