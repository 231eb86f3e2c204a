#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "vintrel/core/ObjectList.h"
#include "vintrel/core/OrderedObjectSet.h"

namespace vt {

class Event;
class Object;

/// Most distinct event types one manager keeps interest for.
constexpr int MAX_EVENTS = 100;

/// Base of every engine manager: a type string, the started flag and the
/// table of objects interested in each event type this manager delivers.
class Manager {
  public:
    Manager();
    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    /// True when this manager delivers events of the given type.
    virtual bool isValid(const std::string& event_type) const;
    virtual ~Manager();
    /// Marks the manager started; returns 0.
    virtual int startUp();
    /// Marks the manager stopped.
    virtual void shutDown();

    /// The manager's class name, such as "WorldManager".
    std::string getType() const;
    /// Sets the name getType() returns.
    void setType(const std::string& type);
    /// True between a successful startUp() and shutDown().
    bool isStarted() const;

    /// Adds the object to the event type's list; 0 or -1.
    int registerInterest(Object* p_o, const std::string& event_type);
    /// Removes the object from the event type's list; 0 or -1.
    int unregisterInterest(Object* p_o, const std::string& event_type);
    /// Delivers the event to every active interested object; returns how many.
    int onEvent(const Event* p_event) const;

    /// Number of event types with at least one interested object.
    int getEventCount() const;
    /// Name of interest slot i (0 .. getEventCount() - 1).
    std::string getEventName(int index) const;
    /// A copy of the objects interested in the event type (empty if none).
    ObjectList getInterested(const std::string& event_type) const;
    /// Handler calls made by every manager's onEvent since the process began
    /// (the debug overlay shows them per step).
    static std::uint64_t getEventsDelivered() { return s_events_delivered; }

  protected:
    /// For a manager's own startUp(): when already started, logs the warning
    /// and returns true, and the caller refuses with -1.
    [[nodiscard]] bool refuseSecondStart() const;

  private:
    std::string m_type;
    // Dense interest table: slots 0 .. size-1 hold distinct names with non-empty lists.
    std::vector<std::string> m_event_name;
    std::vector<OrderedObjectSet> m_obj_list;
    bool m_is_started;
    // The game loop's thread alone delivers events.
    static std::uint64_t s_events_delivered;
};

} // namespace vt
