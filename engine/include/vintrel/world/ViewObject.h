#pragma once

#include <cstdint>
#include <string>

#include "vintrel/core/Color.h"
#include "vintrel/world/Object.h"

namespace vt {

/// Attribute bits of the modified mask that belong to view objects.
enum ViewObjectAttribute : std::uint32_t {
    VALUE = 0x40000,      ///< the value shown
    APPEARANCE = 0x80000, ///< label, border, colour, location, draw_value and position
};

/// The nine places of the screen a view object can sit at.
enum ViewLocation : int {
    TOP_LEFT = 0,
    TOP_CENTER = 1,
    TOP_RIGHT = 2,
    CENTER_LEFT = 3,
    CENTER_CENTER = 4,
    CENTER_RIGHT = 5,
    BOTTOM_LEFT = 6,
    BOTTOM_CENTER = 7,
    BOTTOM_RIGHT = 8,
};

/// "top-left" ... "bot-right" for locations 0 to 8, "unknown" otherwise.
std::string locationToString(int location);

/// A label with an optional number, drawn on the screen rather than in the
/// world (its position is in view coordinates), optionally framed. An
/// EventView whose tag equals the label sets or adds to the number.
class ViewObject : public Object {
  public:
    /// Spectral, altitude 4, at the top centre, framed, showing 0.
    ViewObject();
    ~ViewObject() override;

    /// Moves it in view coordinates; it then stays there when the border changes.
    int setPosition(const Vector& view_pos) override;
    /// EventViews with this label change the value; other events go to Object.
    int eventHandler(const Event* p_event) override;
    /// Draws the label, value and frame; the sum of the drawing results.
    int draw() override;
    /// Writes the object's record, then VALUE and APPEARANCE when in attr
    /// (0: when modified); 0 or -1.
    int serialize(std::stringstream* p_ss, std::uint32_t attr = 0) override;
    /// Reads a record written by serialize and applies it through the
    /// setters; the mask read goes to p_mask when given. 0 or -1.
    int deserialize(std::stringstream* p_ss, std::uint32_t* p_mask = nullptr) override;

    /// Places it at one of the nine locations (0 to 8); others are refused with a warning.
    virtual void setLocation(int location);
    /// With false, only the label is shown.
    virtual void setDrawValue(bool draw_value = true);
    /// Sets the number shown.
    virtual void setValue(int value);
    /// Framing adds a row above and below, so a placed view object moves by one row.
    virtual void setBorder(bool border);
    /// Colour of the label, the number and the frame.
    virtual void setColor(Color color);
    /// Sets the label; EventViews tagged with it change the number.
    virtual void setViewString(const std::string& view_string);

    /// The label; EventViews tagged with it change the number.
    std::string getViewString() const { return m_view_string; }
    /// The number shown.
    int getValue() const { return m_value; }
    /// True when the number is shown after the label.
    bool getDrawValue() const { return m_draw_value; }
    /// True when framed.
    bool getBorder() const { return m_border; }
    /// Colour of the label, the number and the frame.
    Color getColor() const { return m_color; }
    /// 0 to 8, or -1 after the position was set directly.
    int getLocation() const { return m_location; }

  protected:
    /// With true, a record whose location is -1 (a view object placed by
    /// position) keeps the position the record gave, without the warning
    /// that setLocation(-1) logs: for copies that follow another process's
    /// view objects record by record. Off by default.
    void setAcceptsPlacedRecords(bool accepts) { m_accepts_placed_records = accepts; }

  private:
    void mark(std::uint32_t attributes);

    std::string m_view_string;
    std::int32_t m_value;
    bool m_draw_value;
    bool m_border;
    Color m_color;
    int m_location;
    bool m_accepts_placed_records = false;
};

} // namespace vt
