// The handler lists that fill the Aquarium's tables: each is zero-terminated,
// its first element a placeholder, element n the operation of type n. They
// are complete once static initialisation is over.
#pragma once

#include "host/aquarium.h"

extern const SwimFunction SWIM_LIST[];
extern const LightFunction LIGHT_LIST[];
extern const PolygonFunction POLYGON_LIST[];
