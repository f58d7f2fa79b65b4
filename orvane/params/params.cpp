#include "orvane/params/params.h"

#include "orvane/core/plainpage.h"
#include "orvane/ui/screen.h"


