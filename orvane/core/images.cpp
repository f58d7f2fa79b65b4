// The two data images and their reference copies, held for the whole run.
#include "orvane/core/ecudata.h"

EcuParData ecuParData;
EcuMapData ecuMapData;
EcuParData ecuParRefData;
EcuMapData ecuMapRefData;
