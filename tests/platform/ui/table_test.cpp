// Table cells, ranges and attributes.
#include "platform/ui/layer.h"
#include "platform/ui/tablemodel.h"
#include "platform/ui/uitest.h"
#include "tests/platform/ui/fixture.h"

#include <QApplication>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QValidator>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

class TableTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        model = ui::FindControl(main, MAINP::TABgrid, nullptr)->model;
        QObject::connect(model, &QAbstractItemModel::dataChanged, [this] { ++repaints; });
    }
    ui::TableModel* model = nullptr;
    int repaints = 0;
};

TEST_F(TableTest, RangeValuesInBothOrdersWithOneRepaintPerCall) {
    std::vector<double> values(21 * 32);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<double>(i) + 0.25;
    ASSERT_EQ(SetTableCellRangeVals(main, MAINP::TABgrid, MakeRect(1, 1, 0, 0), values, VAL_ROW_MAJOR), 0);
    EXPECT_EQ(repaints, 1);
    double v = 0;
    GetTableCellVal(main, MAINP::TABgrid, MakePoint(3, 2), &v); // column 3, row 2
    EXPECT_EQ(v, 32 + 2 + 0.25);
    std::vector<double> column(21);
    ASSERT_EQ(GetTableCellRangeVals(main, MAINP::TABgrid, MakeRect(1, 5, 0, 1), column, VAL_COLUMN_MAJOR), 0);
    EXPECT_EQ(column[1], 32 + 4 + 0.25);
    const std::vector<double> block = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(SetTableCellRangeVals(main, MAINP::TABgrid, MakeRect(2, 2, 2, 3), block, VAL_COLUMN_MAJOR), 0);
    GetTableCellVal(main, MAINP::TABgrid, MakePoint(3, 2), &v); // row 2, second column of the block
    EXPECT_EQ(v, 3);
    EXPECT_EQ(model->index(1, 1).data().toString(), "1.0"); // shown at the table's precision
}

TEST_F(TableTest, BadRangesChangeNothing) {
    const std::vector<double> two = {1, 2};
    EXPECT_EQ(SetTableCellRangeVals(main, MAINP::TABgrid, MakeRect(21, 1, 2, 1), two, VAL_ROW_MAJOR),
              UIE_BadIndex);
    EXPECT_EQ(SetTableCellRangeVals(main, MAINP::TABgrid, MakeRect(1, 1, 1, 3), two, VAL_ROW_MAJOR),
              UIE_BadValue);
    SetTableCellAttribute(main, MAINP::TABgrid, MakePoint(2, 1), ATTR_CELL_TYPE, VAL_CELL_STRING);
    EXPECT_EQ(SetTableCellRangeVals(main, MAINP::TABgrid, MakeRect(1, 1, 1, 2), two, VAL_ROW_MAJOR),
              UIE_BadValue);
    double v = -1;
    GetTableCellVal(main, MAINP::TABgrid, MakePoint(1, 1), &v);
    EXPECT_EQ(v, 0); // the numeric cell before the string one was not written either
    EXPECT_EQ(SetTableCellRangeAttribute(main, MAINP::TABgrid, MakeRect(1, 1, 1, 1), ATTR_CELL_MODE, 9),
              UIE_BadValue);
    EXPECT_EQ(repaints, 1); // only the type change
}

