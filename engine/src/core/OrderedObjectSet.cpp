#include "vintrel/core/OrderedObjectSet.h"

#include <cstdint>
#include <new>

namespace vt {

OrderedObjectSet::OrderedObjectSet() : m_slots(), m_table(), m_shift(64) {}

std::size_t OrderedObjectSet::home(const Object* p_o) const {
    // No two objects start in the same 256 bytes (an object is larger than
    // that), so the objects of one 4 KiB page get a run of 16 neighbouring places:
    // objects made one after the other, visited in that order, share cache
    // lines of the table. Multiplying the page by the golden ratio spreads
    // the runs over the table.
    const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(p_o));
    const std::uint64_t run = ((address >> 12) * 0x9E3779B97F4A7C15ULL) >> m_shift;
    return static_cast<std::size_t>(run + ((address >> 8) & 0xF)) & (m_table.size() - 1);
}

std::size_t OrderedObjectSet::find(const Object* p_o) const {
    if (!p_o || m_table.empty())
        return NOT_FOUND;
    const std::size_t mask = m_table.size() - 1;
    for (std::size_t i = home(p_o);; i = (i + 1) & mask) {
        if (m_table[i].p_o == p_o)
            return i;
        if (!m_table[i].p_o)
            return NOT_FOUND;
    }
}

void OrderedObjectSet::prefetch(const Object* p_o) const {
    if (!m_table.empty())
        __builtin_prefetch(&m_table[home(p_o)]);
}

void OrderedObjectSet::place(const Entry& entry) {
    const std::size_t mask = m_table.size() - 1;
    std::size_t i = home(entry.p_o);
    while (m_table[i].p_o)
        i = (i + 1) & mask;
    m_table[i] = entry;
}

void OrderedObjectSet::erase(std::size_t index) {
    const std::size_t mask = m_table.size() - 1;
    std::size_t gap = index;
    m_table[gap].p_o = nullptr;
    for (std::size_t i = (gap + 1) & mask; m_table[i].p_o; i = (i + 1) & mask) {
        // An entry may fill the gap unless its search starts after the gap
        // and no later than where it sits, cyclically.
        const std::size_t start = home(m_table[i].p_o);
        const bool stays = gap < i ? (start > gap && start <= i) : (start > gap || start <= i);
        if (stays)
            continue;
        m_table[gap] = m_table[i];
        m_table[i].p_o = nullptr;
        gap = i;
    }
}

bool OrderedObjectSet::grow() {
    const std::size_t size = m_table.empty() ? 16 : m_table.size() * 2;
    std::vector<Entry> old;
    try {
        old.assign(size, Entry{nullptr, 0});
    } catch (const std::bad_alloc&) {
        return false;
    }
    old.swap(m_table);
    unsigned shift = 64;
    for (std::size_t s = size; s > 1; s >>= 1)
        shift--;
    m_shift = shift;
    for (const Entry& entry : old)
        if (entry.p_o)
            place(entry);
    return true;
}

int OrderedObjectSet::insert(Object* p_o) {
    if (!p_o || contains(p_o))
        return -1;
    if ((m_slots.getCount() + 1) * 2 > m_table.size() && !grow())
        return -1;
    const std::size_t slot = m_slots.nextPlace();
    if (!m_slots.append(p_o))
        return -1;
    place(Entry{p_o, slot});
    return 0;
}

int OrderedObjectSet::remove(const Object* p_o) {
    const std::size_t index = find(p_o);
    if (index == NOT_FOUND)
        return -1;
    const std::size_t slot = m_table[index].slot;
    erase(index);
    if (m_slots.vacate(slot))
        m_slots.compact(
            [this](const Object* p_held, std::size_t slot_now) { m_table[find(p_held)].slot = slot_now; });
    return 0;
}

void OrderedObjectSet::clear() {
    m_slots.clear();
    for (Entry& entry : m_table)
        entry.p_o = nullptr;
}

} // namespace vt
