// Drawing whole frames into a real window (run under Xvfb). Times are wall
// clock per frame, since the X server's share of the work is not ours.
#include <benchmark/benchmark.h>

#include <SFML/Graphics.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "media/SfmlCompat.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/media/Animation.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/media/Frame.h"
#include "vintrel/media/Sprite.h"
#include "vintrel/world/ViewObject.h"
#include "vintrel/world/WorldManager.h"

namespace {

const char* const FONT_SOURCE = VINTREL_FONT_FILE;

// Starts a windowed engine with the default 80 x 24 window and the system's
// monospaced font, its configuration and log in a scratch directory.
bool startWindowedEngine(const std::filesystem::path& dir) {
    const std::filesystem::path config = dir / "vt-config.txt";
    std::ofstream(config) << "networking:false,\nrandom_seed:1,\nfont_file:" << FONT_SOURCE << ",\n";
    setenv("VINTREL_CONFIG", config.string().c_str(), 1);
    setenv("VINTREL_LOG", (dir / "bench.log").string().c_str(), 1);
    return vt::GameManager::getInstance().startUp() == 0;
}

void clearWorld() {
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    const vt::ObjectList all = world_manager.getAllObjects(true);
    for (int i = 0; i < all.getCount(); i++)
        delete all[i];
}

// Every cell of the window, one character each, as a busy full screen would.
// The engine is started once by main; the benchmarks share its window.
void BM_FullScreenOfCharacters(benchmark::State& state) {
    vt::DisplayManager& display_manager = vt::DisplayManager::getInstance();
    const int columns = display_manager.getHorizontalChars();
    const int rows = display_manager.getVerticalChars();
    for (auto _ : state) {
        for (int y = 0; y < rows; y++)
            for (int x = 0; x < columns; x++)
                display_manager.drawCharacter(vt::Vector(static_cast<float>(x), static_cast<float>(y)),
                                              static_cast<char>('!' + (x + y) % 90),
                                              static_cast<vt::Color>(1 + (x + y) % 7), 0.0f);
        display_manager.presentFrame();
    }
    state.counters["cells"] = columns * rows;
}
BENCHMARK(BM_FullScreenOfCharacters)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Presenting a frame with nothing drawn: what every frame costs at least.
void BM_EmptyFrame(benchmark::State& state) {
    vt::DisplayManager& display_manager = vt::DisplayManager::getInstance();
    for (auto _ : state)
        display_manager.presentFrame();
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// A sprite of width x height characters, every cell filled.
std::unique_ptr<vt::Sprite> makeSprite(int width, int height, vt::Color color) {
    auto p_sprite = std::make_unique<vt::Sprite>(1);
    p_sprite->setWidth(width);
    p_sprite->setHeight(height);
    p_sprite->setColor(color);
    p_sprite->pushFrame(vt::Frame(width, height, std::string(static_cast<std::size_t>(width * height), '#')));
    return p_sprite;
}

// What a busy moment of the shooter draws: about 60 objects of 1 to 12
// characters spread over the screen, the score and the missile count.
void BM_TypicalGameFrame(benchmark::State& state) {
    clearWorld();
    std::vector<std::unique_ptr<vt::Sprite>> sprites;
    sprites.push_back(makeSprite(1, 1, vt::YELLOW)); // bullet
    sprites.push_back(makeSprite(2, 2, vt::WHITE));  // small asteroid
    sprites.push_back(makeSprite(3, 3, vt::WHITE));  // asteroid
    sprites.push_back(makeSprite(4, 3, vt::RED));    // ship or explosion
    const int object_count = 60;
    int characters = 0;
    for (int i = 0; i < object_count; i++) {
        vt::Sprite* p_sprite = sprites[static_cast<std::size_t>(i) % sprites.size()].get();
        auto* p_object = new vt::Object;
        p_object->setSolidness(vt::SPECTRAL);
        vt::Animation animation;
        animation.setSprite(p_sprite);
        p_object->setAnimation(animation);
        p_object->setPosition(
            vt::Vector(static_cast<float>(3 + (i * 37) % 74), static_cast<float>(3 + (i * 7) % 19)));
        characters += p_sprite->getWidth() * p_sprite->getHeight();
    }
    auto* p_points = new vt::ViewObject;
    p_points->setViewString("Points");
    p_points->setValue(1250);
    auto* p_missiles = new vt::ViewObject;
    p_missiles->setLocation(vt::TOP_RIGHT);
    p_missiles->setViewString("Missiles");
    p_missiles->setValue(4);
    p_missiles->setColor(vt::GREEN);

    vt::DisplayManager& display_manager = vt::DisplayManager::getInstance();
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    for (auto _ : state) {
        world_manager.draw();
        display_manager.presentFrame();
    }
    state.counters["objects"] = object_count + 2;
    state.counters["sprite_chars"] = characters;
    clearWorld();
}
BENCHMARK(BM_TypicalGameFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

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
    std::string pattern = (std::filesystem::temp_directory_path() / "vintrel-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        return 1;
    if (!startWindowedEngine(pattern)) {
        std::fprintf(stderr, "bench_display: the engine did not start (run it under xvfb-run)\n");
        vt::GameManager::getInstance().shutDown();
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    clearWorld();
    vt::GameManager::getInstance().shutDown();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    return 0;
}
