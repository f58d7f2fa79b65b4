#include "orvane/core/pageregistry.h"

const Page* FindPage(int panel) {
    for (const Page& p : Pages().pages)
        if (*p.handle == panel) return &p;
    return nullptr;
}

int GroupSize(PageGroup group) {
    int n = 0;
    for (const Page& p : Pages().pages)
        n += p.group == group ? 1 : 0;
    return n;
}

const Page& GroupPage(PageGroup group, int index) {
    for (const Page& p : Pages().pages)
        if (p.group == group && index-- == 0) return p;
    return Pages().pages.front(); // callers ask only for indices below GroupSize
}

int IndexInGroup(PageGroup group, int panel) {
    int index = 0;
    for (const Page& p : Pages().pages) {
        if (p.group != group) continue;
        if (*p.handle == panel) return index;
        ++index;
    }
    return -1;
}
