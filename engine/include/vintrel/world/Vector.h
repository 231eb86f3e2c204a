#pragma once

// Vector lives in core, below every subsystem; this path keeps existing includes working.
#include "vintrel/core/Vector.h"