TEST_F(TableTest, PerCellAttributesReachTheView) {
    ASSERT_EQ(
        SetTableCellRangeAttribute(main, MAINP::TABgrid, MakeRect(1, 1, 0, 0), ATTR_TEXT_COLOR, VAL_RED), 0);
    ASSERT_EQ(SetTableCellRangeAttribute(main, MAINP::TABgrid, MakeRect(2, 1, 1, 0), ATTR_TEXT_BOLD, 1), 0);
    ASSERT_EQ(SetTableCellAttribute(main, MAINP::TABgrid, MakePoint(4, 3), ATTR_CELL_DIMMED, 1), 0);
    EXPECT_EQ(repaints, 3);
    int color = 0, bold = 0;
    GetTableCellAttribute(main, MAINP::TABgrid, MakePoint(32, 21), ATTR_TEXT_COLOR, &color);
    GetTableCellAttribute(main, MAINP::TABgrid, MakePoint(7, 2), ATTR_TEXT_BOLD, &bold);
    EXPECT_EQ(color, VAL_RED);
    EXPECT_EQ(bold, 1);
    EXPECT_EQ(model->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    EXPECT_TRUE(model->index(1, 6).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(model->flags(model->index(2, 3)) & Qt::ItemIsEditable); // dimmed
    // A dimmed cell's ground is greyed like its text, so that an empty one looks dimmed as well.
    const auto ground = [this](int row, int col) {
        return model->index(row, col).data(Qt::BackgroundRole).value<QColor>();
    };
    EXPECT_NE(ground(2, 3), ground(2, 4));
    ASSERT_EQ(SetCtrlAttribute(main, MAINP::TABgrid, ATTR_DIMMED, 1), 0);
    EXPECT_EQ(ground(2, 4), ground(2, 3)) << "a dimmed table greys every cell";
    SetCtrlAttribute(main, MAINP::TABgrid, ATTR_DIMMED, 0);
    EXPECT_EQ(uitest::EditTableCell(main, MAINP::TABgrid, MakePoint(4, 3), "5"), uitest::kUnreachable);
}

// Numbers far outside int's range: the range takes them as they are, the integer attributes refuse them.
TEST_F(TableTest, HugeAttributeValuesAreTakenOrRefusedNeverConverted) {
    const Point cell = MakePoint(1, 1);
    struct Case {
        int attribute;
        double value;
        int status;
    };
    const Case cases[] = {
        {ATTR_MAX_VALUE, 1e12, 0},
        {ATTR_MIN_VALUE, -1e300, 0},
        {ATTR_TEXT_COLOR, 1e12, UIE_BadValue},
        {ATTR_TEXT_BGCOLOR, -1e12, UIE_BadValue},
        {ATTR_CELL_MODE, 1e12, UIE_BadValue},
        {ATTR_CELL_TYPE, -1e12, UIE_BadValue},
        {ATTR_PRECISION, 1e12, UIE_BadValue},
        {ATTR_TEXT_COLOR, 0.5, UIE_BadValue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.attribute << " = " << c.value);
        EXPECT_EQ(SetTableCellAttribute(main, MAINP::TABgrid, cell, c.attribute, c.value), c.status);
    }
    double max = 0;
    GetTableCellAttribute(main, MAINP::TABgrid, cell, ATTR_MAX_VALUE, &max);
    EXPECT_EQ(max, 1e12);
}

// What the editor of a cell lets the user type: a numeric cell anything on the way to a number and
// nothing else; a text cell anything.
TEST_F(TableTest, NumericCellEditorRefusesLetters) {
    SetTableCellAttribute(main, MAINP::TABgrid, MakePoint(2, 1), ATTR_CELL_TYPE, VAL_CELL_STRING);
    auto* view = static_cast<QTableView*>(ui::FindControl(main, MAINP::TABgrid, nullptr)->widget.data());
    const auto editorOf = [&](int column) {
        QStyleOptionViewItem option;
        QWidget* editor =
            view->itemDelegate()->createEditor(view->viewport(), option, model->index(0, column));
        return std::unique_ptr<QLineEdit>(qobject_cast<QLineEdit*>(editor));
    };
    const auto numeric = editorOf(0);
    ASSERT_NE(numeric, nullptr);
    ASSERT_NE(numeric->validator(), nullptr);
    struct Case {
        const char* typed;
        bool accepted;
    };
    const Case cases[] = {{"12.5", true}, {"-0.25", true}, {"1e3", true},    {"-", true},
                          {"12a", false}, {"abc", false},  {"1.2.3", false}, {"1 2", false}};
    for (const Case& c : cases) {
        QString text = c.typed;
        int pos = 0;
        EXPECT_EQ(numeric->validator()->validate(text, pos) != QValidator::Invalid, c.accepted) << c.typed;
    }
    const auto text = editorOf(1);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->validator(), nullptr);
}

// A number typed into a numeric box and into a numeric cell, each through its own editor key by key and
// Enter, means the same: a point before the decimals, an exponent, a number beyond the range held to the
// range (never cut to the keys that would fit), and a group separator refuses the whole entry (the old
// value stays) instead of being dropped. Both show what they hold. The same from a value the program put
// beyond the range on either side: the number typed is held to the range all the same.
TEST_F(TableTest, TypedNumbersReadTheSameInBoxesAndCells) {
    auto* view = static_cast<QTableView*>(ui::FindControl(main, MAINP::TABgrid, nullptr)->widget.data());
    auto* box = static_cast<QDoubleSpinBox*>(ui::FindControl(main, MAINP::NUMval, nullptr)->widget.data());
    const Point cell = MakePoint(3, 4);
    const auto typeIntoCell = [&](const char* text) {
        ASSERT_EQ(uitest::OpenTableCellEditor(main, MAINP::TABgrid, cell), 0);
        QWidget* editor = view->indexWidget(model->index(cell.y - 1, cell.x - 1));
        ASSERT_NE(editor, nullptr);
        for (const QChar ch : QString(text)) {
            QKeyEvent key(QEvent::KeyPress, ch.toUpper().unicode(), Qt::NoModifier, QString(ch));
            QApplication::sendEvent(editor, &key);
        }
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(editor, &enter);
        uitest::CloseTableCellEditor(main, MAINP::TABgrid);
    };
    struct Case {
        const char* typed;
        double value; // kOld: refused, the value before stays
    };
    constexpr double kOld = 1e300;
    const Case cases[] = {
        {"3,5", kOld}, {"1,000", kOld}, {"1,000.5", kOld}, {",5", kOld}, {"3.5", 3.5}, {"+7.25", 7.25},
        {"0.5", 0.5},  {"12", 12},      {"999", 100},      {"150", 100}, {"-5", 0},    {"-818", 0},
        {"1e1", 10},   {"2.5E1", 25},   {"1e-1", 0.1},     {"1e5", 100}, {"-", kOld},  {"1e", kOld},
    };
    // The box's range, 0 .. 100, for the cell too.
    SetTableCellAttribute(main, MAINP::TABgrid, cell, ATTR_MIN_VALUE, 0.0);
    SetTableCellAttribute(main, MAINP::TABgrid, cell, ATTR_MAX_VALUE, 100.0);
    const auto shown = [](double v, int decimals) { return QString::number(v, 'f', decimals).toStdString(); };
    for (const double before : {42.0, 250.0, -20.0})
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.typed << " over " << before);
            const double value = c.value == kOld ? before : c.value;
            SetCtrlVal(main, MAINP::NUMval, before);
            SetTableCellVal(main, MAINP::TABgrid, cell, before);
            events.clear();
            ASSERT_EQ(uitest::SetValueAsUser(main, MAINP::NUMval, c.typed), 0);
            typeIntoCell(c.typed);
            double typedBox = 0, typedCell = 0;
            GetCtrlVal(main, MAINP::NUMval, &typedBox);
            GetTableCellVal(main, MAINP::TABgrid, cell, &typedCell);
            EXPECT_EQ(typedBox, value);
            EXPECT_EQ(typedCell, value);
            EXPECT_EQ(box->text().toStdString(), shown(value, 2));
            EXPECT_EQ(model->index(cell.y - 1, cell.x - 1).data().toString().toStdString(), shown(value, 1));
            const std::size_t commits = c.value == kOld ? 0 : 1;
            EXPECT_EQ(Of(MAINP::NUMval, EVENT_COMMIT).size(), commits);
            EXPECT_EQ(Of(MAINP::TABgrid, EVENT_COMMIT).size(), commits);
            EXPECT_EQ(uitest::EditTableCell(main, MAINP::TABgrid, cell, c.typed) == 0, c.value != kOld)
                << "the test driver's edit reads as the editor does";
        }
}

