#include "vintrel/core/DebugOverlay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "vintrel/core/Config.h"
#include "vintrel/core/Geometry.h"
#include "vintrel/core/Manager.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/media/ResourceManager.h"
#include "vintrel/network/NetworkManager.h"
#include "vintrel/replay/ReplayManager.h"
#include "vintrel/world/TileMap.h"
#include "vintrel/world/ViewObject.h"
#include "vintrel/world/WorldManager.h"
#include "vintrel/world/WorldUtility.h"

namespace vt {

namespace {

// Mean and worst are taken over this much of the latest steps.
constexpr std::int64_t WINDOW_US = 1000000;
// A pale grey that reads over any game, and red for what went wrong.
constexpr std::uint8_t FIGURE_GREY = 200;
// Outlines by solidness: hard red, soft yellow, spectral cyan.
struct Rgb {
    std::uint8_t r;
    std::uint8_t g;
    std::uint8_t b;
};
constexpr Rgb SOLIDNESS_COLOURS[] = {{255, 64, 64}, {255, 220, 0}, {0, 200, 255}};
// The tile map's solid cells, in a colour no solidness of objects takes.
constexpr Rgb SOLID_TILE_COLOUR = {230, 80, 255};
// The grid's occupied cells are tinted, faintly, so the objects stay visible.
constexpr Rgb GRID_TINT = {80, 160, 80};
constexpr std::uint8_t GRID_TINT_ALPHA = 48;

// "step ms 1.23 mean 1.10 worst 2.50"
std::string timingLine(const char* what, const DebugOverlay::Timing& timing) {
    char line[96];
    std::snprintf(line, sizeof line, "%s ms %.2f mean %.2f worst %.2f", what, timing.last_ms, timing.mean_ms,
                  timing.worst_ms);
    return line;
}

} // namespace

DebugOverlay& DebugOverlay::getInstance() {
    static DebugOverlay overlay;
    return overlay;
}

void DebugOverlay::setMode(OverlayMode mode) {
    // Counted per step from the first step shown, not since it was last on.
    if (m_mode == OverlayMode::OFF && mode != OverlayMode::OFF) {
        const NetworkManager& network_manager = NetworkManager::getInstance();
        m_events_before = Manager::getEventsDelivered();
        m_bytes_before = network_manager.getBytesSent() + network_manager.getBytesReceived();
    }
    m_mode = mode;
    if (mode == OverlayMode::OFF)
        m_samples.clear();
}

void DebugOverlay::advanceMode() {
    switch (m_mode) {
    case OverlayMode::OFF:
        setMode(OverlayMode::FIGURES);
        break;
    case OverlayMode::FIGURES:
        setMode(OverlayMode::OUTLINES);
        break;
    case OverlayMode::OUTLINES:
        setMode(OverlayMode::OFF);
        break;
    }
}

void DebugOverlay::reset() {
    m_mode = OverlayMode::OFF;
    m_samples.clear();
    m_lagging_steps = 0;
    m_events_before = Manager::getEventsDelivered();
    m_events_last_step = 0;
    m_bytes_before =
        NetworkManager::getInstance().getBytesSent() + NetworkManager::getInstance().getBytesReceived();
    m_bytes_last_step = 0;
}

void DebugOverlay::noteStep(std::int64_t step_us, std::int64_t draw_us, std::int64_t at_us) {
    m_samples.push_back(Sample{at_us, step_us, draw_us});
    while (!m_samples.empty() && at_us - m_samples.front().at_us >= WINDOW_US)
        m_samples.pop_front();
    const std::uint64_t events = Manager::getEventsDelivered();
    m_events_last_step = events - m_events_before;
    m_events_before = events;
    const NetworkManager& network_manager = NetworkManager::getInstance();
    const std::uint64_t bytes = network_manager.getBytesSent() + network_manager.getBytesReceived();
    m_bytes_last_step = bytes - m_bytes_before;
    m_bytes_before = bytes;
}

DebugOverlay::Timing DebugOverlay::timingOf(bool step) const {
    Timing timing;
    if (m_samples.empty())
        return timing;
    std::int64_t sum = 0;
    std::int64_t worst = 0;
    for (const Sample& sample : m_samples) {
        const std::int64_t us = step ? sample.step_us : sample.draw_us;
        sum += us;
        worst = std::max(worst, us);
    }
    timing.last_ms = static_cast<double>(step ? m_samples.back().step_us : m_samples.back().draw_us) / 1000.0;
    timing.mean_ms = static_cast<double>(sum) / static_cast<double>(m_samples.size()) / 1000.0;
    timing.worst_ms = static_cast<double>(worst) / 1000.0;
    return timing;
}

std::vector<std::string> DebugOverlay::figureLines() const {
    std::vector<std::string> lines;
    lines.push_back(timingLine("step", getStepTiming()));
    lines.push_back(timingLine("draw", getDrawTiming()));
    lines.push_back("lagging steps " + std::to_string(m_lagging_steps));

    WorldManager& world_manager = WorldManager::getInstance();
    std::string altitudes = "objects";
    for (int altitude = ALTITUDE_MIN; altitude <= ALTITUDE_MAX; altitude++)
        altitudes += " " + std::to_string(altitude) + ":" +
                     std::to_string(world_manager.getSceneGraph().visibleObjects(altitude).getCount());
    altitudes += " all " + std::to_string(world_manager.getAllObjects(true).getCount());
    lines.push_back(altitudes);
    lines.push_back("collisions " + std::to_string(world_manager.getCollisionCount()) + " events " +
                    std::to_string(m_events_last_step));

    const NetworkManager& network_manager = NetworkManager::getInstance();
    if (network_manager.isStarted())
        lines.push_back("network connections " + std::to_string(network_manager.getNumConnections()) +
                        " bytes " + std::to_string(m_bytes_last_step));
    const ReplayManager& replay_manager = ReplayManager::getInstance();
    if (replay_manager.isRecording())
        lines.push_back("recording");
    else if (replay_manager.isReplaying())
        lines.push_back("replaying");
    const std::string& sprite_problem = ResourceManager::getInstance().getSpriteReloadProblem();
    if (!sprite_problem.empty())
        lines.push_back(sprite_problem);
    return lines;
}

int DebugOverlay::draw() {
    DisplayManager& display_manager = DisplayManager::getInstance();
    // Gathered also without a window, so that a headless run reads the
    // world exactly as a windowed one does.
    const std::vector<std::string> lines = figureLines();
    if (display_manager.getWindow() == nullptr)
        return -1;
    int result = 0;
    if (m_mode == OverlayMode::OUTLINES)
        result = drawOutlines();
    for (std::size_t row = 0; row < lines.size(); row++) {
        const Vector where = viewToWorld(Vector(0.0f, static_cast<float>(row)));
        const bool problem =
            !ResourceManager::getInstance().getSpriteReloadProblem().empty() && row + 1 == lines.size();
        for (std::size_t col = 0; col < lines[row].size(); col++) {
            const Vector cell(where.getX() + static_cast<float>(col), where.getY());
            if (problem)
                result |= display_manager.drawCharacter(cell, lines[row][col], RED);
            else
                result |= display_manager.drawCharacter(cell, lines[row][col], FIGURE_GREY, FIGURE_GREY,
                                                        FIGURE_GREY);
        }
    }
    return result == 0 ? 0 : -1;
}

int DebugOverlay::drawOutlines() const {
    DisplayManager& display_manager = DisplayManager::getInstance();
    WorldManager& world_manager = WorldManager::getInstance();
    const Box view = world_manager.getView();
    int result = 0;

    const Grid& grid = world_manager.getSceneGraph().getGrid();
    if (grid.isStarted() && grid.getCellWidth() > 0 && grid.getCellHeight() > 0) {
        const float width = static_cast<float>(grid.getCellWidth());
        const float height = static_cast<float>(grid.getCellHeight());
        const int left = std::max(0, static_cast<int>(std::floor(view.getCorner().getX() / width)));
        const int top = std::max(0, static_cast<int>(std::floor(view.getCorner().getY() / height)));
        const int right =
            std::min(grid.getNumCols() - 1,
                     static_cast<int>(std::floor((view.getCorner().getX() + view.getHorizontal()) / width)));
        const int bottom =
            std::min(grid.getNumRows() - 1,
                     static_cast<int>(std::floor((view.getCorner().getY() + view.getVertical()) / height)));
        for (int y = top; y <= bottom; y++)
            for (int x = left; x <= right; x++)
                if (!grid.objectsInCell(Grid::Cell{x, y}).isEmpty())
                    result |= display_manager.drawRectangle(
                        Box(Vector(static_cast<float>(x) * width, static_cast<float>(y) * height), width,
                            height),
                        GRID_TINT.r, GRID_TINT.g, GRID_TINT.b, GRID_TINT_ALPHA, true);
    }

    // Hidden maps too: their solid cells still stop objects. Before the
    // objects, so that an object's outline stays on top of a wall's.
    if (const TileMap* p_map = world_manager.getTileMap())
        p_map->forEachSolidIn(view, [&](int column, int row) {
            result |= display_manager.drawRectangle(TileMap::cellBox(column, row), SOLID_TILE_COLOUR.r,
                                                    SOLID_TILE_COLOUR.g, SOLID_TILE_COLOUR.b, 255, false);
        });

    for (int altitude = ALTITUDE_MIN; altitude <= ALTITUDE_MAX; altitude++) {
        const ObjectList visible = world_manager.getSceneGraph().visibleObjects(altitude);
        for (int i = 0; i < visible.getCount(); i++) {
            const Object* p_o = visible[i];
            // View objects sit on the screen: their place is in view coordinates.
            const bool on_screen = dynamic_cast<const ViewObject*>(p_o) != nullptr;
            const Box box = on_screen ? getWorldBox(p_o, viewToWorld(p_o->getPosition())) : getWorldBox(p_o);
            if (!on_screen && !boxIntersectsBox(box, view))
                continue;
            const Rgb colour = SOLIDNESS_COLOURS[std::clamp(static_cast<int>(p_o->getSolidness()), 0, 2)];
            result |= display_manager.drawRectangle(box, colour.r, colour.g, colour.b, 255, false);
        }
    }
    return result == 0 ? 0 : -1;
}

} // namespace vt
