#pragma once

#include <string>

#include "vintrel/events/Event.h"

namespace vt {

/// Changes the value shown by the view objects whose label matches the tag.
class EventView : public Event {
  public:
    EventView();
    EventView(const std::string& tag, int value, bool delta);

    std::string getTag() const { return m_tag; }
    void setTag(const std::string& tag) { m_tag = tag; }
    int getValue() const { return m_value; }
    void setValue(int value) { m_value = value; }
    /// True: add the value to the shown number; false: replace it.
    bool getDelta() const { return m_delta; }
    void setDelta(bool delta) { m_delta = delta; }

  private:
    std::string m_tag;
    int m_value;
    bool m_delta;
};

} // namespace vt
