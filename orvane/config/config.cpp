#include "orvane/config/config.h"

#include "orvane/core/plainpage.h"
#include "orvane/ui/screen.h"

ORVANE_PLAIN_PAGE(Cg2, CONFIG2)
ORVANE_PING_TIMER(Cg2)
