#include "orvane/config/catalogue.h"

#include "orvane/config/configbytes.h"
#include "orvane/core/ui/fields.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

using enum Raw;

constexpr std::size_t kTdc = 0x6C2;
constexpr std::size_t kTrigger = 0x6CA;
constexpr std::size_t kInj1 = 0x6CE;
constexpr std::size_t kInj2 = 0x6D2;
constexpr std::size_t kSettings = 0x6E3;

constexpr std::uint8_t N = 0xFF;

// The runs of the engine record in the image beside its cylinders and injection kind; all empty when
// they do not lie in it.
struct EngineRecord {
    std::span<std::uint16_t> tdc;
    std::span<std::uint8_t> trigger;
    std::span<std::int8_t> inj1, inj2;
    std::span<std::uint8_t> settings;
};
EngineRecord ImageEngineRecord() {
    const EngineRecord r{
        ImageSpan<std::uint16_t>(Image::Par, kTdc, 4), ImageSpan<std::uint8_t>(Image::Par, kTrigger, 4),
        ImageSpan<std::int8_t>(Image::Par, kInj1, 4), ImageSpan<std::int8_t>(Image::Par, kInj2, 4),
        ImageSpan<std::uint8_t>(Image::Par, kSettings, 10)};
    if (r.tdc.empty() || r.trigger.empty() || r.inj1.empty() || r.inj2.empty() || r.settings.empty())
        return {};
    return r;
}

bool Matches(const EngTypeDef& d) {
    const EngineRecord r = ImageEngineRecord();
    return CylinderCount() == d.cylinders && InjectionKind() == d.kind && std::ranges::equal(r.tdc, d.tdc) &&
           std::ranges::equal(r.trigger, d.trigger) && std::ranges::equal(r.inj1, d.inj1) &&
           std::ranges::equal(r.inj2, d.inj2) && std::ranges::equal(r.settings, d.settings);
}

const char* KindWord(std::uint8_t kind) {
    static const char* const kWords[] = {"Single", "Double", "Compound", "Full-group"};
    return kind < 4 ? kWords[kind] : "Unknown";
}

const char* InjectorCaption(std::uint8_t kind) {
    static const char* const kCaptions[] = {"low,-", "low,high", "main,aux", "low,-"};
    return kind < 4 ? kCaptions[kind] : "-,-";
}

// Appends to text at used; the text stays terminated and cut to fit.
template <class... A> void Append(std::span<char> text, std::size_t& used, const char* format, A... args) {
    if (used >= text.size()) return;
    int n = 0;
    if constexpr (sizeof...(A) == 0)
        n = std::snprintf(text.data() + used, text.size() - used, "%s", format);
    else
        n = std::snprintf(text.data() + used, text.size() - used, format, args...);
    if (n > 0) used = std::min(text.size() - 1, used + static_cast<std::size_t>(n));
}

const char* CamTypeWord(std::uint8_t camType) {
    return camType == 1 ? "Pneumatic" : camType == 2 ? "Kinematic" : "No";
}

} // namespace

