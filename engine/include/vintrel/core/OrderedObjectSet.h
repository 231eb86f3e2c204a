#pragma once

#include <cstddef>
#include <vector>

#include "vintrel/core/ObjectList.h"
#include "vintrel/core/SlotVector.h"

namespace vt {

class Object;

/// Object pointers in the order they were inserted, each held once, with
/// insertion, removal and lookup in constant time on average, for pointers
/// that may no longer point at a live object (it never looks at the objects).
/// The managers' interest lists and the world's record of the objects it
/// holds use it, so that creating or deleting N objects costs time in
/// proportion to N. It does not own the objects.
class OrderedObjectSet {
  public:
    OrderedObjectSet();

    /// Appends the pointer; -1 for null, a pointer already held, or no memory.
    int insert(Object* p_o);
    /// Removes the pointer, keeping the order of the others; -1 when not held.
    int remove(const Object* p_o);
    /// Whether the pointer is held.
    [[nodiscard]] bool contains(const Object* p_o) const { return find(p_o) != NOT_FOUND; }
    /// Number of pointers held.
    [[nodiscard]] int getCount() const { return static_cast<int>(m_slots.getCount()); }
    /// True when no pointer is held.
    [[nodiscard]] bool isEmpty() const { return m_slots.getCount() == 0; }
    /// Starts loading the memory that a lookup of the pointer will read.
    void prefetch(const Object* p_o) const;
    /// A copy of the pointers, in insertion order.
    [[nodiscard]] ObjectList toList() const { return m_slots.toList(); }
    /// Forgets every pointer.
    void clear();

  private:
    // One place of the lookup table: a pointer held and its place in m_slots.
    struct Entry {
        const Object* p_o;
        std::size_t slot;
    };
    static constexpr std::size_t NOT_FOUND = static_cast<std::size_t>(-1);

    // The table index where the pointer's search starts.
    [[nodiscard]] std::size_t home(const Object* p_o) const;
    // The table index holding the pointer, or NOT_FOUND.
    [[nodiscard]] std::size_t find(const Object* p_o) const;
    // Stores a pointer known to be absent; the table has room.
    void place(const Entry& entry);
    // Empties a table index, moving later entries of its run back into it.
    void erase(std::size_t index);
    // A table twice as large (at least 16 places); false when out of memory.
    bool grow();

    // In insertion order.
    SlotVector m_slots;
    // Open addressing with linear probing, kept at most half full; its size
    // is 0 or a power of two.
    std::vector<Entry> m_table;
    // Bits of the hash dropped to index the table.
    unsigned m_shift;
};

} // namespace vt
