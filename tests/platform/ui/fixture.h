// Shared fixture of the layer's tests: the sample resource loaded, every callback recorded.
#pragma once

#include "platform/ui/userint.h"
#include "tests/platform/ui/sample.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

struct EventRecord {
    int panel;
    int control; // 0 for panel events
    int event;
    int data1;
    int data2;
    friend bool operator==(const EventRecord&, const EventRecord&) = default;
};

// Every callback of sample.uir appends here; a test may add a reaction.
extern std::vector<EventRecord> events;
extern std::function<int(const EventRecord&)> reaction;
// The main panel's callback of sample.uir, for a panel that a test gives the same recording.
int MainPanelCb(int panel, int event, void* callbackData, int eventData1, int eventData2);

class UiTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // The events of one kind that reached a control.
    std::vector<EventRecord> Of(int control, int event) const;

    int main = 0;
};
