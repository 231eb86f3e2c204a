#pragma once

#include <functional>
#include <string>
#include <vector>

#include "vintrel/events/Event.h"
#include "vintrel/events/EventCollision.h"
#include "vintrel/world/Object.h"

namespace vt::test {

/// An object that writes every event it receives as one line into a journal
/// shared with other recorders, so that tests can check the order of
/// delivery across objects. A collision reads "<receiver>: collision <mover>-><other>",
/// any other event "<receiver>: <event type>", with objects named by id.
class RecordingObject : public Object {
  public:
    explicit RecordingObject(std::vector<std::string>* p_journal = nullptr,
                             const std::string& type = "Recorder")
        : m_p_journal(p_journal) {
        setType(type);
    }
    ~RecordingObject() override {
        if (on_destroy)
            on_destroy(this);
    }

    int eventHandler(const Event* p_event) override {
        std::string line = std::to_string(getId()) + ": ";
        if (p_event->getType() == EVENT_COLLISION) {
            const auto* p_collision = static_cast<const EventCollision*>(p_event);
            line += "collision " + std::to_string(p_collision->getObject1()->getId()) + "->" +
                    std::to_string(p_collision->getObject2()->getId());
        } else {
            line += p_event->getType();
        }
        events.push_back(line);
        if (m_p_journal)
            m_p_journal->push_back(line);
        if (on_event)
            on_event(this, p_event);
        return 1;
    }

    /// Number of recorded events whose line contains the fragment.
    int count(const std::string& fragment) const {
        int n = 0;
        for (const std::string& line : events)
            if (line.find(fragment) != std::string::npos)
                n++;
        return n;
    }

    /// Lines of every event received, oldest first.
    std::vector<std::string> events;
    /// Called after recording each event.
    std::function<void(RecordingObject*, const Event*)> on_event;
    /// Called first thing in the destructor.
    std::function<void(RecordingObject*)> on_destroy;

  private:
    std::vector<std::string>* m_p_journal;
};

} // namespace vt::test
