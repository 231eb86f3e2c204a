#include "vintrel/core/Manager.h"

#include <utility>

#include "vintrel/core/LogManager.h"
#include "vintrel/core/ObjectListIterator.h"
#include "vintrel/core/Text.h"
#include "vintrel/events/Event.h"
#include "vintrel/world/Object.h"

namespace vt {

Manager::Manager() : m_type("Manager"), m_is_started(false) {}

Manager::~Manager() = default;

bool Manager::isValid(const std::string&) const { return false; }

int Manager::startUp() {
    if (m_is_started)
        LogManager::getInstance().writeLog(1, "Manager::startUp(): Warning! %s already started.",
                                           m_type.c_str());
    m_is_started = true;
    return 0;
}

bool Manager::refuseSecondStart() const {
    if (!m_is_started)
        return false;
    LogManager::getInstance().writeLog("%s::startup(): Warning! %s already started.", m_type.c_str(),
                                       m_type.c_str());
    return true;
}

void Manager::shutDown() {
    if (!m_is_started)
        LogManager::getInstance().writeLog(1, "Manager::shutDown(): Warning! %s not started.",
                                           m_type.c_str());
    m_is_started = false;
}

std::string Manager::getType() const { return m_type; }

void Manager::setType(const std::string& type) { m_type = type; }

bool Manager::isStarted() const { return m_is_started; }

int Manager::registerInterest(Object* p_o, const std::string& event_type) {
    if (!isValid(event_type)) {
        LogManager::getInstance().writeLog(
            "Manager(%s)::registerInterest(): Event '%s' not valid for this Manager", m_type.c_str(),
            clipForLog(event_type).c_str());
        return -1;
    }

    for (std::size_t i = 0; i < m_event_name.size(); i++) {
        if (m_event_name[i] != event_type)
            continue;
        if (m_obj_list[i].contains(p_o)) {
            LogManager::getInstance().writeLog(
                1, "Manager::registerInterest(): Warning! Not adding id %d (%s) twice for event %s.",
                p_o->getId(), p_o->getType().c_str(), event_type.c_str());
            return 0;
        }
        return m_obj_list[i].insert(p_o);
    }

    if (static_cast<int>(m_event_name.size()) >= MAX_EVENTS)
        return -1;
    OrderedObjectSet list;
    if (list.insert(p_o) == -1)
        return -1;
    m_event_name.push_back(event_type);
    m_obj_list.push_back(std::move(list));
    return 0;
}

int Manager::unregisterInterest(Object* p_o, const std::string& event_type) {
    for (std::size_t i = 0; i < m_event_name.size(); i++) {
        if (m_event_name[i] != event_type)
            continue;
        if (m_obj_list[i].remove(p_o) == -1)
            return -1;
        if (m_obj_list[i].isEmpty()) {
            // Keep the table dense, later slots moving down in order.
            m_event_name.erase(m_event_name.begin() + static_cast<std::ptrdiff_t>(i));
            m_obj_list.erase(m_obj_list.begin() + static_cast<std::ptrdiff_t>(i));
        }
        return 0;
    }
    return -1;
}

int Manager::onEvent(const Event* p_event) const {
    const std::string event_type = p_event->getType();
    if (event_type == EVENT_UNDEFINED) {
        LogManager::getInstance().writeLog(1, "Manager(%s)::onEvent(): Warning! Event type %s is undefined.",
                                           m_type.c_str(), event_type.c_str());
        return 0;
    }
    if (!isValid(event_type)) {
        LogManager::getInstance().writeLog(1, "Manager(%s)::onEvent(): Error! Event type %s not valid.",
                                           m_type.c_str(), event_type.c_str());
        return 0;
    }

    int count = 0;
    for (std::size_t i = 0; i < m_event_name.size(); i++) {
        if (m_event_name[i] != event_type)
            continue;
        // A copy, so handlers may register and unregister during delivery.
        ObjectList receivers = m_obj_list[i].toList();
        ObjectListIterator li(&receivers);
        for (li.first(); !li.isDone(); li.next()) {
            Object* p_o = li.currentObject();
            // A covered scene's objects are frozen: they hear nothing.
            if (p_o->isActive() && !p_o->isFrozen()) {
                p_o->eventHandler(p_event);
                count++;
            }
        }
        // Handlers may have reshaped the table; names are distinct, so stop here.
        break;
    }
    s_events_delivered += static_cast<std::uint64_t>(count);
    return count;
}

std::uint64_t Manager::s_events_delivered = 0;

int Manager::getEventCount() const { return static_cast<int>(m_event_name.size()); }

std::string Manager::getEventName(int index) const {
    if (index < 0 || index >= getEventCount())
        return "";
    return m_event_name[static_cast<std::size_t>(index)];
}

ObjectList Manager::getInterested(const std::string& event_type) const {
    for (std::size_t i = 0; i < m_event_name.size(); i++)
        if (m_event_name[i] == event_type)
            return m_obj_list[i].toList();
    return ObjectList();
}

} // namespace vt
