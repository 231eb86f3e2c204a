#pragma once

#include <cstddef>
#include <vector>

#include "vintrel/core/ObjectList.h"

namespace vt {

class Object;

/// Object pointers in the order they were appended, each at a numbered place
/// that stays its own while others come and go, so that whoever holds the
/// number finds the pointer again in constant time. A removal leaves a gap:
/// gaps at either end go at once, and those within are closed, renumbering
/// the places, once they outnumber the pointers, which the removals since the
/// last time pay for. The object sets and lists of the engine keep their
/// order in one. It does not own the objects.
class SlotVector {
  public:
    /// The place the next append takes.
    [[nodiscard]] std::size_t nextPlace() const { return m_base + m_slots.size(); }
    /// Appends a pointer (not null) at nextPlace(); false when out of memory.
    bool append(Object* p_o);
    /// The pointer at the place; null where one was removed or beyond either end.
    [[nodiscard]] Object* at(std::size_t place) const {
        return place >= m_base && place - m_base < m_slots.size() ? m_slots[place - m_base] : nullptr;
    }
    /// Empties a place that holds a pointer, dropping the gaps at the ends;
    /// true when the gaps within are worth closing with compact().
    bool vacate(std::size_t place);
    /// Closes every gap, numbering the pointers from 0 in order, and calls
    /// `renumber(p_o, place)` for each so that its holder learns the new place.
    template <typename Renumber> void compact(Renumber renumber) {
        std::size_t kept = 0;
        for (std::size_t i = m_head; i < m_slots.size(); i++) {
            Object* p_o = m_slots[i];
            if (!p_o)
                continue;
            m_slots[kept] = p_o;
            renumber(p_o, kept);
            kept++;
        }
        m_slots.resize(kept);
        m_base = 0;
        m_head = 0;
    }
    /// Number of pointers held.
    [[nodiscard]] std::size_t getCount() const { return m_count; }
    /// The pointer appended first of those held, or null when empty.
    [[nodiscard]] Object* first() const { return m_count > 0 ? m_slots[m_head] : nullptr; }
    /// The entry `ahead` places after first(): null past the end or where a
    /// pointer was removed.
    [[nodiscard]] Object* peek(std::size_t ahead) const {
        return m_head + ahead < m_slots.size() ? m_slots[m_head + ahead] : nullptr;
    }
    /// Calls `visit(p_o)` for each pointer held, in order.
    template <typename Visit> void forEach(Visit visit) const {
        for (std::size_t i = m_head; i < m_slots.size(); i++)
            if (m_slots[i])
                visit(m_slots[i]);
    }
    /// A copy of the pointers, in order.
    [[nodiscard]] ObjectList toList() const;
    /// Forgets every pointer; places start again from 0.
    void clear();

  private:
    // In order; null where a pointer was removed.
    std::vector<Object*> m_slots;
    // The place of m_slots[0].
    std::size_t m_base = 0;
    // The first pointer held is at m_slots[m_head]; only gaps come before.
    std::size_t m_head = 0;
    std::size_t m_count = 0;
};

} // namespace vt
