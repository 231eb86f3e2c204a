#pragma once

#include <cstddef>
#include <vector>

#include "vintrel/core/SlotVector.h"
#include "vintrel/world/ObjectList.h"

namespace vt {

class Object;

/// The world's own lists of objects, in insertion order, each object held
/// once. Every object keeps its place in the lists that hold it, one place per
/// kind of list, so insertion, removal and membership take constant time and
/// touch only the object and the list, however many objects there are. An
/// object can be in one list of each kind at a time. It does not own the objects.
class IndexedObjectList {
  public:
    /// The kinds of list an object can be in at the same time.
    enum Kind : std::size_t {
        ACTIVE_LIST,
        INACTIVE_LIST,
        TYPE_LIST,
        VISIBLE_LIST,
        SOLID_LIST,
        DELETION_LIST,
        KIND_COUNT
    };

    /// An empty list of the kind.
    explicit IndexedObjectList(Kind kind);
    IndexedObjectList(const IndexedObjectList&) = delete;
    IndexedObjectList& operator=(const IndexedObjectList&) = delete;
    /// Takes the other's objects, which keep their places.
    IndexedObjectList(IndexedObjectList&&) = default;
    /// Takes the other's objects, which keep their places.
    IndexedObjectList& operator=(IndexedObjectList&&) = default;
    /// Leaves the objects still held believing they are listed: clear first
    /// when they live on.
    ~IndexedObjectList() = default;

    /// Appends the object; -1 for null, or an object already in a list of
    /// this kind (this one or another).
    int insert(Object* p_o);
    /// Removes the object, keeping the order of the others; -1 when this list
    /// does not hold it.
    int remove(Object* p_o);
    /// Whether this list holds the object.
    [[nodiscard]] bool contains(const Object* p_o) const;
    /// Whether any list of the kind holds the object.
    [[nodiscard]] static bool isListed(const Object* p_o, Kind kind);
    /// Number of objects held.
    [[nodiscard]] int getCount() const { return static_cast<int>(m_slots.getCount()); }
    /// True when no object is held.
    [[nodiscard]] bool isEmpty() const { return m_slots.getCount() == 0; }
    /// The object inserted first of those held, or null when empty.
    [[nodiscard]] Object* first() const { return m_slots.first(); }
    /// Usually the object `ahead` places after first(): null past the end or
    /// where one was removed. For loading objects before they are needed.
    [[nodiscard]] Object* peek(std::size_t ahead) const { return m_slots.peek(ahead); }
    /// A copy of the objects, in insertion order.
    [[nodiscard]] ObjectList toList() const { return m_slots.toList(); }
    /// Removes every object.
    void clear();

  private:
    // Closes the gaps that removals left, telling the objects their new places.
    void compact();

    Kind m_kind;
    // In insertion order, at the places the objects record.
    SlotVector m_slots;
};

} // namespace vt
