// Drawing whole frames into a real window (run under Xvfb). Times are wall
// clock per frame, since the X server's share of the work is not ours.
#include <benchmark/benchmark.h>

#include <SFML/Graphics.hpp>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "media/CellBatch.h"
#include "media/FontCoverage.h"
#include "media/SfmlCompat.h"
#include "support/DisplayScenes.h"
#include "support/ScratchEngine.h"
#include "vintrel/core/DebugOverlay.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/Utility.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/world/TileMap.h"
#include "vintrel/world/WorldManager.h"

namespace {

const char* const FONT_SOURCE = VINTREL_FONT_FILE;

// Every cell of the window, one character each, as a busy full screen would.
// The engine is started once by main; the benchmarks share its window.
void BM_FullScreenOfCharacters(benchmark::State& state) {
    vt::DisplayManager& display_manager = vt::DisplayManager::getInstance();
    for (auto _ : state) {
        vt::scenes::drawFullScreen();
        display_manager.presentFrame();
    }
    state.counters["cells"] = display_manager.getHorizontalChars() * display_manager.getVerticalChars();
}
BENCHMARK(BM_FullScreenOfCharacters)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->MinTime(2.0);

// The floor under a full screen: the same screen's glyphs alone, each a quad
// the size of its texels, in one draw call prepared beforehand.
void BM_FullScreenGlyphsOnly(benchmark::State& state) {
    vt::DisplayManager& display_manager = vt::DisplayManager::getInstance();
    sf::RenderWindow& window = *display_manager.getWindow();
    sf::Font font;
    if (!vt::sfml::openFont(font, FONT_SOURCE)) {
        state.SkipWithError("no font");
        return;
    }
    const unsigned size = display_manager.getCharacterSize();
    std::vector<sf::Vertex> vertices;
    const int columns = display_manager.getHorizontalChars();
    const int rows = display_manager.getVerticalChars();
    for (int y = 0; y < rows; y++)
        for (int x = 0; x < columns; x++) {
            const vt::sfml::GlyphRects r = vt::sfml::glyphRects(
                font.getGlyph(static_cast<std::uint32_t>('!' + (x + y) % 90), size, true));
            const float left = std::round(static_cast<float>(x) * vt::cellWidth()) + r.left;
            const float top =
                std::round(static_cast<float>(y) * vt::cellHeight()) + static_cast<float>(size) + r.top;
            unsigned char red = 0;
            unsigned char green = 0;
            unsigned char blue = 0;
            vt::colorToRGB(static_cast<vt::Color>(1 + (x + y) % 7), red, green, blue);
            const sf::Color color(red, green, blue);
            auto corner = [&](float dx, float dy) {
                vertices.push_back(sf::Vertex{sf::Vector2f(left + dx, top + dy), color,
                                              sf::Vector2f(r.tex_left + dx, r.tex_top + dy)});
            };
            corner(0, 0);
            corner(r.tex_width, 0);
            corner(0, r.tex_height);
            corner(0, r.tex_height);
            corner(r.tex_width, 0);
            corner(r.tex_width, r.tex_height);
        }
    sf::RenderStates states;
    states.texture = &vt::sfml::sharpGlyphTexture(font, size);
    for (auto _ : state) {
        window.draw(vertices.data(), vertices.size(), sf::PrimitiveType::Triangles, states);
        display_manager.presentFrame();
    }
    state.counters["cells"] = columns * rows;
}
// The renderer draws on threads of its own: their time counts too (the CPU
// column of the full-screen cases is the whole process's), and a busy
// machine moves it less than the wall clock.
BENCHMARK(BM_FullScreenGlyphsOnly)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->MinTime(2.0);

// The same full screen of box-drawing and block characters, which are drawn
// from rectangles fitted to the cells rather than taken from the font.
void BM_FullScreenOfBoxDrawing(benchmark::State& state) {
    vt::DisplayManager& display_manager = vt::DisplayManager::getInstance();
    for (auto _ : state) {
        vt::scenes::drawFullScreenOfBoxes();
        display_manager.presentFrame();
    }
    state.counters["cells"] = display_manager.getHorizontalChars() * display_manager.getVerticalChars();
}
BENCHMARK(BM_FullScreenOfBoxDrawing)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->MinTime(2.0);

// A full screen whose first 200 cells hold characters beyond ASCII, drawn
// through a batch of its own with a font of its own; the rest is ASCII.
class GlyphScreen {
  public:
    GlyphScreen() {
        m_coverage.read(readWholeFile(FONT_SOURCE));
        for (char32_t c = 0xA1; m_new.size() < NEW_GLYPHS && c < 0x2500; c++)
            if (m_coverage.covers(c))
                m_new.push_back(c);
    }
    // A fresh font and batch, whose atlas holds the ASCII glyphs only.
    bool reset() {
        m_p_batch.reset();
        m_p_font = std::make_unique<sf::Font>();
        if (!vt::sfml::openFont(*m_p_font, FONT_SOURCE))
            return false;
        vt::DisplayManager& dm = vt::DisplayManager::getInstance();
        m_p_batch = std::make_unique<vt::CellBatch>(*m_p_font, dm.getCharacterSize(), vt::cellWidth(),
                                                    vt::cellHeight(), sf::Color::Black, m_coverage);
        draw(false);
        return true;
    }
    // Draws the screen and shows it; with the new characters or without them.
    void draw(bool with_new) {
        vt::DisplayManager& dm = vt::DisplayManager::getInstance();
        sf::RenderWindow& window = *dm.getWindow();
        const int columns = dm.getHorizontalChars();
        for (int i = 0; i < columns * dm.getVerticalChars(); i++) {
            const float x = static_cast<float>(i % columns) * vt::cellWidth();
            const float y = static_cast<float>(i / columns) * vt::cellHeight();
            const auto index = static_cast<std::size_t>(i);
            if (with_new && index < m_new.size())
                m_p_batch->addCell(x, y, m_new[index], sf::Color::White, 0.0f);
            else
                m_p_batch->addCell(x, y, static_cast<char>('!' + i % 90), sf::Color::White, 0.0f);
        }
        m_p_batch->flush(window);
        window.display();
        window.clear(sf::Color::Black);
        m_p_batch->windowCleared();
    }
    std::size_t newGlyphs() const { return m_new.size(); }