TEST_F(TableTest, UserEditAndActiveCellReachTheCallback) {
    ASSERT_EQ(uitest::EditTableCell(main, MAINP::TABgrid, MakePoint(2, 5), " 12.5 "), 0);
    double v = 0;
    GetTableCellVal(main, MAINP::TABgrid, MakePoint(2, 5), &v);
    EXPECT_EQ(v, 12.5);
    EXPECT_EQ(Of(MAINP::TABgrid, EVENT_COMMIT),
              (std::vector<EventRecord>{{main, MAINP::TABgrid, EVENT_COMMIT, 5, 2}}));
    EXPECT_EQ(uitest::EditTableCell(main, MAINP::TABgrid, MakePoint(2, 5), "abc"), UIE_BadValue);
    ASSERT_EQ(uitest::SelectTableCell(main, MAINP::TABgrid, MakePoint(6, 4)), 0);
    EXPECT_EQ(Of(MAINP::TABgrid, EVENT_ACTIVE_CELL_CHANGE).size(), 1u);
    Point active{};
    GetActiveTableCell(main, MAINP::TABgrid, &active);
    EXPECT_EQ(active, MakePoint(6, 4));
    // A point on a cell maps back to that cell; a point beside the table to none.
    Point pixel{}, cell{};
    ASSERT_EQ(uitest::GetTableCellPoint(main, MAINP::TABgrid, MakePoint(2, 3), &pixel), 0);
    GetTableCellFromPoint(main, MAINP::TABgrid, pixel, &cell);
    EXPECT_EQ(cell, MakePoint(2, 3));
    GetTableCellFromPoint(main, MAINP::TABgrid, MakePoint(5, 5), &cell);
    EXPECT_EQ(cell, MakePoint(0, 0));
}

