#include "orvane/params/params.h"

#include "orvane/core/plainpage.h"
#include "orvane/ui/screen.h"

ORVANE_PLAIN_PAGE(Pr6, PARM6)

ORVANE_PING_TIMER(Pr6)
