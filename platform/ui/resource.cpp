// Parser of the user-interface resource (grammar in resource.h). It has no user-interface dependency so
// that the build-time generator shares it.
#include "platform/ui/resource.h"

#include <array>
#include <charconv>
#include <cmath>
#include <map>

namespace uir {
namespace {

struct Token {
    std::string text;
    bool quoted = false; // the whole token was one quoted text
};

// A parse failure carries its message up to the line loop, which adds file and line.
struct Failure {
    std::string message;
};

std::vector<Token> Tokenize(std::string_view line) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t' || line[i] == '\r') {
            ++i;
            continue;
        }
        if (line[i] == '#') break;
        Token t;
        t.quoted = line[i] == '"';
        bool inQuotes = false;
        for (; i < line.size() && (inQuotes || (line[i] != ' ' && line[i] != '\t' && line[i] != '\r')); ++i) {
            const char c = line[i];
            if (c == '"') {
                inQuotes = !inQuotes;
                if (!inQuotes && i + 1 < line.size() && line[i + 1] != ' ' && line[i + 1] != '\t')
                    t.quoted = false;
            } else if (inQuotes && c == '\\' && i + 1 < line.size()) {
                ++i;
                t.text += line[i] == 'n' ? '\n' : line[i];
            } else {
                t.text += c;
            }
        }
        if (inQuotes) throw Failure{"unterminated text"};
        tokens.push_back(std::move(t));
    }
    return tokens;
}

bool IsIdentifier(std::string_view s) {
    if (s.empty() || (s[0] >= '0' && s[0] <= '9')) return false;
    for (const char c : s)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

template <typename T> std::optional<T> ParseNumber(std::string_view s, int base = 10) {
    T v{};
    const char* end = s.data() + s.size();
    std::from_chars_result r{};
    if constexpr (std::is_floating_point_v<T>)
        r = std::from_chars(s.data(), end, v);
    else
        r = std::from_chars(s.data(), end, v, base);
    if (s.empty() || r.ec != std::errc() || r.ptr != end) return std::nullopt;
    if constexpr (std::is_floating_point_v<T>)
        if (!std::isfinite(v)) return std::nullopt;
    return v;
}

double Number(std::string_view name, std::string_view s) {
    if (const auto v = ParseNumber<double>(s)) return *v;
    throw Failure{"bad number for '" + std::string(name) + "': '" + std::string(s) + "'"};
}

int Integer(std::string_view name, std::string_view s, int lowest) {
    const auto v = ParseNumber<int>(s);
    if (!v || *v < lowest)
        throw Failure{"bad value for '" + std::string(name) + "': '" + std::string(s) + "'"};
    return *v;
}

int Color(std::string_view name, std::string_view s) {
    const auto v = ParseNumber<int>(s, 16);
    if (s.size() != 6 || !v)
        throw Failure{"bad colour for '" + std::string(name) + "': '" + std::string(s) + "'"};
    return *v;
}

// Splits "a,b,c" (or "WxH") into integers, all >= 0.
std::vector<int> IntList(std::string_view s, char sep, std::size_t count, std::string_view what) {
    std::vector<int> out;
    std::size_t start = 0;
    while (true) {
        const std::size_t cut = s.find(sep, start);
        const auto v = ParseNumber<int>(s.substr(start, cut - start));
        if (!v || *v < 0) break;
        out.push_back(*v);
        if (cut == std::string_view::npos) break;
        start = cut + 1;
    }
    if (out.size() != count) throw Failure{"bad " + std::string(what) + " '" + std::string(s) + "'"};
    return out;
}

std::vector<std::string> SplitBar(std::string_view s) {
    std::vector<std::string> parts;
    if (s.empty()) return parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t cut = s.find('|', start);
        parts.emplace_back(s.substr(start, cut - start));
        if (cut == std::string_view::npos) return parts;
        start = cut + 1;
    }
}

