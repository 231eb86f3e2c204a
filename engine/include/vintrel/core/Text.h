#pragma once

#include <cstddef>
#include <cstdint>
#include <ios>
#include <string>

namespace vt {

/// Value of the first entry `key:value` in a comma-separated text, with all
/// white space removed; empty when absent.
std::string match(std::string text, const std::string& key);

/// Decimal text of an int.
std::string toString(int value);
/// Text of a float as a standard stream writes it by default (0.5, 1e+06).
std::string toString(float value);
/// 32 characters of '0' and '1', most significant bit first.
std::string toBitString(std::uint32_t value);

/// Most characters of outside input (file lines, values, names from records)
/// that a log line quotes; longer text is cut there and ends in "...".
constexpr std::size_t MAX_QUOTED_CHARS = 80;
/// The text as a log line may quote it: cut to MAX_QUOTED_CHARS with "..."
/// after, and control characters other than tab shown as '?', so that no
/// input can make a line huge or break it in two.
std::string clipForLog(const std::string& text);

/// 0 when the stream is good; otherwise logs which state failed and returns -1.
int checkStream(const std::string& where, const std::ios& stream);

/// Local time of day "hh:mm:ss" in a shared buffer overwritten by each call.
const char* getTimeString();

} // namespace vt
