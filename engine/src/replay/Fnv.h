#pragma once

#include <cstddef>
#include <cstdint>

namespace vt {

// FNV-1a, 64 bits: quick, and plenty to tell one world or one file from
// another by accident. It is no defence against a deliberate forgery.
constexpr std::uint64_t FNV_OFFSET = 0xcbf29ce484222325ull;
constexpr std::uint64_t FNV_PRIME = 0x100000001b3ull;

/// The hash `hash` continued over the bytes.
inline std::uint64_t fnv1a(const void* p_data, std::size_t size, std::uint64_t hash = FNV_OFFSET) {
    const auto* p_bytes = static_cast<const unsigned char*>(p_data);
    for (std::size_t i = 0; i < size; i++) {
        hash ^= p_bytes[i];
        hash *= FNV_PRIME;
    }
    return hash;
}

} // namespace vt
