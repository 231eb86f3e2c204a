#pragma once

#include <functional>

namespace vt {

/// What the game loop knows that the managers below it need: whether the game
/// is over, the step in progress, the frame time and whether the engine runs.
/// The game manager keeps it; input, pause, replays, paths and the network
/// read it and end the game through it, so none of them calls up into the
/// game manager.
class LoopState {
  public:
    /// The one loop state of the process.
    static LoopState& getInstance();
    LoopState(const LoopState&) = delete;
    LoopState& operator=(const LoopState&) = delete;

    /// True once the running game loop is to end after the current step.
    [[nodiscard]] bool getGameOver() const { return m_game_over; }
    /// Sets game over and tells the one listener (the game manager's).
    void setGameOver(bool game_over);
    /// Called with each new game-over value; the game manager passes the
    /// news on to the world above this layer.
    void setGameOverListener(std::function<void(bool)> listener);

    /// The step in progress of the current run (0 in the first).
    [[nodiscard]] int getStepCount() const { return m_step_count; }
    /// Written by the game loop alone.
    void setStepCount(int step_count) { m_step_count = step_count; }

    /// Target duration of one step, in milliseconds, as the engine started with.
    [[nodiscard]] int getFrameTime() const { return m_frame_time; }
    /// Written by the game manager at start-up.
    void setFrameTime(int frame_time) { m_frame_time = frame_time; }

    /// True from the game manager's start-up until its shut-down.
    [[nodiscard]] bool isEngineStarted() const { return m_engine_started; }
    /// Written by the game manager at start-up and shut-down.
    void setEngineStarted(bool started) { m_engine_started = started; }

  private:
    LoopState() = default;

    bool m_game_over = false;
    int m_step_count = 0;
    int m_frame_time = 0;
    bool m_engine_started = false;
    std::function<void(bool)> m_game_over_listener;
};

} // namespace vt