// The program moves the active cell (a cursor of another window went elsewhere): the cell the user sees
// selected is the one the keys change, unless the user selected a block.
TEST_F(TableTest, ProgramMovingTheActiveCellTakesASingleSelectedCellAlong) {
    auto* view = static_cast<QTableView*>(ui::FindControl(main, MAINP::TABgrid, nullptr)->widget.data());
    struct Case {
        const char* what;
        Rect before;    // the selection before the move (the user clicked (3, 4) first)
        Rect selection; // the selection after the active cell went to (7, 9)
        Rect shown;     // what the view shows selected then
    };
    const Case cases[] = {
        {"the clicked cell", MakeRect(4, 3, 1, 1), MakeRect(9, 7, 1, 1), MakeRect(9, 7, 1, 1)},
        {"a block", MakeRect(2, 2, 4, 5), MakeRect(2, 2, 4, 5), MakeRect(2, 2, 4, 5)},
        {"nothing", Rect{}, Rect{}, MakeRect(9, 7, 1, 1)},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(uitest::SelectTableCell(main, MAINP::TABgrid, MakePoint(3, 4)), 0);
        ASSERT_EQ(SetTableSelection(main, MAINP::TABgrid, c.before), 0);
        ASSERT_EQ(SetActiveTableCell(main, MAINP::TABgrid, MakePoint(7, 9)), 0);
        Rect selection{};
        GetTableSelection(main, MAINP::TABgrid, &selection);
        EXPECT_EQ(selection, c.selection) << c.what;
        const QModelIndexList shown = view->selectionModel()->selectedIndexes();
        ASSERT_FALSE(shown.isEmpty()) << c.what;
        const auto [top, bottom] = std::minmax_element(shown.begin(), shown.end(), [](auto& a, auto& b) {
            return std::pair(a.row(), a.column()) < std::pair(b.row(), b.column());
        });
        EXPECT_EQ(MakeRect(top->row() + 1, top->column() + 1, bottom->row() - top->row() + 1,
                           bottom->column() - top->column() + 1),
                  c.shown)
            << c.what;
        EXPECT_EQ(shown.size(), c.shown.height * c.shown.width) << c.what;
        EXPECT_EQ(view->currentIndex(), model->index(8, 6)) << c.what;
    }
}

// A double click the program takes for itself (it marks or learns the cell) opens no editor; one it
// leaves opens the cell as the user asked.
TEST_F(TableTest, DoubleClickOpensTheCellOnlyWhenTheProgramLeavesIt) {
    struct Case {
        const char* what;
        int answer; // what the callback answers the double click with
        int state;  // the table's run state after it
    };
    const Case cases[] = {
        {"consumed", 1, VAL_SELECT_STATE},
        {"left to the table", 0, VAL_EDIT_STATE},
    };
    for (const Case& c : cases) {
        reaction = [&c](const EventRecord& e) { return e.event == EVENT_LEFT_DOUBLE_CLICK ? c.answer : 0; };
        events.clear();
        ASSERT_EQ(uitest::DoubleClickTableCell(main, MAINP::TABgrid, MakePoint(4, 6)), 0) << c.what;
        EXPECT_EQ(Of(MAINP::TABgrid, EVENT_LEFT_DOUBLE_CLICK).size(), 1u) << c.what;
        int state = -1;
        GetCtrlAttribute(main, MAINP::TABgrid, ATTR_TABLE_RUN_STATE, &state);
        EXPECT_EQ(state, c.state) << c.what;
        uitest::CloseTableCellEditor(main, MAINP::TABgrid);
    }
}

