#pragma once

namespace vt {

/// The engine's colours. CUSTOM carries no values of its own.
enum Color : int {
    BLACK = 0,
    RED,
    GREEN,
    YELLOW,
    BLUE,
    MAGENTA,
    CYAN,
    WHITE,
    CUSTOM,
};

} // namespace vt
