// uilayout [--grow WxH] <file.uir> [PANEL...]: lays out every panel of a resource (or the panels named) and
// prints each visible control's place in its window ("PANEL CONTROL x y w h", caption boxes as
// "CONTROL:caption"), then every fault a reader would see: a control or caption outside its panel, two that
// overlap, a control that crosses a frame's border, a frame title wider than its frame. With --grow, every
// resizable panel is laid out and checked again enlarged by W x H pixels (its controls moved and stretched
// by their anchors), printed as "PANEL@WxH". Exit status 1 when there is a fault.
#include "platform/ui/layer.h"
#include "platform/ui/uitool.h"
#include "platform/ui/userint.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QRect>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// The leak check (sanitizer builds, where the layout check runs too) skips the font library's caches,
// which live as long as the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace {

struct Box {
    std::string name;
    QRect rect;
    bool frame;
};

// The boxes a panel shows: each visible control and its caption.
std::vector<Box> BoxesOf(const ui::Panel& p) {
    std::vector<Box> boxes;
    for (const auto& c : p.controls) {
        if (!c->visible || c->kind == CTRL_TIMER || !c->widget) continue;
        boxes.push_back({c->name, QRect(c->x, c->y, c->w, c->h), c->kind == CTRL_DECORATION});
        if (c->label && !c->caption.empty())
            boxes.push_back({c->name + ":caption", c->label->geometry(), false});
    }
    return boxes;
}

int CheckPanel(const ui::Panel& p) {
    int faults = 0;
    const std::vector<Box> boxes = BoxesOf(p);
    const QRect panel(0, 0, p.w, p.h);
    const std::string name = p.w == p.designW && p.h == p.designH
                                 ? p.name
                                 : p.name + "@" + std::to_string(p.w) + "x" + std::to_string(p.h);
    for (const Box& b : boxes)
        std::printf("%s %s %d %d %d %d\n", name.c_str(), b.name.c_str(), b.rect.x(), b.rect.y(),
                    b.rect.width(), b.rect.height());
    auto fault = [&](const std::string& what) {
        std::printf("FAULT %s: %s\n", name.c_str(), what.c_str());
        ++faults;
    };
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const Box& a = boxes[i];
        if (!panel.contains(a.rect)) fault(a.name + " lies outside the panel");
        for (std::size_t j = i + 1; j < boxes.size(); ++j) {
            const Box& b = boxes[j];
            if (!a.rect.intersects(b.rect)) continue;
            if (a.frame != b.frame) {
                const Box& frame = a.frame ? a : b;
                const Box& inner = a.frame ? b : a;
                if (!frame.rect.contains(inner.rect))
                    fault(inner.name + " crosses the border of " + frame.name);
            } else if (!a.frame) {
                fault(a.name + " overlaps " + b.name);
            }
        }
    }
    for (const auto& c : p.controls)
        if (c->kind == CTRL_DECORATION && c->visible && c->widget) {
            const QFontMetrics metrics(c->widget->font());
            if (metrics.horizontalAdvance(QString::fromStdString(c->caption)) + 16 > c->w)
                fault(c->name + "'s title does not fit");
        }
    return faults;
}

} // namespace

int main(int argc, char** argv) {
    const auto usage = [] {
        std::fprintf(stderr, "usage: uilayout [--grow WxH] <file.uir> [PANEL...]\n");
        return 2;
    };
    int growW = 0, growH = 0;
    if (argc > 2 && std::string(argv[1]) == "--grow") {
        if (std::sscanf(argv[2], "%dx%d", &growW, &growH) != 2 || growW < 0 || growH < 0) return usage();
        argv += 2;
        argc -= 2;
    }
    if (argc < 2) return usage();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::string file;
    const std::optional<uir::Resource> res = LoadToolResource(argv[1], file);
    if (!res) return 2;
    int faults = 0;
    const std::vector<std::string> only(argv + 2, argv + argc);
    for (const uir::PanelDef& def : res->panels) {
        if (!only.empty() && std::find(only.begin(), only.end(), def.name) == only.end()) continue;
        const int panel = LoadPanel(0, file.c_str(), def.resourceId);
        if (panel < 0) {
            std::fprintf(stderr, "%s\n", GetLastLoadError());
            return 2;
        }
        DisplayPanel(panel);
        ProcessSystemEvents();
        faults += CheckPanel(*ui::FindPanel(panel));
        if (def.resizable && (growW > 0 || growH > 0)) {
            SetPanelAttribute(panel, ATTR_WIDTH, def.w + growW);
            SetPanelAttribute(panel, ATTR_HEIGHT, def.h + growH);
            ProcessSystemEvents();
            faults += CheckPanel(*ui::FindPanel(panel));
        }
        DiscardPanel(panel);
    }
    std::printf("%d fault(s)\n", faults);
    return faults == 0 ? 0 : 1;
}
