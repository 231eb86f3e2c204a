#include "splash/SplashEvents.h"

#include "vintrel/core/GameManager.h"
#include "vintrel/events/EventKeyboard.h"
#include "vintrel/events/EventStep.h"
#include "vintrel/world/WorldManager.h"

namespace vt::splash_events {

int handle(Object* p_o, const Event* p_event, int key_result, const std::function<void()>& on_step) {
    GameManager& game_manager = GameManager::getInstance();
    if (game_manager.getGameOver()) {
        WorldManager::getInstance().markForDelete(p_o);
        return 0;
    }
    if (p_event->getType() == EVENT_KEYBOARD) {
        game_manager.setGameOver(true);
        WorldManager::getInstance().markForDelete(p_o);
        return key_result;
    }
    if (p_event->getType() != EVENT_STEP)
        return 0;
    on_step();
    return 1;
}

} // namespace vt::splash_events
