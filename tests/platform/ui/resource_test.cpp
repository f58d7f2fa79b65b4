// Resource parsing, load errors and the generated constants.
#include "platform/ui/resource.h"
#include "tests/platform/ui/fixture.h"

#include <array>
#include <string>

namespace {

struct BadResource {
    const char* text;
    const char* error; // expected "file:line: message" start
};

const BadResource kBad[] = {
    {"panel P 1 \"t\" - 10x10\n\n 2 A foo \"\" - 0,0,1,1\n", "bad.uir:3: unknown kind 'foo'"},
    {"panel P 1 \"t\" - 10x10\n 2 A numeric \"\" - 0,0,1,1 colour=1\n", "bad.uir:2: unknown option 'colour'"},
    {"panel P 1 \"t\" - 10x10\n 2 A numeric \"\" - 0,0,1,1 items=\"x=1\"\n",
     "bad.uir:2: option 'items' does not apply to numeric"},
    {"panel P 1 \"t\" - 10x10\n 2 A command \"\" - 0,0,1,1\n 2 B command \"\" - 0,0,1,1\n",
     "bad.uir:3: duplicate control id 2 (first on line 2)"},
    {"panel P 1 \"t\" - 10x10\n 2 A command \"\" - 0,0,1,1\n 3 A command \"\" - 0,0,1,1\n",
     "bad.uir:3: duplicate control A (first on line 2)"},
    {"panel P 1 \"t\" - 10x10\npanel Q 1 \"t\" - 10x10\n",
     "bad.uir:2: duplicate panel id 1 (first on line 1)"},
    {"# comment\n 2 A command \"\" - 0,0,1,1\n", "bad.uir:2: control line before the first panel"},
    {"panel P 1 \"t - 10x10\n", "bad.uir:1: unterminated text"},
    {"panel P 1 \"t\" - 10x10\n 2 T timer \"\" - 0,0,0,0\n", "bad.uir:2: a timer needs interval="},
    {"panel P 1 \"t\" - 10x10\n 2 A numeric \"\" - 0,0,1 \n", "bad.uir:2: bad geometry '0,0,1'"},
    {"panel P 1 \"t\" - 10x10\n 2 A numeric \"\" - 0,0,1,1 min=5 max=1\n", "bad.uir:2: min is above max"},
    {"panel P 1 \"t\" - 10x10\n 2 A toggle \"\" - 0,0,1,1 oncolor=12345\n", "bad.uir:2: bad colour"},
    {"panel P 1 \"t\" - 10x10\n 2 A command \"\" - 0,0,1,1 anchor=left|middle\n",
     "bad.uir:2: bad anchor edge 'middle'"},
    {"panel P 1 \"t\" - 10x10\n 2 A command \"\" - 0,0,1,1 anchor=\n", "bad.uir:2: anchor= needs edges"},
    {"panel P 1 \"t\" - 10x10 resizable=1\n", "bad.uir:1: unknown panel option 'resizable=1'"},
    {"panel P 1 \"t\" - 10x10\n 2 T table \"\" - 0,0,1,1 cellmode=typed\n",
     "bad.uir:2: bad cell mode 'typed'"},
};

TEST(UiResource, ErrorsNameFileAndLine) {
    for (const BadResource& b : kBad) {
        RegisterResource("bad.uir", b.text);
        std::array<char, 200> err{};
        EXPECT_EQ(ValidateResource("bad.uir", err), UIE_Resource) << b.text;
        EXPECT_EQ(std::string(err.data()).rfind(b.error, 0), 0u) << err.data();
    }
}

TEST(UiResource, ParsesOptionsAndQuotedTexts) {
    std::string error;
    const auto res = uir::Parse("x.uir",
                                "panel P 7 \"A \\\"quoted\\\" title\" - 300x200 at=5,6  # trailing comment\n"
                                " 4 R ring \"Port #1\" - 1,2,3,4 items=\"USB=0|COM 1=1|a=b=2\" value=1\n"
                                " 5 M textmsg \"Two\\nlines\" - 1,2,3,4\n",
                                error);
    ASSERT_TRUE(res) << error;
    const uir::PanelDef& p = res->panels.at(0);
    EXPECT_EQ(p.title, "A \"quoted\" title");
    EXPECT_EQ(p.atX, 5);
    const uir::ControlDef& c = p.controls.at(0);
    EXPECT_EQ(c.caption, "Port #1");
    ASSERT_EQ(c.options.items.size(), 3u);
    EXPECT_EQ(c.options.items[1].label, "COM 1");
    EXPECT_EQ(c.options.items[2].label, "a=b"); // the last '=' separates the value
    EXPECT_EQ(c.options.number, 1.0);
    EXPECT_EQ(p.controls.at(1).caption, "Two\nlines");
}

TEST(UiResource, UnknownCallbackFailsTheLoadNamingTheLine) {
    RegisterResource("cb.uir", "panel P 1 \"t\" - 100x100\n 2 A command \"Go\" NoSuchCallback 0,0,10,10\n");
    EXPECT_EQ(LoadPanel(0, "cb.uir", 1), UIE_Resource);
    EXPECT_STREQ(GetLastLoadError(), "cb.uir:2: unknown callback 'NoSuchCallback'");
    EXPECT_EQ(LoadPanel(0, "cb.uir", 2), UIE_Resource); // no such panel
    EXPECT_EQ(LoadPanel(0, "missing-file.uir", 1), UIE_Resource);
}

TEST(UiResource, GeneratedConstantsMatchTheResource) {
    EXPECT_EQ(MAINP::id, 1);
    EXPECT_EQ(MAINP::NUMval, 4);
    EXPECT_EQ(CHILD::NUMc, 2);
    std::string error;
    EXPECT_TRUE(uir::Parse("sample.uir", kSampleUir, error)) << error;
}

TEST_F(UiTest, RegisteringAgainReplacesTheResource) {
    RegisterResource("swap.uir", "panel P 1 \"first\" - 100x100\n");
    const int a = LoadPanel(0, "swap.uir", 1);
    RegisterResource("swap.uir", "panel P 1 \"second\" - 100x100\n");
    const int b = LoadPanel(0, "swap.uir", 1);
    char title[32];
    GetPanelAttribute(b, ATTR_TITLE, title);
    EXPECT_STREQ(title, "second");
    DiscardPanel(a);
    DiscardPanel(b);
}

} // namespace
