#pragma once

#include <string>

#include "vintrel/events/Event.h"

namespace vt {

/// Changes the value shown by the view objects whose label matches the tag.
class EventView : public Event {
  public:
    EventView();
    /// An event for the view objects labelled tag: adds value when delta is true, else sets it.
    EventView(const std::string& tag, int value, bool delta);

    /// The label of the view objects to change.
    std::string getTag() const { return m_tag; }
    /// Sets the label of the view objects to change.
    void setTag(const std::string& tag) { m_tag = tag; }
    /// The value added or set.
    int getValue() const { return m_value; }
    /// Sets the value added or set.
    void setValue(int value) { m_value = value; }
    /// True: add the value to the shown number; false: replace it.
    bool getDelta() const { return m_delta; }
    /// True: add the value; false: replace the shown number.
    void setDelta(bool delta) { m_delta = delta; }

  private:
    std::string m_tag;
    int m_value;
    bool m_delta;
};

} // namespace vt