  private:
    static constexpr std::size_t NEW_GLYPHS = 200;
    static std::string readWholeFile(const char* path) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << file.rdbuf();
        return bytes.str();
    }
    vt::FontCoverage m_coverage;
    std::vector<char32_t> m_new;
    std::unique_ptr<sf::Font> m_p_font;
    std::unique_ptr<vt::CellBatch> m_p_batch;
};

double secondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The first frame that shows 200 characters the font's atlas has not held
// before: each is rasterised and added to the atlas, which grows.
void BM_FirstFrameOf200NewGlyphs(benchmark::State& state) {
    GlyphScreen screen;
    for (auto _ : state) {
        // Opening the font and drawing the ASCII screen belong to no frame
        // measured here; left running, they would count in the CPU column.
        state.PauseTiming();
        const bool ready = screen.reset();
        state.ResumeTiming();
        if (!ready) {
            state.SkipWithError("no font");
            return;
        }
        state.SetIterationTime(secondsOf([&] { screen.draw(true); }));
    }
    state.counters["new_glyphs"] = static_cast<double>(screen.newGlyphs());
}
BENCHMARK(BM_FirstFrameOf200NewGlyphs)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->MeasureProcessCPUTime()
    ->MinTime(2.0);

// The same frame once the atlas holds its glyphs.
void BM_SteadyFrameOf200Glyphs(benchmark::State& state) {
    GlyphScreen screen;
    if (!screen.reset()) {
        state.SkipWithError("no font");
        return;
    }
    screen.draw(true);
    for (auto _ : state)
        state.SetIterationTime(secondsOf([&] { screen.draw(true); }));
    state.counters["new_glyphs"] = 0;
}
BENCHMARK(BM_SteadyFrameOf200Glyphs)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->MeasureProcessCPUTime()
    ->MinTime(2.0);

