#include "vintrel/world/IndexedObjectList.h"

#include <climits>
#include <new>

#include "vintrel/world/Object.h"

namespace vt {

namespace {

// Fewer gaps than this are never worth closing.
constexpr std::size_t MIN_GAPS = 16;

} // namespace

IndexedObjectList::IndexedObjectList(Kind kind) : m_kind(kind), m_slots(), m_base(0), m_head(0), m_count(0) {
    static_assert(sizeof(Object::m_list_slot) / sizeof(Object::m_list_slot[0]) == KIND_COUNT,
                  "an object keeps one place per kind of list");
}

bool IndexedObjectList::isListed(const Object* p_o, Kind kind) { return p_o && p_o->m_list_slot[kind] != -1; }

std::size_t IndexedObjectList::indexOf(const Object* p_o) const {
    const int place = p_o->m_list_slot[m_kind];
    if (place < m_base)
        return m_slots.size();
    const auto index = static_cast<std::size_t>(place - m_base);
    return index < m_slots.size() && m_slots[index] == p_o ? index : m_slots.size();
}

int IndexedObjectList::insert(Object* p_o) {
    if (!p_o || p_o->m_list_slot[m_kind] != -1)
        return -1;
    // Places only grow; numbering them again from 0 keeps them in an int.
    if (m_slots.size() >= static_cast<std::size_t>(INT_MAX - m_base))
        compact();
    try {
        m_slots.push_back(p_o);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    p_o->m_list_slot[m_kind] = m_base + static_cast<int>(m_slots.size() - 1);
    m_count++;
    return 0;
}

bool IndexedObjectList::contains(const Object* p_o) const { return p_o && indexOf(p_o) != m_slots.size(); }

int IndexedObjectList::remove(Object* p_o) {
    if (!contains(p_o))
        return -1;
    m_slots[indexOf(p_o)] = nullptr;
    p_o->m_list_slot[m_kind] = -1;
    m_count--;
    if (m_count == 0) {
        m_slots.clear();
        m_base = 0;
        m_head = 0;
        return 0;
    }
    while (!m_slots.back())
        m_slots.pop_back();
    while (!m_slots[m_head])
        m_head++;
    // A list emptied from the front, as a queue is, drops its leading gaps
    // without touching the objects: their places count from m_base.
    if (m_head >= MIN_GAPS && m_head >= m_slots.size() / 2) {
        m_slots.erase(m_slots.begin(), m_slots.begin() + static_cast<std::ptrdiff_t>(m_head));
        m_base += static_cast<int>(m_head);
        m_head = 0;
    }
    // Gaps within are closed by moving the objects, which the removals since
    // the last time pay for.
    const std::size_t gaps = m_slots.size() - m_head - static_cast<std::size_t>(m_count);
    if (gaps >= MIN_GAPS && gaps > static_cast<std::size_t>(m_count))
        compact();
    return 0;
}

Object* IndexedObjectList::first() const { return m_count > 0 ? m_slots[m_head] : nullptr; }

Object* IndexedObjectList::peek(std::size_t ahead) const {
    return m_head + ahead < m_slots.size() ? m_slots[m_head + ahead] : nullptr;
}

ObjectList IndexedObjectList::toList() const {
    ObjectList list;
    for (std::size_t i = m_head; i < m_slots.size(); i++)
        if (m_slots[i])
            list.insert(m_slots[i]);
    return list;
}

void IndexedObjectList::clear() {
    for (Object* p_o : m_slots)
        if (p_o)
            p_o->m_list_slot[m_kind] = -1;
    m_slots.clear();
    m_base = 0;
    m_head = 0;
    m_count = 0;
}

void IndexedObjectList::compact() {
    std::size_t kept = 0;
    for (std::size_t i = m_head; i < m_slots.size(); i++) {
        Object* p_o = m_slots[i];
        if (!p_o)
            continue;
        m_slots[kept] = p_o;
        p_o->m_list_slot[m_kind] = static_cast<int>(kept);
        kept++;
    }
    m_slots.resize(kept);
    m_base = 0;
    m_head = 0;
}

} // namespace vt
