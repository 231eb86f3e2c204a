#pragma once

namespace vt {

class Object;
class ObjectList;

/// A cursor over an ObjectList. It walks the list itself, not a copy.
class ObjectListIterator {
  public:
    /// A cursor at the start of the list, which must outlive it.
    explicit ObjectListIterator(const ObjectList* p_list);

    /// Moves the cursor back to the first object.
    void first() { m_index = 0; }
    /// Moves forward by one, never past the end.
    void next();
    /// True when the cursor is past the last object.
    bool isDone() const;
    /// The object at the cursor, or null when done.
    Object* currentObject() const;

  private:
    int m_index;
    const ObjectList* m_p_list;
};

} // namespace vt
