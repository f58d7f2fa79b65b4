// A page whose fields are not edited yet: it loads its panel, has nothing to fill or read back, and its
// periodic work (where it has one) is the idle poll.
#pragma once

#include "orvane/core/connect.h"
#include "orvane/core/loadpage.h"

// The handle, fill and read-back of such a page (a page that loads a popup too writes its own Init).
#define ORVANE_PLAIN_PAGE_DATA(Name)                                                                         \
    int h##Name##Panel = 0;                                                                                  \
    bool Scatter##Name##Panel() {                                                                            \
        return true;                                                                                         \
    }                                                                                                        \
    bool Gather##Name##Panel() {                                                                             \
        return true;                                                                                         \
    }

// ... with its Init loading panel Resource of the resource file under the main window.
#define ORVANE_PLAIN_PAGE(Name, Resource)                                                                    \
    ORVANE_PLAIN_PAGE_DATA(Name)                                                                             \
    bool Init##Name##Panel(int parent) {                                                                     \
        return LoadPage(parent, Resource::id, h##Name##Panel);                                               \
    }

#define ORVANE_PING_TIMER(Name)                                                                              \
    bool Name##Timer() {                                                                                     \
        return Ping();                                                                                       \
    }
