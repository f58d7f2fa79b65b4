#include "orvane/config/config.h"

#include "orvane/core/plainpage.h"
#include "orvane/ui/screen.h"

ORVANE_PLAIN_PAGE(Cg1, CONFIG1)
ORVANE_PLAIN_PAGE(Cg2, CONFIG2)
ORVANE_PLAIN_PAGE(Cg3, CONFIG3)
ORVANE_PLAIN_PAGE(Cg4, CONFIG4)

// Configuration page 4 has no periodic work of its own: the main timer pings for it.
ORVANE_PING_TIMER(Cg1)
ORVANE_PING_TIMER(Cg2)
ORVANE_PING_TIMER(Cg3)
