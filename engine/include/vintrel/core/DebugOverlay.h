#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace vt {

/// What the debug overlay shows, in the order its key steps through them.
enum class OverlayMode {
    OFF,      ///< nothing, and nothing measured
    FIGURES,  ///< the loop's times and the world's counts, top left
    OUTLINES, ///< the figures, and every object's box and the grid's occupied cells
};

/// A developer's view of the running game, drawn above everything by the
/// game loop: step and draw times, steps that could not keep up, objects
/// per altitude, collisions and events per step, the network's connections
/// and bytes, and whether the run is recorded or replayed. Its key
/// (`debug_overlay_key`, F12 by default) goes OFF, FIGURES, OUTLINES, OFF;
/// the key never reaches the game's objects nor a recording, and the
/// overlay only reads the world, so a run plays the same with it or without.
class DebugOverlay {
  public:
    /// Mean and worst are over the steps of the last second.
    struct Timing {
        double last_ms = 0.0;  ///< the latest step's, in milliseconds
        double mean_ms = 0.0;  ///< the mean, in milliseconds
        double worst_ms = 0.0; ///< the longest, in milliseconds
    };

    /// The one overlay, made on first use.
    static DebugOverlay& getInstance();
    DebugOverlay(const DebugOverlay&) = delete;
    DebugOverlay& operator=(const DebugOverlay&) = delete;

    /// Shows the mode from the next frame; OFF forgets the times measured.
    void setMode(OverlayMode mode);
    /// The mode shown.
    [[nodiscard]] OverlayMode getMode() const { return m_mode; }
    /// True unless OFF.
    [[nodiscard]] bool isOn() const { return m_mode != OverlayMode::OFF; }
    /// Steps to the next mode, as the key does.
    void advanceMode();

    /// Takes one step's times, in microseconds: the step up to drawing, and
    /// the world's drawing; at_us is when the step began, on any clock that
    /// only grows. The game loop calls it while the overlay is on.
    void noteStep(std::int64_t step_us, std::int64_t draw_us, std::int64_t at_us);
    /// Counts a step that could not keep up ("Can't keep up!" in the log).
    void noteLaggingStep() { m_lagging_steps++; }
    /// Steps that could not keep up since start-up.
    [[nodiscard]] int getLaggingSteps() const { return m_lagging_steps; }

    /// Step times (the step event, showing the last frame, input and moving
    /// the world) over the last second.
    [[nodiscard]] Timing getStepTiming() const { return timingOf(true); }
    /// Drawing times of the world over the last second.
    [[nodiscard]] Timing getDrawTiming() const { return timingOf(false); }

    /// The figures as the overlay shows them, one text per row, read from
    /// the managers now; the events and bytes per step are the last noted
    /// step's. A sprite file that failed to reload comes last, in red.
    [[nodiscard]] std::vector<std::string> figureLines() const;
    /// Draws the mode's figures and outlines over what the world drew; the
    /// game loop calls it each step while the overlay is on. 0, or -1 when
    /// there is nothing to draw into.
    int draw();
    /// Puts the overlay back as at start-up: OFF, nothing counted.
    void reset();

  private:
    DebugOverlay() = default;
    // One step's times, in microseconds.
    struct Sample {
        std::int64_t at_us;
        std::int64_t step_us;
        std::int64_t draw_us;
    };
    Timing timingOf(bool step) const;
    int drawOutlines() const;

    OverlayMode m_mode = OverlayMode::OFF;
    std::deque<Sample> m_samples;
    int m_lagging_steps = 0;
    // Running totals at the last step, and what the last step added.
    std::uint64_t m_events_before = 0;
    std::uint64_t m_events_last_step = 0;
    std::uint64_t m_bytes_before = 0;
    std::uint64_t m_bytes_last_step = 0;
};

} // namespace vt
