#pragma once

#include <string>

/// What the shooter's command line asks for: a game, a game recorded to a
/// replay file, or a replay of one (in a window or headless, at normal
/// speed or as fast as it goes).
class CommandLine {
  public:
    /// Exit code for a bad command line or a replay file that is refused.
    static constexpr int USAGE_ERROR = 2;
    /// Exit code for a replay that stopped matching its recording.
    static constexpr int DIVERGED = 3;

    /// Reads the arguments; -1 to go on, otherwise the exit code to end with
    /// (after a line on standard error, or the help on standard output).
    int parse(int argc, const char* const argv[]);
    /// Sets up the recording or the replay, before the engine starts; false
    /// after one line on standard error (a replay file that is refused).
    [[nodiscard]] bool prepare() const;
    /// After the last game loop, while the world still stands: notes the score.
    void noteFinalScore();
    /// After shut-down: reports how the recording or replay went; the exit code.
    [[nodiscard]] int finish() const;

  private:
    enum class Mode { PLAY, RECORD, REPLAY };
    Mode m_mode = Mode::PLAY;
    std::string m_file;
    bool m_headless = false;
    bool m_fast = false;
    int m_final_score = 0;
};
