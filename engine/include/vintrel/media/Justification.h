#pragma once

namespace vt {

/// Where a text drawn along a row of cells sits relative to its position.
enum Justification {
    LEFT = 0,   ///< the text starts at the position
    CENTER = 1, ///< the middle character (left of the middle for even lengths) is at the position
    RIGHT = 2,  ///< the text ends one cell left of the position
};

} // namespace vt
