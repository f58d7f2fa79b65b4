// Breakpoint repairs of the tables on the injection, advance and linearization pages, over the repairs
// library's axis pass: a point below its predecessor takes the predecessor's breakpoint and what belongs
// to it (a curve value, or a whole column or row of every matrix sharing the axis). Each returns true when
// it changed anything.
#pragma once

#include "orvane/core/logic/ecuimage.h"
#include "orvane/core/logic/repairs.h"

// A sensor linearization maps one reading to one value: there equal breakpoints take equal values
// (EqualPoints::SameValues); correction curves allow a step.
bool FixCurve(Curve16& curve, EqualPoints equal);
// Both axes of the table, columns first, in every matrix that shares them.
bool FixMiniMap(MiniMap& map);
bool FixCylMiniMaps(CylMiniMaps& maps);