// Presenting a frame with nothing drawn: what every frame costs at least.
void BM_EmptyFrame(benchmark::State& state) {
    vt::DisplayManager& display_manager = vt::DisplayManager::getInstance();
    for (auto _ : state)
        display_manager.presentFrame();
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// What a busy moment of the shooter draws: about 60 objects of 1 to 12
// characters spread over the screen, the score and the missile count.
void BM_TypicalGameFrame(benchmark::State& state) {
    vt::scenes::clearWorld();
    vt::scenes::Sprites sprites;
    const int characters = vt::scenes::makeTypicalGameFrame(sprites);
    vt::DisplayManager& display_manager = vt::DisplayManager::getInstance();
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    for (auto _ : state) {
        world_manager.draw();
        display_manager.presentFrame();
    }
    state.counters["objects"] = world_manager.getAllObjects(true).getCount();
    state.counters["sprite_chars"] = characters;
    vt::scenes::clearWorld();
}
BENCHMARK(BM_TypicalGameFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// A 1000 x 1000 tile map, every cell a character as in the full screen,
// under an 80 x 24 view in its middle: only the view's cells are drawn, so
// this compares with BM_FullScreenGlyphsOnly.
void BM_TileMapUnderView(benchmark::State& state) {
    vt::scenes::clearWorld();
    constexpr int SIDE = 1000;
    auto p_map = std::make_unique<vt::TileMap>(SIDE, SIDE);
    for (int y = 0; y < SIDE; y++)
        for (int x = 0; x < SIDE; x++) {
            vt::Tile tile;
            tile.ch = static_cast<vt::TileChar>('!' + (x + y) % 90);
            tile.color = static_cast<vt::Color>(1 + (x + y) % 7);
            tile.solid = (x + y) % 5 == 0;
            p_map->setTile(x, y, tile);
        }
    vt::DisplayManager& display_manager = vt::DisplayManager::getInstance();
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    world_manager.setTileMap(std::move(p_map));
    const vt::Box view = world_manager.getView();
    world_manager.setView(vt::Box(vt::Vector(500, 500), view.getHorizontal(), view.getVertical()));
    for (auto _ : state) {
        world_manager.draw();
        display_manager.presentFrame();
    }
    world_manager.setView(view);
    world_manager.removeTileMap();
    state.counters["cells"] = display_manager.getHorizontalChars() * display_manager.getVerticalChars();
}
BENCHMARK(BM_TileMapUnderView)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The same frame with the debug overlay on, as the game loop draws it: its
// figures (argument 1), or its figures, outlines and grid cells (2). Off, the
// loop only asks whether it is on; BM_TypicalGameFrame is that case.
void BM_TypicalGameFrameWithOverlay(benchmark::State& state) {
    vt::scenes::clearWorld();
    vt::scenes::Sprites sprites;
    vt::scenes::makeTypicalGameFrame(sprites);
    vt::DisplayManager& display_manager = vt::DisplayManager::getInstance();
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    vt::DebugOverlay& overlay = vt::DebugOverlay::getInstance();
    overlay.setMode(state.range(0) == 1 ? vt::OverlayMode::FIGURES : vt::OverlayMode::OUTLINES);
    std::int64_t at_us = 0;
    for (auto _ : state) {
        world_manager.draw();
        overlay.noteStep(1000, 2000, at_us += 33000);
        overlay.draw();
        display_manager.presentFrame();
    }
    overlay.setMode(vt::OverlayMode::OFF);
    vt::scenes::clearWorld();
}
BENCHMARK(BM_TypicalGameFrameWithOverlay)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// The straightforward way, for comparison on the same machine: one
// rectangle and one one-character text drawn per cell, 3,840 draw calls.
void BM_FullScreenOneDrawPerCell(benchmark::State& state) {
    vt::DisplayManager& display_manager = vt::DisplayManager::getInstance();
    sf::RenderWindow& window = *display_manager.getWindow();
    sf::Font font;
    if (!vt::sfml::openFont(font, FONT_SOURCE)) {
        state.SkipWithError("no font");
        return;
    }
    sf::Text text = vt::sfml::makeText(font, display_manager.getCharacterSize());
    text.setStyle(sf::Text::Bold);
    sf::RectangleShape rectangle(sf::Vector2f(vt::cellWidth(), vt::cellHeight()));
    rectangle.setFillColor(sf::Color::Black);
    const int columns = display_manager.getHorizontalChars();
    const int rows = display_manager.getVerticalChars();
    for (auto _ : state) {
        for (int y = 0; y < rows; y++)
            for (int x = 0; x < columns; x++) {
                const float px = static_cast<float>(x) * vt::cellWidth();
                const float py = static_cast<float>(y) * vt::cellHeight();
                rectangle.setPosition(sf::Vector2f(px - vt::cellWidth() / 10, py + vt::cellHeight() / 5));
                window.draw(rectangle);
                text.setString(sf::String(static_cast<char>('!' + (x + y) % 90)));
                text.setPosition(sf::Vector2f(px, py));
                text.setFillColor(sf::Color::White);
                window.draw(text);
            }
        display_manager.presentFrame();
    }
    state.counters["cells"] = columns * rows;
}
BENCHMARK(BM_FullScreenOneDrawPerCell)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    // The default 80 x 24 window with the system's monospaced font.
    const vt::test::ScratchEngine engine(std::string("networking:false,\nrandom_seed:1,\nfont_file:") +
                                         FONT_SOURCE + ",\n");
    if (engine.result() != 0) {
        std::fprintf(stderr, "bench_display: the engine did not start (run it under xvfb-run)\n");
        vt::GameManager::getInstance().shutDown();
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    vt::scenes::clearWorld();
    vt::GameManager::getInstance().shutDown();
    benchmark::Shutdown();
    return 0;
}
