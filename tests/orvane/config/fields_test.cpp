// The field engine when page state points a binding outside its image or record: every page operation
// fails as a failing control call does, the page reports it, and the program goes on.
#include "configfixture.h"

#include <array>
#include <cstddef>

namespace {

using namespace CONFIG1;
using enum Raw;

std::size_t shift = 0;
std::size_t Shift() {
    return shift;
}

std::array<std::byte, 4> smallRecord{};
std::span<std::byte> SmallRecord() {
    return smallRecord;
}

constexpr std::size_t kImage = sizeof(EcuParData);

struct Case {
    const char* what;
    const int* panel;
    FieldBinding binding;       // at offset 0 of its image or record, moved by the shift
    std::size_t outside;        // a shift that puts it (partly) outside
    bool shownOutside = true;   // scatter reads a field outside (a toggle shows its first copy)
    bool defaultOutside = true; // init writes one (texts have no default)
};
const Case kCases[] = {
    {"number past the end", &hCg1Panel, Num(NUMcaletSmot, 0, I16, 10, -720, 720, 0).Shifted(Shift), kImage},
    {"number across the end", &hCg1Panel, Num(NUMcaletSmot, 0, I16, 10, -720, 720, 0).Shifted(Shift),
     kImage - 1},
    {"number far past the end", &hCg1Panel, Num(NUMcaletSmot, 0, I16, 10, -720, 720, 0).Shifted(Shift),
     ~std::size_t{0}},
    {"toggle whose second copy is past the end", &hCg1Panel, Toggle(TBturboEnab, 0, 0, 2).Shifted(Shift),
     kImage - 1, false},
    {"bit past the end", &hCg1Panel, Bit(TBturboEnab, 0, 0x04, 1).Shifted(Shift), kImage},
    {"ring past the end", &hCg1Panel, Ring(RINGtransType, 0, 1).Shifted(Shift), kImage},
    {"cells running past the end", &hCg2Panel,
     Cells(CONFIG2::TABfltDepthSpeedRpm, {1, 1, 1, 7}, 0, 0, 2, I16, 1, 0, 100).Shifted(Shift), kImage - 4},
    {"text running past the end", &hCg1Panel, Text(TBOXnotes, 0, 16).Shifted(Shift), kImage - 8, true, false},
    {"number past a page's own record", &hCg1Panel,
     Num(NUMcaletSmot, 0, I16, 10, -720, 720, 0).OnRecord(SmallRecord).Shifted(Shift), 3},
};

const Case* current = nullptr;
bool GatherCurrent() {
    return GatherFields(*current->panel, FieldTable(&current->binding, 1));
}
bool ScatterCurrent() {
    return ScatterFields(*current->panel, FieldTable(&current->binding, 1));
}

TEST_F(ConfigTest, FieldOutsideItsImageFailsThePageOperationInsteadOfEndingTheProgram) {
    const EcuParData before = ecuParData;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        current = &c;
        const FieldTable table(&c.binding, 1);
        // Inside, every operation succeeds: the failure below is the field's place alone.
        shift = 0;
        EXPECT_TRUE(InitFields(table));
        EXPECT_TRUE(ScatterFields(*c.panel, table));
        EXPECT_TRUE(GatherFields(*c.panel, table));

        shift = c.outside;
        bool init = true, scatter = true, gather = true;
        EXPECT_NO_THROW(init = InitFields(table));
        EXPECT_NO_THROW(scatter = ScatterFields(*c.panel, table));
        EXPECT_NO_THROW(gather = GatherFields(*c.panel, table));
        EXPECT_EQ(init, !c.defaultOutside);
        EXPECT_EQ(scatter, !c.shownOutside);
        EXPECT_FALSE(gather);
        // The commit of a setting that the page follows reports it as every failure.
        ScriptedPopups script;
        script.ExpectMessage();
        bool refreshed = true;
        EXPECT_NO_THROW(refreshed = RefreshPage({"General 1", GatherCurrent, ScatterCurrent}));
        EXPECT_FALSE(refreshed);
        EXPECT_TRUE(script.AllExpected()) << script.Report();
        ASSERT_EQ(script.Records().size(), 1u);
        EXPECT_EQ(script.Records()[0].title, "General 1");
        EXPECT_EQ(script.Records()[0].text, "Some error occurred...");
    }
    shift = 0;
    ecuParData = before;
    ASSERT_TRUE(ScatterAllPanels()) << "the pages themselves are sound";
}

// The raw accessors never touch what lies beyond the image: outside, a read gives 0 and a write is
// refused.
TEST_F(ConfigTest, RawFieldAccessOutsideTheImageTouchesNothing) {
    const EcuParData before = ecuParData;
    for (const std::size_t at : {kImage, kImage - 1, ~std::size_t{0}}) {
        SCOPED_TRACE(at);
        std::int64_t read = -1;
        EXPECT_NO_THROW(read = ReadField(Image::Par, at, U16));
        EXPECT_EQ(read, 0);
        bool written = true;
        EXPECT_NO_THROW(written = WriteField(Image::Par, at, U16, 0x1234));
        EXPECT_FALSE(written);
    }
    EXPECT_EQ(std::memcmp(&ecuParData, &before, sizeof before), 0);
    EXPECT_TRUE(WriteField(Image::Par, kImage - 2, U16, 0x1234)) << "the last field is inside";
    EXPECT_EQ(ReadField(Image::Par, kImage - 2, U16), 0x1234);
}

} // namespace
