#include "world/TimerQueue.h"

#include <algorithm>

#include "vintrel/world/Object.h"

namespace vt {

namespace {

// A few stale entries are cheaper to pass over than to rebuild for.
constexpr std::size_t MIN_STALE_FOR_REBUILD = 64;

} // namespace

TimerQueue::TimerQueue() : m_stale(0), m_step(0), m_next_order(0) {}

bool TimerQueue::later(const Due& a, const Due& b) {
    return a.step != b.step ? a.step > b.step : a.order > b.order;
}

long TimerQueue::find(const Object* p_o, const std::string& name) const {
    const auto found = m_by_object.find(p_o);
    if (found == m_by_object.end())
        return -1;
    for (const std::uint32_t slot : found->second)
        if (m_timers[slot].name == name)
            return static_cast<long>(slot);
    return -1;
}

void TimerQueue::start(Object* p_o, const std::string& name, int steps, TimerRepeat repeat) {
    cancel(p_o, name);
    std::uint32_t slot = 0;
    if (m_free.empty()) {
        slot = static_cast<std::uint32_t>(m_timers.size());
        m_timers.emplace_back();
    } else {
        slot = m_free.back();
        m_free.pop_back();
    }
    Timer& timer = m_timers[slot];
    timer.p_o = p_o;
    timer.name = name;
    timer.due = m_step + static_cast<std::uint64_t>(steps);
    timer.order = m_next_order++;
    timer.steps = steps;
    timer.repeat = repeat;
    timer.generation++;
    timer.live = true;
    m_by_object[p_o].push_back(slot);
    push(slot);
}

void TimerQueue::push(std::uint32_t slot) {
    const Timer& timer = m_timers[slot];
    m_heap.push_back({timer.due, timer.order, slot, timer.generation});
    std::push_heap(m_heap.begin(), m_heap.end(), later);
}

void TimerQueue::release(std::uint32_t slot) {
    Timer& timer = m_timers[slot];
    const auto owner = m_by_object.find(timer.p_o);
    if (owner != m_by_object.end()) {
        std::vector<std::uint32_t>& slots = owner->second;
        slots.erase(std::find(slots.begin(), slots.end(), slot));
        if (slots.empty())
            m_by_object.erase(owner);
    }
    timer.live = false;
    timer.p_o = nullptr;
    timer.name.clear();
    m_free.push_back(slot);
}

bool TimerQueue::cancel(const Object* p_o, const std::string& name) {
    const long slot = find(p_o, name);
    if (slot < 0)
        return false;
    release(static_cast<std::uint32_t>(slot));
    m_stale++;
    if (m_stale >= MIN_STALE_FOR_REBUILD && m_stale > m_heap.size() / 2)
        rebuild();
    return true;
}

void TimerQueue::cancelAll(const Object* p_o) {
    const auto found = m_by_object.find(p_o);
    if (found == m_by_object.end())
        return;
    // release() edits the list it would be walking.
    const std::vector<std::uint32_t> slots = found->second;
    for (const std::uint32_t slot : slots) {
        release(slot);
        m_stale++;
    }
    if (m_stale >= MIN_STALE_FOR_REBUILD && m_stale > m_heap.size() / 2)
        rebuild();
}

void TimerQueue::clear() {
    m_timers.clear();
    m_free.clear();
    m_heap.clear();
    m_by_object.clear();
    m_stale = 0;
}

void TimerQueue::rebuild() {
    const auto stale = [this](const Due& entry) {
        const Timer& timer = m_timers[entry.slot];
        return !timer.live || timer.generation != entry.generation;
    };
    m_heap.erase(std::remove_if(m_heap.begin(), m_heap.end(), stale), m_heap.end());
    std::make_heap(m_heap.begin(), m_heap.end(), later);
    m_stale = 0;
}

void TimerQueue::advance() {
    m_step++;
    while (!m_heap.empty() && m_heap.front().step <= m_step) {
        std::pop_heap(m_heap.begin(), m_heap.end(), later);
        const Due entry = m_heap.back();
        m_heap.pop_back();
        Timer& timer = m_timers[entry.slot];
        if (!timer.live || timer.generation != entry.generation) {
            m_stale--;
            continue;
        }
        // The timer is settled before its handler runs, which may cancel,
        // restart or start timers, this one included.
        Object* p_o = timer.p_o;
        const EventTimer event(timer.name, timer.steps, timer.repeat);
        if (timer.repeat == TIMER_REPEATING) {
            timer.due = m_step + static_cast<std::uint64_t>(timer.steps);
            push(entry.slot);
        } else {
            release(entry.slot);
        }
        // Like every other event, a timer's goes only to objects in play.
        if (p_o->isActive() && !p_o->isFrozen())
            p_o->eventHandler(&event);
    }
}

bool TimerQueue::has(const Object* p_o, const std::string& name) const { return find(p_o, name) >= 0; }

int TimerQueue::countOf(const Object* p_o) const {
    const auto found = m_by_object.find(p_o);
    return found == m_by_object.end() ? 0 : static_cast<int>(found->second.size());
}

} // namespace vt
