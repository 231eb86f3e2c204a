#include "vintrel/world/IndexedObjectList.h"

#include <climits>

#include "vintrel/world/Object.h"

namespace vt {

IndexedObjectList::IndexedObjectList(Kind kind) : m_kind(kind), m_slots() {
    static_assert(sizeof(Object::m_list_slot) / sizeof(Object::m_list_slot[0]) == KIND_COUNT,
                  "an object keeps one place per kind of list");
}

bool IndexedObjectList::isListed(const Object* p_o, Kind kind) { return p_o && p_o->m_list_slot[kind] != -1; }

void IndexedObjectList::compact() {
    m_slots.compact(
        [this](Object* p_o, std::size_t place) { p_o->m_list_slot[m_kind] = static_cast<int>(place); });
}

int IndexedObjectList::insert(Object* p_o) {
    if (!p_o || p_o->m_list_slot[m_kind] != -1)
        return -1;
    // Places only grow; numbering them again from 0 keeps them in an int.
    if (m_slots.nextPlace() >= static_cast<std::size_t>(INT_MAX))
        compact();
    const std::size_t place = m_slots.nextPlace();
    if (!m_slots.append(p_o))
        return -1;
    p_o->m_list_slot[m_kind] = static_cast<int>(place);
    return 0;
}

bool IndexedObjectList::contains(const Object* p_o) const {
    return p_o && p_o->m_list_slot[m_kind] >= 0 &&
           m_slots.at(static_cast<std::size_t>(p_o->m_list_slot[m_kind])) == p_o;
}

int IndexedObjectList::remove(Object* p_o) {
    if (!contains(p_o))
        return -1;
    const auto place = static_cast<std::size_t>(p_o->m_list_slot[m_kind]);
    p_o->m_list_slot[m_kind] = -1;
    if (m_slots.vacate(place))
        compact();
    return 0;
}

void IndexedObjectList::clear() {
    m_slots.forEach([this](Object* p_o) { p_o->m_list_slot[m_kind] = -1; });
    m_slots.clear();
}

} // namespace vt
