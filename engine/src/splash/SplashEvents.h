#pragma once

#include <functional>

namespace vt {

class Event;
class Object;

namespace splash_events {

/// The event handling both objects of the title sequence share. Once the
/// game is over the object marks itself for deletion (0); any key ends the
/// sequence, setting game over and marking the object (key_result); a step
/// runs on_step (1); every other event is ignored (0).
int handle(Object* p_o, const Event* p_event, int key_result, const std::function<void()>& on_step);

} // namespace splash_events

} // namespace vt
