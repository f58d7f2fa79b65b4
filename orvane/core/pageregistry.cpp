#include "orvane/core/pageregistry.h"

const Page* FindPage(int panel) {
    for (const Page& p : Pages().pages)
        if (*p.handle == panel) return &p;
    return nullptr;
}

const Dialog* FindDialog(int panel) {
    for (const Dialog& d : Pages().dialogs)
        if (*d.handle == panel) return &d;
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

namespace {

bool EveryFamilyAgrees(bool (*PageFamily::*hook)()) {
    for (const PageFamily& f : Pages().families)
        if (f.*hook != nullptr && !(f.*hook)()) return false;
    return true;
}

void RunEveryFamily(void (*PageFamily::*hook)()) {
    for (const PageFamily& f : Pages().families)
        if (f.*hook != nullptr) (f.*hook)();
}

} // namespace

bool MayRunCommand() {
    return EveryFamilyAgrees(&PageFamily::mayRunCommand);
}

bool MayWriteConfiguration() {
    return EveryFamilyAgrees(&PageFamily::mayWriteConfiguration);
}

bool IsEcuTuning() {
    for (const PageFamily& f : Pages().families)
        if (f.ecuTuning != nullptr && f.ecuTuning()) return true;
    return false;
}

void TellPingFlags(std::uint8_t locked, std::uint8_t tuning, std::uint8_t automatic) {
    for (const PageFamily& f : Pages().families)
        if (f.pingFlags != nullptr) f.pingFlags(locked, tuning, automatic);
}

void TickFamilies() {
    RunEveryFamily(&PageFamily::tick);
}

void TellSettingsRead() {
    RunEveryFamily(&PageFamily::settingsRead);
}

void StartFamilies() {
    RunEveryFamily(&PageFamily::start);
}

void StopFamilies() {
    RunEveryFamily(&PageFamily::stop);
}

std::string UnsavedFamilyData() {
    std::string lines;
    for (const PageFamily& f : Pages().families)
        if (f.unsaved != nullptr && f.unsaved()) lines += std::string("\n- ") + f.unsavedName;
    return lines;
}
