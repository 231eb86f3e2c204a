#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "vintrel/world/Object.h"
#include "vintrel/world/ViewObject.h"

namespace vt::replay {

// Every attribute an object or a view object writes into its record: the
// record a checkpoint hashes.
// An object that never set a collision layer writes no COLLISION_LAYERS, so
// its record, and the checkpoints of earlier recordings, stay the same.
constexpr std::uint32_t EVERY_ATTRIBUTE = ALL_ATTRIBUTES | VALUE | APPEARANCE | COLLISION_LAYERS;
// One slot per bit of EVERY_ATTRIBUTE, the lowest bit first.
constexpr std::size_t ATTRIBUTE_SLOTS = 21;
static_assert(EVERY_ATTRIBUTE == (1u << ATTRIBUTE_SLOTS) - 1,
              "the attribute bits run from bit 0 without a gap");

// What each attribute adds to an object's record, by slot: empty for the
// attributes the object does not write (a plain object's value).
using AttributeBytes = std::array<std::string, ATTRIBUTE_SLOTS>;

// The object's record cut into its attributes. Writing a record clears the
// bits it wrote; the object's modified mask is left as it was, so that
// whoever sends changes (a network peer) still sees them.
AttributeBytes attributeBytes(Object& object);

// The attribute's name in a divergence report: "position", "value", ...
const char* attributeName(std::size_t slot);

// The attribute's bytes as a person reads them ("(3,4)", "10", "true"),
// cut to a log line's quote; "nothing" for empty bytes.
std::string attributeText(std::size_t slot, const std::string& bytes);

} // namespace vt::replay
