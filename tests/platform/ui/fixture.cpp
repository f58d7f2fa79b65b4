#include "tests/platform/ui/fixture.h"

std::vector<EventRecord> events;
std::function<int(const EventRecord&)> reaction;

namespace {
int Record(const EventRecord& e) {
    events.push_back(e);
    return reaction ? reaction(e) : 0;
}
} // namespace

int MainPanelCb(int panel, int event, void*, int d1, int d2) {
    return Record({panel, 0, event, d1, d2});
}
int DlgCb(int panel, int event, void*, int d1, int d2) {
    return Record({panel, 0, event, d1, d2});
}
int OnCtrl(int panel, int control, int event, void*, int d1, int d2) {
    return Record({panel, control, event, d1, d2});
}
int OnTick(int panel, int control, int event, void*, int d1, int d2) {
    return Record({panel, control, event, d1, d2});
}

void UiTest::SetUp() {
    RegisterSampleCallbacks();
    RegisterResource("sample.uir", kSampleUir);
    main = LoadPanel(0, "sample.uir", MAINP::id);
    ASSERT_GT(main, 0) << GetLastLoadError();
    ASSERT_EQ(DisplayPanel(main), 0);
    events.clear();
    reaction = nullptr;
}

void UiTest::TearDown() {
    reaction = nullptr;
    RemovePopup(1);
    DiscardPanel(main);
}

std::vector<EventRecord> UiTest::Of(int control, int event) const {
    std::vector<EventRecord> out;
    for (const EventRecord& e : events)
        if (e.control == control && e.event == event) out.push_back(e);
    return out;
}
