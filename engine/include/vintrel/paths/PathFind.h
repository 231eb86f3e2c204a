#pragma once

namespace vt {

class Object;

/// One incremental path search over the cell grid, for one object.
class PathFind {
public:
    explicit PathFind(Object* p_object);
    virtual ~PathFind();
    Object* getObject() const { return m_p_object; }

private:
    Object* m_p_object;
};

} // namespace vt
