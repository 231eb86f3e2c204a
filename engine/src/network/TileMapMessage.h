#pragma once

#include <memory>
#include <string>

#include "vintrel/world/TileMap.h"

// The tile map message a WorldHost sends its watchers (see
// docs/world-streaming.md): the map's size, altitude, visibility and its
// cells in runs of equal tiles. Sent only once a host has had a map, so a
// stream without maps is byte for byte what it was before maps travelled.
namespace vt::stream {

/// Bytes of one run: length, character, colour, flags, background.
constexpr std::size_t TILE_RUN_BYTES = 4 + 4 + 4 + 1 + 4;

/// The payload that describes `p_map`, or that there is none (nullptr).
std::string tileMapPayload(const TileMap* p_map);

/// Reads a payload of tileMapPayload: 0 with `*p_map` the map (nullptr for
/// none), or -1 with the reason when it is cut short, lies about its size or
/// holds a value no map can have; nothing is allocated beyond a map's limits.
int readTileMap(const std::string& payload, std::unique_ptr<TileMap>* p_map, std::string* p_reason);

} // namespace vt::stream