// A table whose cells the resource gives the indicator mode takes no typed text, by a key or a double
// click, while it still hears its keys and clicks and its cells are still selected; a table of hot cells
// opens the cell the user types into.
TEST_F(TableTest, IndicatorCellsOfTheResourceTakeNoTypedText) {
    RegisterResource("cells.uir",
                     "panel CELLS 1 \"Cells\" MainPanelCb 300x200\n"
                     " 2 TABshown table \"\" OnCtrl 10,10,280,150 rows=3 cols=3 cellmode=indicator\n");
    const int shown = LoadPanel(0, "cells.uir", 1);
    ASSERT_GT(shown, 0) << GetLastLoadError();
    struct Case {
        const char* what;
        int panel, table;
        int state; // the table's run state after the key or the double click
    };
    const Case cases[] = {
        {"hot cells", main, MAINP::TABgrid, VAL_EDIT_STATE},
        {"indicator cells", shown, 2, VAL_SELECT_STATE},
    };
    const Point cell = MakePoint(2, 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(DisplayPanel(c.panel), 0); // the window on top, where the mouse clicks
        SetTableCellVal(c.panel, c.table, cell, 2.0);
        ASSERT_EQ(uitest::SelectTableCell(c.panel, c.table, cell), 0);
        events.clear();
        ASSERT_EQ(uitest::PressKey(c.panel, c.table, '7'), 0);
        int state = -1;
        GetCtrlAttribute(c.panel, c.table, ATTR_TABLE_RUN_STATE, &state);
        EXPECT_EQ(state, c.state) << "a key typed";
        uitest::CloseTableCellEditor(c.panel, c.table);
        ASSERT_EQ(uitest::DoubleClickTableCell(c.panel, c.table, cell), 0);
        GetCtrlAttribute(c.panel, c.table, ATTR_TABLE_RUN_STATE, &state);
        EXPECT_EQ(state, c.state) << "a double click";
        uitest::CloseTableCellEditor(c.panel, c.table);
        EXPECT_EQ(Of(c.table, EVENT_KEYPRESS).size(), 1u) << "the table hears its keys";
        EXPECT_EQ(Of(c.table, EVENT_LEFT_DOUBLE_CLICK).size(), 1u) << "and its clicks";
        double v = 0;
        GetTableCellVal(c.panel, c.table, cell, &v);
        EXPECT_EQ(v, 2.0);
    }
    Rect selected{};
    GetTableSelection(shown, 2, &selected);
    EXPECT_EQ(selected, (Rect{3, 2, 1, 1})) << "an indicator cell is selected like any other";
    EXPECT_EQ(uitest::EditTableCell(shown, 2, cell, "7"), uitest::kUnreachable);
    DiscardPanel(shown);
}

TEST_F(TableTest, RowsInsertedAndDeletedKeepTheirCells) {
    SetTableCellVal(main, MAINP::TABgrid, MakePoint(1, 2), 7.0);
    ASSERT_EQ(InsertTableRows(main, MAINP::TABgrid, 1, 2, VAL_CELL_STRING), 0);
    double v = 0;
    GetTableCellVal(main, MAINP::TABgrid, MakePoint(1, 4), &v);
    EXPECT_EQ(v, 7.0);
    EXPECT_EQ(SetTableCellVal(main, MAINP::TABgrid, MakePoint(1, 1), "label"), 0);
    ASSERT_EQ(DeleteTableRows(main, MAINP::TABgrid, 1, 3), 0);
    GetTableCellVal(main, MAINP::TABgrid, MakePoint(1, 1), &v);
    EXPECT_EQ(v, 7.0);
    int rows = 0;
    GetNumTableRows(main, MAINP::TABgrid, &rows);
    EXPECT_EQ(rows, 20);
    ASSERT_EQ(SetTableSelection(main, MAINP::TABgrid, MakeRect(2, 3, 0, 2)), 0);
    Rect sel{};
    GetTableSelection(main, MAINP::TABgrid, &sel);
    EXPECT_EQ(sel, MakeRect(2, 3, 19, 2));
}

} // namespace

TEST_F(TableTest, HorizontalScrollIsHeldWithinTheView) {
    int offset = -1;
    ASSERT_EQ(SetCtrlAttribute(main, MAINP::TABgrid, ATTR_HSCROLL_OFFSET, 100000), 0);
    GetCtrlAttribute(main, MAINP::TABgrid, ATTR_HSCROLL_OFFSET, &offset);
    EXPECT_GT(offset, 0);
    EXPECT_LT(offset, 100000) << "no further than the last column";
    ASSERT_EQ(SetCtrlAttribute(main, MAINP::TABgrid, ATTR_HSCROLL_OFFSET, -5), 0);
    GetCtrlAttribute(main, MAINP::TABgrid, ATTR_HSCROLL_OFFSET, &offset);
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(SetCtrlAttribute(main, MAINP::NUMval, ATTR_HSCROLL_OFFSET, 1), UIE_BadAttribute);
}
