#pragma once

#include <string>

#include "vintrel/core/Color.h"

// The words the engine reads and writes in more than one place, and the
// conversions between them and values: each is defined here once so that
// the configuration, the sprite reader, the log lines of records and the
// managers cannot drift apart.
namespace vt::text {

/// "true" or "false", as log lines write a flag.
const char* boolText(bool value);

/// The decimal integer prefix of the text, read the way atoi reads it
/// (leading white space, an optional sign, digits up to the first other
/// character; 0 without digits), saturated to the int range instead of
/// overflowing.
int toInt(const std::string& text);

/// The names of BLACK .. WHITE in enumeration order, as the configuration
/// and sprite files write them.
inline constexpr const char* COLOR_NAMES[] = {"black", "red",     "green", "yellow",
                                              "blue",  "magenta", "cyan",  "white"};

/// The colour of one of the eight COLOR_NAMES, matched exactly; false (and
/// the colour untouched) for any other text.
bool colorFromName(const std::string& name, Color* p_color);

/// True for the names of the events the network manager delivers.
bool isNetworkEvent(const std::string& event_type);

} // namespace vt::text