// clang-format off
const EngTypeDef engTypeDefs[kEngTypeCount] = {
    {"<undefined>",            0, 0, {0, 0, 0, 0},          {N, N, N, N}, {-1, -1, -1, -1}, {-1, -1, -1, -1}, {0xff, 0xff, 0xff, 0xff, 1, 1, 1, 1, 1, 1}},
    {"1cyl 1trig Sinj",        1, 0, {0, 0, 0, 0},          {0, N, N, N}, {0, -1, -1, -1},  {-1, -1, -1, -1}, {0, 0xff, 0, 0xff, 0, 1, 0, 1, 1, 1}},
    {"1cyl 1trig Dinj",        1, 1, {0, 0, 0, 0},          {0, N, N, N}, {0, -1, -1, -1},  {1, -1, -1, -1},  {0, 0xff, 0, 0xff, 0, 1, 0, 0, 1, 1}},
    {"1cyl 1trig Cinj",        1, 2, {0, 0, 0, 0},          {0, N, N, N}, {0, -1, -1, -1},  {1, -1, -1, -1},  {0, 0xff, 0, 0xff, 0, 1, 0, 0, 1, 1}},
    {"2cyl 2trig Sinj (odd)",  2, 0, {0, 1800, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {-1, -1, -1, -1}, {0, 1, 0, 1, 0, 0, 0, 0, 1, 1}},
    {"2cyl 2trig Dinj (odd)",  2, 1, {0, 1800, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {2, 3, -1, -1},   {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl 2trig Cinj (odd)",  2, 2, {0, 1800, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {2, 3, -1, -1},   {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl 2trig Sinj (even)", 2, 0, {0, 3600, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {-1, -1, -1, -1}, {0, 1, 0, 1, 0, 0, 0, 0, 1, 1}},
    {"2cyl 2trig Dinj (even)", 2, 1, {0, 3600, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {2, 3, -1, -1},   {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl 2trig Cinj (even)", 2, 2, {0, 3600, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {2, 3, -1, -1},   {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl 2trig Dinj (HD)",   2, 1, {0, 3150, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {2, 3, -1, -1},   {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl 2trig Cinj (HD)",   2, 2, {0, 3150, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {2, 3, -1, -1},   {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl_Ducati 2trig Sinj", 2, 0, {0, 2700, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {-1, -1, -1, -1}, {0, 1, 0, 1, 0, 0, 0, 0, 1, 1}},
    {"2cyl_Ducati 2trig Dinj", 2, 1, {0, 2700, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {2, 3, -1, -1},   {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl_Ducati 2trig Cinj", 2, 2, {0, 2700, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {2, 3, -1, -1},   {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl-V75 2trig Sinj",    2, 0, {0, 2850, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {-1, -1, -1, -1}, {0, 1, 0, 1, 0, 0, 0, 0, 1, 1}},
    {"2cyl-V75 2trig Dinj",    2, 1, {0, 2850, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {2, 3, -1, -1},   {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl-V75 2trig Cinj",    2, 2, {0, 2850, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {2, 3, -1, -1},   {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl-V77 2trig Sinj",    2, 0, {0, 2830, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {-1, -1, -1, -1}, {0, 1, 0, 1, 0, 0, 0, 0, 1, 1}},
    {"2cyl-V77 2trig Dinj",    2, 1, {0, 2830, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {2, 3, -1, -1},   {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"2cyl-V77 2trig Cinj",    2, 2, {0, 2830, 0, 0},       {0, 1, N, N}, {0, 1, -1, -1},   {2, 3, -1, -1},   {0, 1, 0, 1, 0, 0, 0, 0, 0, 0}},
    {"4cyl (1-3-4-2)",         4, 0, {0, 5400, 1800, 3600}, {0, 1, 1, 0}, {0, 1, 2, 3},     {-1, -1, -1, -1}, {0, 2, 3, 1, 0, 0, 0, 0, 0, 0}},
    {"4cyl (1-3-4-2) FG",      4, 3, {0, 5400, 1800, 3600}, {0, 1, 1, 0}, {0, 1, 2, 3},     {-1, -1, -1, -1}, {0, 2, 3, 1, 0, 0, 0, 0, 0, 0}},
    {"4cyl (1-2-4-3)",         4, 0, {0, 1800, 5400, 3600}, {0, 1, 1, 0}, {0, 1, 2, 3},     {-1, -1, -1, -1}, {0, 1, 3, 2, 0, 0, 0, 0, 0, 0}},
    {"4cyl (1-2-4-3) FG",      4, 3, {0, 1800, 5400, 3600}, {0, 1, 1, 0}, {0, 1, 2, 3},     {-1, -1, -1, -1}, {0, 1, 3, 2, 0, 0, 0, 0, 0, 0}},
    {"4cyl-V90 (1-2-3-4)",     4, 0, {0, 2700, 3600, 6300}, {0, 1, 1, 0}, {0, 1, 2, 3},     {-1, -1, -1, -1}, {0, 1, 3, 2, 0, 0, 0, 0, 0, 0}},
    {"T-Max",                  2, 0, {0, 3600, 0, 0},       {0, 0, N, N}, {0, 1, -1, -1},   {-1, -1, -1, -1}, {0, 0xff, 1, 0xff, 0, 1, 0, 0, 1, 1}},
};

const TwaDef twaDefs[kTwaCount] = {
    {"<undefined>", {0, 0, 0, 1, 1, 1}},
    {"smf 8-1", {8, 1, 0, 1, 13, 4}},  {"smf12-1", {12, 1, 0, 1, 7, 4}}, {"smf12-2", {12, 2, 0, 1, 5, 2}},
    {"smf12-3", {12, 3, 0, 1, 13, 4}}, {"smf16-1", {16, 1, 0, 1, 7, 4}}, {"smf16-2", {16, 2, 0, 1, 5, 2}},
    {"smf16-3", {16, 3, 0, 1, 13, 4}}, {"smf18-1", {18, 1, 0, 1, 7, 4}}, {"smf18-2", {18, 2, 0, 1, 5, 2}},
    {"smf18-3", {18, 3, 0, 1, 13, 4}}, {"smf22-2", {22, 2, 0, 1, 5, 2}}, {"smf24-1", {24, 1, 0, 1, 7, 4}},
    {"smf24-2", {24, 2, 0, 1, 5, 2}},  {"smf24-3", {24, 3, 0, 1, 13, 4}}, {"smf30-2", {30, 2, 0, 1, 5, 2}},
    {"smf32-2", {32, 2, 0, 1, 5, 2}},  {"smf36-1", {36, 1, 0, 1, 7, 4}}, {"smf36-2", {36, 2, 0, 1, 5, 2}},
    {"smf48-2", {48, 2, 0, 1, 5, 2}},  {"smf60-2", {60, 2, 0, 1, 5, 2}},
    {"fas 8-1", {8, 1, 1, 0, 13, 4}},  {"fas12-1", {12, 1, 1, 0, 7, 4}}, {"fas12-2", {12, 2, 1, 0, 5, 2}},
    {"fas12-3", {12, 3, 1, 0, 13, 4}}, {"fas16-1", {16, 1, 1, 0, 7, 4}}, {"fas16-2", {16, 2, 1, 0, 5, 2}},
    {"fas16-3", {16, 3, 1, 0, 13, 4}}, {"fas18-1", {18, 1, 1, 0, 7, 4}}, {"fas18-2", {18, 2, 1, 0, 5, 2}},
    {"fas18-3", {18, 3, 1, 0, 13, 4}}, {"fas22-2", {22, 2, 1, 0, 5, 2}}, {"fas24-1", {24, 1, 1, 0, 7, 4}},
    {"fas24-2", {24, 2, 1, 0, 5, 2}},  {"fas24-3", {24, 3, 1, 0, 13, 4}}, {"fas30-2", {30, 2, 1, 0, 5, 2}},
    {"fas32-2", {32, 2, 1, 0, 5, 2}},  {"fas36-1", {36, 1, 1, 0, 7, 4}}, {"fas36-2", {36, 2, 1, 0, 5, 2}},
    {"fas48-2", {48, 2, 1, 0, 5, 2}},  {"fas60-2", {60, 2, 1, 0, 5, 2}},
    {"cam4", {4, 0, 1, 0, 1, 1}},      {"cam6", {6, 0, 1, 0, 1, 1}},     {"cam8", {8, 0, 1, 0, 1, 1}},
    {"cam48-2", {48, 2, 1, 1, 5, 2}},  {"harley cam2", {0, 1, 1, 0, 10, 12}}, {"3cam12", {0, 2, 1, 0, 1, 1}},
    {"smf ClioRS", {0, 170, 1, 0, 3, 2}}, {"fas ClioRS", {0, 3, 0, 1, 2, 1}},
    {nullptr, {0, 3, 1, 0, 2, 1}},
};
// clang-format on

void SetEngType(std::uint8_t index) {
    const EngTypeDef& d = engTypeDefs[index < kEngTypeCount ? index : 0];
    WriteField(Image::Par, kParCylinders, U8, d.cylinders);
    WriteField(Image::Par, kParInjectionKind, U8, d.kind);
    for (std::size_t i = 0; i < 4; ++i) {
        WriteField(Image::Par, kTdc + 2 * i, U16, d.tdc[i]);
        WriteField(Image::Par, kTrigger + i, U8, d.trigger[i]);
        WriteField(Image::Par, kInj1 + i, I8, d.inj1[i]);
        WriteField(Image::Par, kInj2 + i, I8, d.inj2[i]);
    }
    for (std::size_t i = 0; i < 10; ++i)
        WriteField(Image::Par, kSettings + i, U8, d.settings[i]);
}

void SetTwa(std::uint8_t index) {
    const TwaDef& d = twaDefs[index < kTwaCount ? index : 0];
    for (int i = 0; i < kParWheelBytes; ++i)
        WriteField(Image::Par, kParWheel + static_cast<std::size_t>(i), U8, d.bytes[i]);
}

std::uint8_t GetEngType() {
    for (std::uint8_t i = 1; i < kEngTypeCount; ++i)
        if (Matches(engTypeDefs[i])) return i;
    return 0;
}

std::uint8_t GetQuadro() {
    for (std::uint8_t i = 1; i < kTwaCount; ++i) {
        bool same = true;
        for (int b = 0; b < kParWheelBytes; ++b)
            same = same && WheelByte(b) == twaDefs[i].bytes[b];
        if (same) return i;
    }
    return 0;
}

void EngineDescription(std::span<char> text) {
    if (text.empty()) return;
    text[0] = '\0';
    std::size_t used = 0;
    const std::uint8_t kind = InjectionKind();
    const std::uint8_t cylinders = CylinderCount();
    Append(text, used, "%u cylinders - %s injector\n", unsigned{cylinders}, KindWord(kind));
    // The count comes from the image: the walk never goes past the cylinders the record holds.
    const EngineRecord r = ImageEngineRecord();
    for (std::size_t i = 0; i < cylinders && i < r.tdc.size(); ++i) {
        const unsigned tdc = r.tdc[i];
        const int trigger = static_cast<std::int8_t>(r.trigger[i]);
        Append(text, used, "\nCyl %u --> TDC=%03u.%u  Trigger=%u  Injectors(%s)=", unsigned(i + 1), tdc / 10,
               tdc % 10, static_cast<unsigned>(trigger + 1), InjectorCaption(kind));
        if (kind <= 3)
            Append(text, used, "%u,", static_cast<unsigned>(r.inj1[i] + 1));
        else
            Append(text, used, "-,");
        if (kind == 1 || kind == 2)
            Append(text, used, "%u", static_cast<unsigned>(r.inj2[i] + 1));
        else
            Append(text, used, "-");
    }
}

void WheelDescription(std::span<char> text) {
    if (text.empty()) return;
    text[0] = '\0';
    std::size_t used = 0;
    const std::uint8_t teeth = WheelByte(0), missing = WheelByte(1), camType = CamType();
    const char* revs = WheelByte(2) != 0 ? "2 revs" : "1 rev";
    const bool camFitted = WheelByte(3) == 0;
    const char* cam = camFitted ? "With" : CamTypeWord(camType);
    if (teeth > 0)
        Append(text, used, "%u teeths, %u missing\n%s cam sensor\n%s per cycle", unsigned{teeth},
               unsigned{missing}, cam, revs);
    else if (missing == 1)
        Append(text, used, "Harley Davidson\n%s cam sensor\n%s per cycle", cam, revs);
    else if (missing == 2)
        Append(text, used, "12 teeths, 2 missing\n%s cam sensor\n%s per cycle",
               camFitted ? "Triple-pulse" : "No", revs);
    else if (missing == 3)
        Append(text, used, "Clio RSfaseIII (60 teeths)\n%s cam sensor\n%s per cycle",
               camFitted ? "With" : "No", revs);
    else if (missing == 170)
        Append(text, used, "18 teeths, 1 long\n%s cam sensor\n%s per cycle", CamTypeWord(camType),
               camType == 1 || camType == 2 ? "2 revs" : "1 rev");
    else
        Append(text, used, "undefined");
}
