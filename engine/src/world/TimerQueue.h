#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "vintrel/events/EventTimer.h"

namespace vt {

class Object;

// The step timers of one group of objects: those outside every scene, or
// those of one scene. The group has a clock of its own, which moves on only
// when advance() is called, so that a covered scene's timers wait with it.
//
// Pending timers sit in a binary min-heap keyed by (due step, start order),
// so that a step costs time in proportion to the timers that fall due, not
// to those pending. Cancelling leaves the timer's heap entry behind, to be
// passed over when it comes up; the heap is rebuilt once such stale entries
// outnumber the live ones, which bounds it to twice the pending timers.
class TimerQueue {
  public:
    TimerQueue();

    // Starts (or, for a name the object already uses, restarts) a timer due
    // `steps` advances from now. The caller checks the arguments and the
    // per-object limit.
    void start(Object* p_o, const std::string& name, int steps, TimerRepeat repeat);
    // Removes the object's timer of that name; false when it has none.
    bool cancel(const Object* p_o, const std::string& name);
    // Removes every timer of the object.
    void cancelAll(const Object* p_o);
    // Forgets every timer.
    void clear();
    // Moves the clock on by one step and sends each timer that falls due its
    // event, in (due step, start order) order; repeating ones are due again
    // a period later.
    void advance();

    // Whether the object has a timer of that name.
    bool has(const Object* p_o, const std::string& name) const;
    // Number of timers the object has pending.
    int countOf(const Object* p_o) const;
    // Number of timers pending in all.
    int size() const { return static_cast<int>(m_timers.size() - m_free.size()); }

  private:
    struct Timer {
        Object* p_o = nullptr;
        std::string name;
        std::uint64_t due = 0;
        // Ties between timers due in one step go to the one started first.
        std::uint64_t order = 0;
        int steps = 0;
        TimerRepeat repeat = TIMER_ONCE;
        // Counts the slot's uses, so that a heap entry of an earlier use is
        // recognised as stale.
        std::uint32_t generation = 0;
        bool live = false;
    };
    struct Due {
        std::uint64_t step;
        std::uint64_t order;
        std::uint32_t slot;
        std::uint32_t generation;
    };

    // The heap's order: true when a falls due after b.
    static bool later(const Due& a, const Due& b);
    // The slot of the object's timer of that name, or -1.
    long find(const Object* p_o, const std::string& name) const;
    // Empties a slot, leaving its heap entry stale.
    void release(std::uint32_t slot);
    void push(std::uint32_t slot);
    // Drops the stale heap entries.
    void rebuild();

    std::vector<Timer> m_timers;
    std::vector<std::uint32_t> m_free;
    std::vector<Due> m_heap;
    std::size_t m_stale;
    // The slots of each object's timers, at most MAX_OBJECT_TIMERS.
    std::unordered_map<const Object*, std::vector<std::uint32_t>> m_by_object;
    std::uint64_t m_step;
    std::uint64_t m_next_order;
};

} // namespace vt
