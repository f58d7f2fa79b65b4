// The data images that the program's core owns, for the tests that link the map logic without it.
#include "orvane/core/ecudata.h"

EcuParData ecuParData;
EcuMapData ecuMapData;
EcuParData ecuParRefData;
EcuMapData ecuMapRefData;
