#pragma once

#include <cstddef>
#include <cstdint>
#include <ios>
#include <string>

#include "vintrel/core/Box.h"
#include "vintrel/core/Color.h"
#include "vintrel/core/Vector.h"

namespace vt {

class Object;
enum Solidness : int;

/// Writes the colour's red, green and blue; CUSTOM and unknown colours write nothing.
void colorToRGB(Color color, unsigned char& r, unsigned char& g, unsigned char& b);
/// "Black", "Red", ... or "Unknown color".
std::string colorToString(Color color);
/// "hard", "soft", "spectral" or "undefined".
std::string solidnessToString(Solidness solidness);

/// min <= value <= max; false when any of them is NaN.
bool valueInRange(float value, float min, float max);
/// True when the position lies in the box, edges included.
bool boxContainsPosition(const Box& box, const Vector& position);
/// True when the boxes overlap; touching edges count.
bool boxIntersectsBox(const Box& a, const Box& b);
/// Euclidean distance between two positions, in spaces.
float distance(const Vector& a, const Vector& b);

/// The object's box in world coordinates.
Box getWorldBox(const Object* p_o);
/// The box the object would occupy at `where`.
Box getWorldBox(const Object* p_o, const Vector& where);
/// World position to view position.
Vector worldToView(const Vector& world_pos);
/// View position to world position.
Vector viewToWorld(const Vector& view_pos);
/// Side from which the moving object met the obstacle: components -1, 0 or 1.
Vector getNormal(const Object* p_moving, const Object* p_obstacle);
/// Side from which the moving object met an obstacle's box (world spaces).
Vector getNormal(const Object* p_moving, const Box& obstacle);

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