constexpr unsigned Bit(UiCtrlKind k) {
    return 1u << k;
}
constexpr unsigned kAll = ~0u;
constexpr unsigned kNumberKinds = Bit(CTRL_NUMERIC) | Bit(CTRL_NUMERIC_SLIDE) | Bit(CTRL_TOGGLE_BUTTON) |
                                  Bit(CTRL_LED) | Bit(CTRL_RING) | Bit(CTRL_RADIO_GROUP) | Bit(CTRL_TAB);
constexpr unsigned kTextKinds = Bit(CTRL_STRING) | Bit(CTRL_PASSWORD) | Bit(CTRL_TEXT_BOX);
constexpr unsigned kRangeKinds = Bit(CTRL_NUMERIC) | Bit(CTRL_NUMERIC_SLIDE) | Bit(CTRL_TABLE);
constexpr unsigned kLookKinds = kAll & ~Bit(CTRL_TIMER) & ~Bit(CTRL_DECORATION) & ~Bit(CTRL_NUMERIC_SLIDE) &
                                ~Bit(CTRL_LED) & ~Bit(CTRL_RADIO_GROUP);
constexpr unsigned kHotKinds =
    (kNumberKinds & ~Bit(CTRL_LED) & ~Bit(CTRL_TAB)) | kTextKinds | Bit(CTRL_TABLE) | Bit(CTRL_PICTURE);

struct OptionSpec {
    std::string_view name;
    unsigned kinds;
    bool flag; // takes no value
    void (*apply)(Options&, UiCtrlKind, std::string_view name, std::string_view value);
};

