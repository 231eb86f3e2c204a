#pragma once

// The engine's free functions, for games that include them all at once. The
// engine itself includes the header of each part.

#include "vintrel/core/Color.h"
#include "vintrel/core/Geometry.h"
#include "vintrel/core/Text.h"
#include "vintrel/world/WorldUtility.h"
