#include "vintrel/core/SlotVector.h"

#include <new>

namespace vt {

namespace {

// Fewer gaps than this are never worth closing.
constexpr std::size_t MIN_GAPS = 16;

} // namespace

bool SlotVector::append(Object* p_o) {
    try {
        m_slots.push_back(p_o);
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_count++;
    return true;
}

bool SlotVector::vacate(std::size_t place) {
    m_slots[place - m_base] = nullptr;
    m_count--;
    if (m_count == 0) {
        clear();
        return false;
    }
    while (!m_slots.back())
        m_slots.pop_back();
    while (!m_slots[m_head])
        m_head++;
    // Emptied from the front, as a queue is, it drops its leading gaps
    // without renumbering: places count from m_base.
    if (m_head >= MIN_GAPS && m_head >= m_slots.size() / 2) {
        m_slots.erase(m_slots.begin(), m_slots.begin() + static_cast<std::ptrdiff_t>(m_head));
        m_base += m_head;
        m_head = 0;
    }
    const std::size_t gaps = m_slots.size() - m_head - m_count;
    return gaps >= MIN_GAPS && gaps > m_count;
}

ObjectList SlotVector::toList() const {
    ObjectList list;
    forEach([&list](Object* p_o) { list.insert(p_o); });
    return list;
}

void SlotVector::clear() {
    m_slots.clear();
    m_base = 0;
    m_head = 0;
    m_count = 0;
}

} // namespace vt