const std::array kOptions{
    OptionSpec{"min", kRangeKinds, false,
               [](Options& o, UiCtrlKind, std::string_view n, std::string_view v) { o.min = Number(n, v); }},
    OptionSpec{"max", kRangeKinds, false,
               [](Options& o, UiCtrlKind, std::string_view n, std::string_view v) { o.max = Number(n, v); }},
    OptionSpec{"inc", kRangeKinds & ~Bit(CTRL_TABLE), false,
               [](Options& o, UiCtrlKind, std::string_view n, std::string_view v) { o.inc = Number(n, v); }},
    OptionSpec{
        "prec", kRangeKinds, false,
        [](Options& o, UiCtrlKind, std::string_view n, std::string_view v) { o.prec = Integer(n, v, 0); }},
    OptionSpec{"value", kNumberKinds | kTextKinds, false,
               [](Options& o, UiCtrlKind k, std::string_view n, std::string_view v) {
                   if (Bit(k) & kTextKinds)
                       o.text = std::string(v);
                   else
                       o.number = Number(n, v);
               }},
    OptionSpec{"interval", Bit(CTRL_TIMER), false,
               [](Options& o, UiCtrlKind, std::string_view n, std::string_view v) {
                   o.interval = Number(n, v);
                   if (*o.interval <= 0) throw Failure{"interval must be above 0"};
               }},
    OptionSpec{
        "items", Bit(CTRL_RING) | Bit(CTRL_RADIO_GROUP), false,
        [](Options& o, UiCtrlKind, std::string_view n, std::string_view v) {
            for (const std::string& part : SplitBar(v)) {
                const std::size_t eq = part.rfind('=');
                if (eq == std::string::npos) throw Failure{"item '" + part + "' lacks '=value'"};
                o.items.push_back({part.substr(0, eq), Number(n, std::string_view(part).substr(eq + 1))});
            }
        }},
    OptionSpec{"states", Bit(CTRL_TOGGLE_BUTTON), false,
               [](Options& o, UiCtrlKind, std::string_view, std::string_view v) {
                   o.states = SplitBar(v);
                   if (o.states.size() != 2) throw Failure{"states= needs an off and an on text"};
               }},
    OptionSpec{"pairs", Bit(CTRL_GRAPH_3D), false,
               [](Options& o, UiCtrlKind, std::string_view n, std::string_view v) {
                   o.pairs.emplace();
                   for (const std::string& part : SplitBar(v))
                       o.pairs->push_back(Integer(n, part, 0));
               }},
    OptionSpec{"tabs", Bit(CTRL_TAB), false,
               [](Options& o, UiCtrlKind, std::string_view, std::string_view v) { o.tabs = SplitBar(v); }},
    OptionSpec{
        "rows", Bit(CTRL_TABLE), false,
        [](Options& o, UiCtrlKind, std::string_view n, std::string_view v) { o.rows = Integer(n, v, 0); }},
    OptionSpec{
        "cols", Bit(CTRL_TABLE), false,
        [](Options& o, UiCtrlKind, std::string_view n, std::string_view v) { o.cols = Integer(n, v, 0); }},
    OptionSpec{"colwidth", Bit(CTRL_TABLE), false,
               [](Options& o, UiCtrlKind, std::string_view n, std::string_view v) {
                   o.colwidth = Integer(n, v, 1);
               }},
    OptionSpec{"cellmode", Bit(CTRL_TABLE), false,
               [](Options& o, UiCtrlKind, std::string_view, std::string_view v) {
                   if (v == "hot")
                       o.cellMode = VAL_HOT;
                   else if (v == "indicator")
                       o.cellMode = VAL_INDICATOR;
                   else
                       throw Failure{"bad cell mode '" + std::string(v) + "'"};
               }},
    OptionSpec{"labelwidth", Bit(CTRL_TABLE), false,
               [](Options& o, UiCtrlKind, std::string_view n, std::string_view v) {
                   o.labelwidth = Integer(n, v, 1);
               }},
    OptionSpec{
        "maxlen", kTextKinds | Bit(CTRL_TEXT_MSG), false,
        [](Options& o, UiCtrlKind, std::string_view n, std::string_view v) { o.maxlen = Integer(n, v, 0); }},
    OptionSpec{
        "font", kLookKinds, false,
        [](Options& o, UiCtrlKind, std::string_view n, std::string_view v) { o.font = Integer(n, v, 1); }},
    OptionSpec{
        "oncolor", Bit(CTRL_TOGGLE_BUTTON) | Bit(CTRL_LED), false,
        [](Options& o, UiCtrlKind, std::string_view n, std::string_view v) { o.oncolor = Color(n, v); }},
    OptionSpec{
        "textcolor", kLookKinds, false,
        [](Options& o, UiCtrlKind, std::string_view n, std::string_view v) { o.textcolor = Color(n, v); }},
    OptionSpec{"align", Bit(CTRL_TEXT_MSG) | Bit(CTRL_STRING) | Bit(CTRL_NUMERIC), false,
               [](Options& o, UiCtrlKind, std::string_view, std::string_view v) {
                   if (v == "left")
                       o.align = Align::Left;
                   else if (v == "center")
                       o.align = Align::Center;
                   else if (v == "right")
                       o.align = Align::Right;
                   else
                       throw Failure{"bad alignment '" + std::string(v) + "'"};
               }},
    OptionSpec{"anchor", kAll & ~Bit(CTRL_TIMER), false,
               [](Options& o, UiCtrlKind, std::string_view, std::string_view v) {
                   if (v.empty()) throw Failure{"anchor= needs edges or center"};
                   o.anchor = {false, false, false, false};
                   if (v == "center") return;
                   for (const std::string& edge : SplitBar(v)) {
                       bool* side = edge == "left"     ? &o.anchor.left
                                    : edge == "right"  ? &o.anchor.right
                                    : edge == "top"    ? &o.anchor.top
                                    : edge == "bottom" ? &o.anchor.bottom
                                                       : nullptr;
                       if (side == nullptr) throw Failure{"bad anchor edge '" + edge + "'"};
                       *side = true;
                   }
               }},
    OptionSpec{"hidden", kAll, true,
               [](Options& o, UiCtrlKind, std::string_view, std::string_view) { o.hidden = true; }},
    OptionSpec{"dimmed", kAll, true,
               [](Options& o, UiCtrlKind, std::string_view, std::string_view) { o.dimmed = true; }},
    OptionSpec{"indicator", kHotKinds, true,
               [](Options& o, UiCtrlKind, std::string_view, std::string_view) { o.indicator = true; }},
    OptionSpec{"bold", kLookKinds, true,
               [](Options& o, UiCtrlKind, std::string_view, std::string_view) { o.bold = true; }},
    OptionSpec{"scrolls", Bit(CTRL_TABLE), true,
               [](Options& o, UiCtrlKind, std::string_view, std::string_view) { o.scrolls = true; }},
};

