#include "orvane/live/diagnost.h"

#include "orvane/core/com.h"
#include "orvane/core/connect.h"
#include "orvane/core/page.h"
#include "orvane/ui/screen.h"

int hDgnPanel = 0;

bool InitDgnPanel(int parent) {
    return LoadPage(parent, DIAGN::id, hDgnPanel);
}

// Diagnostics need the ECU: with the link closed the tick counts as failed.
bool DgnTimer() {
    return isComOpen && Ping();
}
