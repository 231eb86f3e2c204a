#pragma once

#include <string>

#include "vintrel/core/Manager.h"
#include "vintrel/core/Version.h"

namespace vt {

/// The top manager: starts the others in order, runs the fixed-rate game
/// loop and stops them again. Objects register with it for "vt-step".
class GameManager : public Manager {
  public:
    /// The one game manager, made on first use.
    static GameManager& getInstance();
    ~GameManager() override;

    /// True only for "vt-step".
    bool isValid(const std::string& event_type) const override;
    /// Loads the configuration and starts every manager; 0 or -1.
    int startUp() override;
    /// Stops every started manager in reverse order, the log last.
    void shutDown() override;

    /// The game loop; returns after the step in which game over was set.
    void run();
    /// With true, the running game loop ends after the current step.
    void setGameOver(bool game_over = true);
    /// True once game over was set; every run() starts with false.
    bool getGameOver() const;
    /// Target duration of one step, in milliseconds.
    int getFrameTime() const;
    /// The step in progress of the current run (0 in the first); 0 again once shut down.
    int getStepCount() const;
    /// Puts back what a fresh process holds in the engine's process-wide
    /// state, so that a second start is as clean as the first: the default
    /// configuration, the log's level and format, game over unset, the path
    /// manager's limits, object numbering from 1, the system's clock and an
    /// unopened save. 0, or -1 after a log line while the engine runs.
    int restoreDefaults();

  private:
    GameManager();
    /// Keeps the step count and tells the log, which shows it on every line.
    void setStepCount(int step_count);
};

} // namespace vt