struct KindName {
    std::string_view name;
    UiCtrlKind kind;
};
constexpr std::array kKinds{
    KindName{"command", CTRL_COMMAND_BUTTON},
    KindName{"toggle", CTRL_TOGGLE_BUTTON},
    KindName{"numeric", CTRL_NUMERIC},
    KindName{"slide", CTRL_NUMERIC_SLIDE},
    KindName{"ring", CTRL_RING},
    KindName{"string", CTRL_STRING},
    KindName{"password", CTRL_PASSWORD},
    KindName{"textbox", CTRL_TEXT_BOX},
    KindName{"textmsg", CTRL_TEXT_MSG},
    KindName{"led", CTRL_LED},
    KindName{"picture", CTRL_PICTURE},
    KindName{"timer", CTRL_TIMER},
    KindName{"tab", CTRL_TAB},
    KindName{"table", CTRL_TABLE},
    KindName{"radio", CTRL_RADIO_GROUP},
    KindName{"deco", CTRL_DECORATION},
    KindName{"graph", CTRL_GRAPH},
    KindName{"graph3d", CTRL_GRAPH_3D},
};

std::string_view NameOf(UiCtrlKind kind) {
    for (const KindName& k : kKinds)
        if (k.kind == kind) return k.name;
    return "?";
}

void ApplyOption(Options& o, UiCtrlKind kind, const Token& token) {
    const std::size_t eq = token.text.find('=');
    const std::string name = token.text.substr(0, eq);
    for (const OptionSpec& option : kOptions) {
        if (option.name != name) continue;
        if (!(option.kinds & Bit(kind)))
            throw Failure{"option '" + name + "' does not apply to " + std::string(NameOf(kind))};
        if (option.flag != (eq == std::string::npos))
            throw Failure{option.flag ? "option '" + name + "' takes no value"
                                      : "option '" + name + "' needs a value"};
        option.apply(o, kind, name,
                     option.flag ? std::string_view() : std::string_view(token.text).substr(eq + 1));
        return;
    }
    throw Failure{"unknown option '" + name + "'"};
}

std::string Callback(const Token& t) {
    if (t.text == "-") return {};
    if (!IsIdentifier(t.text)) throw Failure{"bad callback name '" + t.text + "'"};
    return t.text;
}

std::string Constant(const Token& t) {
    if (!IsIdentifier(t.text)) throw Failure{"bad constant name '" + t.text + "'"};
    return t.text;
}

std::string Text(const Token& t, std::string_view what) {
    if (!t.quoted) throw Failure{std::string(what) + " must be a quoted text"};
    return t.text;
}

