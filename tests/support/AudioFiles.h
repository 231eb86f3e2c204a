#pragma once

#include <string>

namespace vt::test {

/// Synthesises a short sine tone with sox; the file name's extension picks
/// the format (.wav, .ogg). True when the file was made.
bool makeTone(const std::string& path, double seconds, int frequency = 440);

} // namespace vt::test
