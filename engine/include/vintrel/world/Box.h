#pragma once

// Box lives in core, below every subsystem; this path keeps existing includes working.
#include "vintrel/core/Box.h"
