// Control values kept in the layer's records.
#include "platform/ui/layer.h"
#include "platform/ui/uitest.h"
#include "tests/platform/ui/fixture.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QImage>
#include <QLocale>

namespace {

template <typename W> W* WidgetOf(int panel, int control) {
    return qobject_cast<W*>(ui::FindControl(panel, control, nullptr)->widget.data());
}

TEST_F(UiTest, NumericKeepsTheExactDoubleAndShowsItRounded) {
    ASSERT_EQ(SetCtrlVal(main, MAINP::NUMval, 12.3456789), 0);
    double v = 0;
    ASSERT_EQ(GetCtrlVal(main, MAINP::NUMval, &v), 0);
    EXPECT_EQ(v, 12.3456789);
    EXPECT_EQ(WidgetOf<QDoubleSpinBox>(main, MAINP::NUMval)->text(), "12.35");
    // A value outside the range is kept, not clipped; the user's entry is clamped.
    ASSERT_EQ(SetCtrlVal(main, MAINP::NUMval, 250.5), 0);
    GetCtrlVal(main, MAINP::NUMval, &v);
    EXPECT_EQ(v, 250.5);
    EXPECT_EQ(uitest::SetValueAsUser(main, MAINP::NUMval, 120.0), 0);
    GetCtrlVal(main, MAINP::NUMval, &v);
    EXPECT_EQ(v, 100.0);
    EXPECT_EQ(Of(MAINP::NUMval, EVENT_COMMIT).size(), 1u);
}

// A number typed into a box and left without Enter (the user goes on to another control) is read as Enter
// reads it: "999" in a box of 0 .. 100 is held to 100, with every key typed kept until then.
TEST_F(UiTest, NumericEntryLeftWithoutEnterIsHeldToTheRange) {
    auto* box = WidgetOf<QDoubleSpinBox>(main, MAINP::NUMval);
    ASSERT_EQ(uitest::FocusWindow(main), 0);
    ASSERT_EQ(SetActiveCtrl(main, MAINP::NUMval), 0);
    box->selectAll();
    for (const int key : {'9', '9', '9'})
        ASSERT_EQ(uitest::TypeKey(key), 0);
    EXPECT_EQ(box->text(), "999");
    EXPECT_TRUE(Of(MAINP::NUMval, EVENT_COMMIT).empty()) << "not before the box is left";
    ASSERT_EQ(SetActiveCtrl(main, MAINP::STRname), 0);
    double v = 0;
    GetCtrlVal(main, MAINP::NUMval, &v);
    EXPECT_EQ(v, 100);
    EXPECT_EQ(box->text(), "100.00");
    EXPECT_EQ(Of(MAINP::NUMval, EVENT_COMMIT).size(), 1u);
}

// A value the program puts beyond a box's range (data that break its limits) shows as it is, and stays as
// long as the user types nothing over it: Enter and leaving the box with Tab change nothing. A number typed
// over it, on either side, is held to the box's own range, not to the value shown.
TEST_F(UiTest, NumericShowsAValueBeyondItsRangeUntilTheUserTypesOverIt) {
    auto* box = WidgetOf<QDoubleSpinBox>(main, MAINP::NUMval);
    ASSERT_EQ(uitest::FocusWindow(main), 0);
    struct Case {
        double shown;
        const char* typed;
        double held;
    };
    const Case cases[] = {{250, "999", 100}, {250, "150", 100}, {-20, "-818", 0}, {-20, "-5", 0}};
    const auto leave = [] { ASSERT_EQ(uitest::TypeKey(VAL_TAB_VKEY), 0); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ASSERT_EQ(SetCtrlVal(main, MAINP::NUMval, c.shown), 0);
        EXPECT_EQ(box->text(), QString::number(c.shown, 'f', 2));
        events.clear();
        ASSERT_EQ(SetActiveCtrl(main, MAINP::NUMval), 0);
        ASSERT_EQ(uitest::TypeKey(VAL_ENTER_VKEY), 0);
        leave();
        double v = 0;
        GetCtrlVal(main, MAINP::NUMval, &v);
        EXPECT_EQ(v, c.shown) << "not typed over";
        EXPECT_EQ(box->text(), QString::number(c.shown, 'f', 2));
        EXPECT_TRUE(Of(MAINP::NUMval, EVENT_COMMIT).empty());

        ASSERT_EQ(SetActiveCtrl(main, MAINP::NUMval), 0);
        box->selectAll();
        for (const char* k = c.typed; *k != '\0'; ++k)
            ASSERT_EQ(uitest::TypeKey(*k), 0);
        leave();
        GetCtrlVal(main, MAINP::NUMval, &v);
        EXPECT_EQ(v, c.held);
        EXPECT_EQ(box->text(), QString::number(c.held, 'f', 2));
        EXPECT_EQ(Of(MAINP::NUMval, EVENT_COMMIT).size(), 1u);
    }
}

// Numbers show with a decimal point whatever the user's locale: a panel loaded under a comma locale too.
TEST_F(UiTest, NumericShowsAPointUnderACommaLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const int panel = LoadPanel(0, "sample.uir", MAINP::id);
    QLocale::setDefault(before);
    ASSERT_GT(panel, 0) << GetLastLoadError();
    ASSERT_EQ(SetCtrlVal(panel, MAINP::NUMval, 12.3456789), 0);
    EXPECT_EQ(WidgetOf<QDoubleSpinBox>(panel, MAINP::NUMval)->text(), "12.35");
    DiscardPanel(panel);
}

TEST_F(UiTest, IntegerReadsRoundAndRefuseWhatDoesNotFit) {
    SetCtrlVal(main, MAINP::NUMval, 2.5);
    int i = 0;
    ASSERT_EQ(GetCtrlVal(main, MAINP::NUMval, &i), 0);
    EXPECT_EQ(i, 3);
    SetCtrlVal(main, MAINP::NUMval, 300.0);
    unsigned char byte = 7;
    EXPECT_EQ(GetCtrlVal(main, MAINP::NUMval, &byte), UIE_BadValue);
    EXPECT_EQ(byte, 7);
    SetCtrlVal(main, MAINP::NUMval, -1.0);
    unsigned u = 9;
    EXPECT_EQ(GetCtrlVal(main, MAINP::NUMval, &u), UIE_BadValue);
    EXPECT_EQ(u, 9u);
}

TEST_F(UiTest, RingKeepsAValueNoneOfItsItemsCarries) {
    ASSERT_EQ(SetCtrlVal(main, MAINP::RINGsel, 7), 0);
    short v = 0;
    ASSERT_EQ(GetCtrlVal(main, MAINP::RINGsel, &v), 0);
    EXPECT_EQ(v, 7);
    int index = 0;
    ASSERT_EQ(GetCtrlIndex(main, MAINP::RINGsel, &index), 0);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(WidgetOf<QComboBox>(main, MAINP::RINGsel)->currentIndex(), -1); // shown blank
    // Items changed under the value leave it alone.
    ASSERT_EQ(InsertListItem(main, MAINP::RINGsel, -1, "Seven", 7), 0);
    GetCtrlIndex(main, MAINP::RINGsel, &index);
    EXPECT_EQ(index, 3);
    char label[8];
    ASSERT_EQ(GetLabelFromIndex(main, MAINP::RINGsel, 3, label), 0);
    EXPECT_STREQ(label, "Seven");
    EXPECT_EQ(GetValueFromIndex(main, MAINP::RINGsel, 4, &v), UIE_BadIndex);
}

TEST_F(UiTest, TextsRoundTripAsBytesAndAreCutToFit) {
    const char latin1[] = "25\xB0"
                          "C";
    ASSERT_EQ(SetCtrlVal(main, MAINP::STRname, latin1), 0);
    char out[16];
    ASSERT_EQ(GetCtrlVal(main, MAINP::STRname, out), 0);
    EXPECT_STREQ(out, latin1);
    char small[3];
    ASSERT_EQ(GetCtrlVal(main, MAINP::STRname, small), 0);
    EXPECT_STREQ(small, "25");
    EXPECT_EQ(ui::FromQt(QString::fromUtf8("25°C")), latin1);       // typed text comes back as Latin-1
    EXPECT_EQ(SetCtrlVal(main, MAINP::STRname, 3.0), UIE_BadValue); // wrong type
    EXPECT_EQ(GetCtrlVal(main, 99, out), UIE_BadControl);
    EXPECT_EQ(GetCtrlVal(9999, MAINP::STRname, out), UIE_BadPanel);
}

TEST_F(UiTest, AttributesAreCheckedAgainstTheKind) {
    EXPECT_EQ(SetCtrlAttribute(main, MAINP::NUMval, ATTR_PRECISION, 3), 0);
    int prec = 0;
    GetCtrlAttribute(main, MAINP::NUMval, ATTR_PRECISION, &prec);
    EXPECT_EQ(prec, 3);
    EXPECT_EQ(SetCtrlAttribute(main, MAINP::CBgo, ATTR_PRECISION, 3), UIE_BadAttribute);
    EXPECT_EQ(SetCtrlAttribute(main, MAINP::CBgo, ATTR_LABEL_TEXT, "Run"), 0);
    char caption[8];
    GetCtrlAttribute(main, MAINP::CBgo, ATTR_LABEL_TEXT, caption);
    EXPECT_STREQ(caption, "Run");
    int kind = 0;
    GetCtrlAttribute(main, MAINP::TABgrid, ATTR_CTRL_TYPE, &kind);
    EXPECT_EQ(kind, CTRL_TABLE);
    EXPECT_EQ(SetCtrlAttribute(main, MAINP::TIMtick, ATTR_INTERVAL, 0.0), UIE_BadValue);
}

TEST_F(UiTest, ToggleFlipsBeforeItsCommit) {
    int seen = -1;
    reaction = [&](const EventRecord& e) {
        if (e.control == MAINP::TBon && e.event == EVENT_COMMIT) GetCtrlVal(main, MAINP::TBon, &seen);
        return 0;
    };
    ASSERT_EQ(uitest::Click(main, MAINP::TBon), 0);
    EXPECT_EQ(seen, 1);
    ASSERT_EQ(uitest::Click(main, MAINP::TBon), 0);
    EXPECT_EQ(seen, 0);
}

TEST_F(UiTest, DimmedHiddenAndIndicatorControlsTakeNoClicks) {
    EXPECT_EQ(uitest::Click(main, MAINP::CBdim), uitest::kUnreachable);
    SetCtrlAttribute(main, MAINP::CBgo, ATTR_VISIBLE, 0);
    EXPECT_EQ(uitest::Click(main, MAINP::CBgo), uitest::kUnreachable);
    SetCtrlAttribute(main, MAINP::TBon, ATTR_CTRL_MODE, VAL_INDICATOR);
    EXPECT_EQ(uitest::Click(main, MAINP::TBon), uitest::kUnreachable);
    EXPECT_TRUE(events.empty());
}

// What a control shows, as the screen would.
QImage LookOf(int panel, int control) {
    QWidget* w = ui::FindControl(panel, control, nullptr)->widget;
    return w->grab().toImage();
}

// An indicator reads as a value shown. A box has its panel's ground instead of the white of an entry box,
// and reports the ground it shows, so that a program that puts back the colour it read keeps the look; a
// colour the program gives it shows as on any box. A toggle shows no face to press.
TEST_F(UiTest, IndicatorsShowNoFieldToTypeIntoNorFaceToPress) {
    const auto groundOf = [this](int control) {
        const QImage look = LookOf(main, control);
        return static_cast<int>(look.pixelColor(4, look.height() / 2).rgb() & 0xFFFFFF);
    };
    const auto reported = [this](int control) {
        int colour = -1;
        GetCtrlAttribute(main, control, ATTR_TEXT_BGCOLOR, &colour);
        return colour;
    };
    const int panelGround = static_cast<int>(ui::FindControl(main, MAINP::NUMval, nullptr)
                                                 ->widget->parentWidget()
                                                 ->palette()
                                                 .window()
                                                 .color()
                                                 .rgb() &
                                             0xFFFFFF);
    ASSERT_NE(panelGround, VAL_WHITE);
    for (const int control : {MAINP::NUMval, MAINP::STRname}) {
        SCOPED_TRACE(control);
        EXPECT_EQ(groundOf(control), VAL_WHITE) << "a box to type into";
        SetCtrlAttribute(main, control, ATTR_CTRL_MODE, VAL_INDICATOR);
        EXPECT_EQ(groundOf(control), panelGround);
        EXPECT_EQ(reported(control), panelGround);
        const QImage indicator = LookOf(main, control);
        SetCtrlAttribute(main, control, ATTR_TEXT_BGCOLOR, VAL_GREEN);
        EXPECT_EQ(groundOf(control), VAL_GREEN);
        SetCtrlAttribute(main, control, ATTR_TEXT_BGCOLOR, panelGround);
        EXPECT_EQ(LookOf(main, control), indicator) << "the ground it reported put back";
    }
    // A toggle as an indicator shows its state, and no face to press while it is off.
    const auto faceless = [&] {
        const QImage look = LookOf(main, MAINP::TBon);
        for (int x = 0; x < look.width(); ++x)
            for (const int y : {1, look.height() - 2})
                if ((look.pixelColor(x, y).rgb() & 0xFFFFFF) != static_cast<unsigned>(panelGround))
                    return false;
        return true;
    };
    EXPECT_FALSE(faceless()) << "a button to press";
    SetCtrlAttribute(main, MAINP::TBon, ATTR_CTRL_MODE, VAL_INDICATOR);
    EXPECT_TRUE(faceless());
    SetCtrlVal(main, MAINP::TBon, 1);
    EXPECT_FALSE(faceless()) << "on, it shows its state";
}

// A colour the program gives a control shows while it is live; dimmed, the control looks as dimmed as any:
// a numeric's text colour, a toggle's on colour.
TEST_F(UiTest, DimmedControlLooksDimmedWhateverItsColour) {
    struct Case {
        const char* what;
        int control;
        double value;
        int attribute, plain, coloured;
    };
    const Case kCases[] = {
        {"numeric", MAINP::NUMval, 88.88, ATTR_TEXT_COLOR, VAL_BLACK, VAL_RED},
        {"toggle, on", MAINP::TBon, 1, ATTR_ON_COLOR, VAL_GREEN, VAL_RED},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        SetCtrlVal(main, c.control, c.value);
        SetCtrlAttribute(main, c.control, ATTR_DIMMED, 1);
        SetCtrlAttribute(main, c.control, c.attribute, c.plain);
        const QImage dimmedPlain = LookOf(main, c.control);
        SetCtrlAttribute(main, c.control, c.attribute, c.coloured);
        EXPECT_EQ(LookOf(main, c.control), dimmedPlain);
        SetCtrlAttribute(main, c.control, ATTR_DIMMED, 0);
        const QImage liveColoured = LookOf(main, c.control);
        SetCtrlAttribute(main, c.control, c.attribute, c.plain);
        EXPECT_NE(LookOf(main, c.control), liveColoured); // live, the colour shows
    }
}

TEST_F(UiTest, ChildPanelScrollsInsideItsParent) {
    const int child = LoadPanel(main, "sample.uir", CHILD::id);
    ASSERT_GT(child, 0);
    DisplayPanel(child);
    int h = 0;
    GetPanelAttribute(child, ATTR_HEIGHT, &h);
    EXPECT_EQ(h, 400); // taller than the 200 pixels left below it
    ASSERT_EQ(SetPanelAttribute(child, ATTR_VSCROLL_OFFSET, 150), 0);
    int offset = 0;
    GetPanelAttribute(child, ATTR_VSCROLL_OFFSET, &offset);
    EXPECT_EQ(offset, 150);
    EXPECT_TRUE(uitest::IsPanelVisible(child));
    HidePanel(main);
    EXPECT_FALSE(uitest::IsPanelVisible(child));
    DisplayPanel(main);
    DiscardPanel(child);
}

} // namespace
