#include "paths/NodeTable.h"

namespace vt {

namespace {

std::uint64_t tileKey(PathFind::Cell cell) {
    const auto column = static_cast<std::uint32_t>(cell.x / NodeTable::TILE_SIDE);
    const auto row = static_cast<std::uint32_t>(cell.y / NodeTable::TILE_SIDE);
    return (static_cast<std::uint64_t>(column) << 32) | row;
}

std::size_t indexInTile(PathFind::Cell cell) {
    return static_cast<std::size_t>((cell.y % NodeTable::TILE_SIDE) * NodeTable::TILE_SIDE +
                                    cell.x % NodeTable::TILE_SIDE);
}

} // namespace

NodeTable::Tile* NodeTable::tileOf(std::uint64_t key) const {
    if (m_p_last_tile && key == m_last_key)
        return m_p_last_tile;
    const auto it = m_tiles.find(key);
    if (it == m_tiles.end())
        return nullptr;
    m_last_key = key;
    m_p_last_tile = it->second.get();
    return m_p_last_tile;
}

NodeTable::Node* NodeTable::find(PathFind::Cell cell) {
    return const_cast<Node*>(static_cast<const NodeTable*>(this)->find(cell));
}

const NodeTable::Node* NodeTable::find(PathFind::Cell cell) const {
    if (cell.x < 0 || cell.y < 0)
        return nullptr;
    const Tile* p_tile = tileOf(tileKey(cell));
    if (!p_tile)
        return nullptr;
    const Node& node = (*p_tile)[indexInTile(cell)];
    return node.is_reached ? &node : nullptr;
}

NodeTable::Node& NodeTable::insert(PathFind::Cell cell) {
    const std::uint64_t key = tileKey(cell);
    Tile* p_tile = tileOf(key);
    if (!p_tile) {
        auto p_new = std::make_unique<Tile>();
        p_new->fill(Node{0.0f, 0.0f, 0, NO_STEP, false, false, false});
        p_tile = p_new.get();
        m_tiles.emplace(key, std::move(p_new));
        m_last_key = key;
        m_p_last_tile = p_tile;
    }
    Node& node = (*p_tile)[indexInTile(cell)];
    node = Node{0.0f, 0.0f, 0, NO_STEP, true, false, false};
    return node;
}

} // namespace vt
