// A page whose fields are not edited yet: it has nothing to fill or read back.
#pragma once

#define ORVANE_PLAIN_PAGE(Name)                                                                              \
    int h##Name##Panel = 0;                                                                                  \
    bool Scatter##Name##Panel() {                                                                            \
        return true;                                                                                         \
    }                                                                                                        \
    bool Gather##Name##Panel() {                                                                             \
        return true;                                                                                         \
    }
