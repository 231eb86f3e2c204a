#pragma once

#include <string>

namespace vt::sfml {

/// English name of a window-library key code (its own numbering, which both
/// library versions share), for log lines: "a", "Right Alt", "0 (Numpad)".
/// "Unknown" for codes outside the table.
std::string keyName(int sfml_key_code);

} // namespace vt::sfml
