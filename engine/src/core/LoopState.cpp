#include "core/LoopState.h"

#include <utility>

namespace vt {

LoopState& LoopState::getInstance() {
    static LoopState loop_state;
    return loop_state;
}

void LoopState::setGameOver(bool game_over) {
    m_game_over = game_over;
    if (m_game_over_listener)
        m_game_over_listener(game_over);
}

void LoopState::setGameOverListener(std::function<void(bool)> listener) {
    m_game_over_listener = std::move(listener);
}

} // namespace vt
