#include "vintrel/core/ObjectListIterator.h"

#include "vintrel/core/ObjectList.h"

namespace vt {

ObjectListIterator::ObjectListIterator(const ObjectList* p_list) : m_index(0), m_p_list(p_list) {}

void ObjectListIterator::next() {
    if (m_index < m_p_list->getCount())
        m_index++;
}

bool ObjectListIterator::isDone() const { return m_index >= m_p_list->getCount(); }

Object* ObjectListIterator::currentObject() const { return isDone() ? nullptr : (*m_p_list)[m_index]; }

} // namespace vt
