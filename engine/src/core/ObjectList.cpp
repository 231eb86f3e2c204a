#include "vintrel/core/ObjectList.h"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace vt {

ObjectList::ObjectList() : m_count(0), m_capacity(0), m_p_items(nullptr) {
    m_p_items = static_cast<Object**>(std::malloc(sizeof(Object*)));
    if (m_p_items)
        m_capacity = 1;
}

ObjectList::ObjectList(const ObjectList& other) : m_count(0), m_capacity(0), m_p_items(nullptr) {
    *this = other;
}

ObjectList& ObjectList::operator=(const ObjectList& other) {
    if (this == &other)
        return *this;
    std::free(m_p_items);
    m_p_items = nullptr;
    m_count = 0;
    m_capacity = 0;
    if (other.m_capacity <= 0)
        return *this;
    m_p_items =
        static_cast<Object**>(std::malloc(sizeof(Object*) * static_cast<std::size_t>(other.m_capacity)));
    if (!m_p_items)
        return *this;
    if (other.m_count > 0)
        std::memcpy(m_p_items, other.m_p_items, sizeof(Object*) * static_cast<std::size_t>(other.m_count));
    m_count = other.m_count;
    m_capacity = other.m_capacity;
    return *this;
}

ObjectList::~ObjectList() { std::free(m_p_items); }

int ObjectList::insert(Object* p_o) {
    if (!p_o)
        return -1;
    if (m_count == m_capacity) {
        // A list that could not allocate at all starts again from one slot.
        if (m_capacity > std::numeric_limits<int>::max() / 2)
            return -1;
        const int new_capacity = m_capacity == 0 ? 1 : m_capacity * 2;
        auto* p_grown = static_cast<Object**>(
            std::realloc(m_p_items, sizeof(Object*) * static_cast<std::size_t>(new_capacity)));
        if (!p_grown)
            return -1;
        m_p_items = p_grown;
        m_capacity = new_capacity;
    }
    m_p_items[m_count++] = p_o;
    return 0;
}

int ObjectList::remove(Object* p_o) {
    for (int i = 0; i < m_count; i++) {
        if (m_p_items[i] == p_o) {
            std::memmove(&m_p_items[i], &m_p_items[i + 1],
                         sizeof(Object*) * static_cast<std::size_t>(m_count - i - 1));
            m_count--;
            return 0;
        }
    }
    return -1;
}

void ObjectList::clear() { m_count = 0; }

Object* ObjectList::operator[](int index) const {
    if (index < 0 || index >= m_count)
        throw std::out_of_range("Invalid index!");
    return m_p_items[index];
}

ObjectList ObjectList::operator+(const ObjectList& other) const {
    ObjectList sum(*this);
    for (int i = 0; i < other.m_count; i++)
        if (other.m_p_items[i])
            sum.insert(other.m_p_items[i]);
    return sum;
}

} // namespace vt
