// Resets of corrections that the running ECU has learned: the CO correction (sent twice, data byte 1
// then 2) and the normal step correction. Both answer with an empty frame.
#pragma once

#include "orvane/core/logic/ecucmds.h"

#include <cstdint>

// With the link closed both return true and send nothing; false at the first exchange that fails.
bool SendCocReset();
bool SendNscReset();
