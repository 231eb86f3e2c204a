#pragma once

namespace vt {

class Object;

/// A growable array of object pointers. It does not own the objects; copies
/// share them. Capacity doubles when full.
class ObjectList {
  public:
    ObjectList();
    /// A copy sharing the same objects.
    ObjectList(const ObjectList& other);
    /// Makes this list a copy of the other, sharing its objects.
    ObjectList& operator=(const ObjectList& other);
    ~ObjectList();

    /// Appends the pointer; -1 for null or when the array cannot grow.
    int insert(Object* p_o);
    /// Removes the first occurrence, keeping the order of the rest; -1 when absent.
    int remove(Object* p_o);
    /// Empties the list, keeping its storage.
    void clear();
    /// Number of pointers held.
    int getCount() const { return m_count; }
    /// True when no pointer is held.
    bool isEmpty() const { return m_count == 0; }
    /// Number of slots allocated.
    int getCapacity() const { return m_capacity; }

    /// The pointer at the index; throws std::out_of_range("Invalid index!")
    /// outside 0 .. count - 1.
    Object* operator[](int index) const;
    /// This list's pointers followed by the other's non-null ones.
    ObjectList operator+(const ObjectList& other) const;

  private:
    int m_count;
    int m_capacity;
    Object** m_p_items;
};

} // namespace vt