PanelDef ParsePanel(const std::vector<Token>& t, int line) {
    if (t.size() < 6)
        throw Failure{
            "expected: panel <CONST> <resourceId> \"<title>\" <callback|-> <W>x<H> [at=X,Y] [resizable]"};
    PanelDef p;
    p.line = line;
    p.name = Constant(t[1]);
    p.resourceId = Integer("resource id", t[2].text, 1);
    p.title = Text(t[3], "the title");
    p.callback = Callback(t[4]);
    const std::vector<int> size = IntList(t[5].text, 'x', 2, "size");
    p.w = size[0];
    p.h = size[1];
    for (std::size_t i = 6; i < t.size(); ++i) {
        if (t[i].text == "resizable" && !t[i].quoted) {
            p.resizable = true;
            continue;
        }
        if (t[i].text.rfind("at=", 0) != 0) throw Failure{"unknown panel option '" + t[i].text + "'"};
        const std::vector<int> at = IntList(std::string_view(t[i].text).substr(3), ',', 2, "position");
        p.atX = at[0];
        p.atY = at[1];
    }
    return p;
}

ControlDef ParseControl(const std::vector<Token>& t, int line) {
    if (t.size() < 6)
        throw Failure{"expected: <id> <CONST> <kind> \"<caption>\" <callback|-> <X>,<Y>,<W>,<H>"};
    ControlDef c;
    c.line = line;
    c.id = Integer("control id", t[0].text, 1);
    c.name = Constant(t[1]);
    bool known = false;
    for (const KindName& k : kKinds)
        if (k.name == t[2].text) {
            c.kind = k.kind;
            known = true;
        }
    if (!known) throw Failure{"unknown kind '" + t[2].text + "'"};
    c.caption = Text(t[3], "the caption");
    c.callback = Callback(t[4]);
    const std::vector<int> box = IntList(t[5].text, ',', 4, "geometry");
    c.x = box[0];
    c.y = box[1];
    c.w = box[2];
    c.h = box[3];
    for (std::size_t i = 6; i < t.size(); ++i)
        ApplyOption(c.options, c.kind, t[i]);
    const Options& o = c.options;
    if (c.kind == CTRL_TIMER && !o.interval) throw Failure{"a timer needs interval="};
    if (o.min && o.max && *o.min > *o.max) throw Failure{"min is above max"};
    return c;
}

} // namespace

const PanelDef* Resource::Find(int resourceId) const {
    for (const PanelDef& p : panels)
        if (p.resourceId == resourceId) return &p;
    return nullptr;
}

std::optional<Resource> Parse(std::string_view fileName, std::string_view text, std::string& error) {
    Resource res;
    std::map<std::string, int> panelNames, panelIds; // value: line of the first use
    std::map<std::string, int> ctrlNames, ctrlIds;
    int line = 0;
    std::size_t pos = 0;
    try {
        while (pos <= text.size()) {
            const std::size_t end = std::min(text.find('\n', pos), text.size());
            const std::string_view raw = text.substr(pos, end - pos);
            pos = end + 1;
            ++line;
            const std::vector<Token> tokens = Tokenize(raw);
            if (tokens.empty()) continue;
            const auto claim = [line](std::map<std::string, int>& seen, const std::string& key,
                                      std::string_view what) {
                const auto [it, fresh] = seen.emplace(key, line);
                if (!fresh)
                    throw Failure{"duplicate " + std::string(what) + " " + key + " (first on line " +
                                  std::to_string(it->second) + ")"};
            };
            if (tokens[0].text == "panel" && !tokens[0].quoted) {
                PanelDef p = ParsePanel(tokens, line);
                claim(panelNames, p.name, "panel");
                claim(panelIds, std::to_string(p.resourceId), "panel id");
                ctrlNames.clear();
                ctrlIds.clear();
                res.panels.push_back(std::move(p));
                continue;
            }
            if (res.panels.empty()) throw Failure{"control line before the first panel"};
            ControlDef c = ParseControl(tokens, line);
            claim(ctrlNames, c.name, "control");
            claim(ctrlIds, std::to_string(c.id), "control id");
            res.panels.back().controls.push_back(std::move(c));
        }
    } catch (const Failure& f) {
        error = std::string(fileName) + ":" + std::to_string(line) + ": " + f.message;
        return std::nullopt;
    }
    return res;
}

} // namespace uir
