// Gold Run: a miner (@) gathers gold ($) in a mine of rock while drones (%)
// patrol it. A round lasts `goldrun_seconds` of vt-config.txt (60 by
// default); a drone that meets the miner ends it at once. The best score is
// kept between runs. ENTER starts, the arrows or WASD move one cell per
// press, P pauses, Q quits; vt-config.txt can bind other keys.
//
//     goldrun [--level N] [--demo] [--record FILE | --replay FILE]
//
// --level 1 to 5 sets how many drones there are and how fast they go; --demo
// lets the game play itself. A recording keeps both, so --replay needs neither.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <queue>
#include <string>
#include <utility>
#include <vector>

#include <vintrel/core/Config.h>
#include <vintrel/core/GameManager.h>
#include <vintrel/core/LogManager.h>
#include <vintrel/core/Utility.h>
#include <vintrel/events/EventAction.h>
#include <vintrel/events/EventCollision.h>
#include <vintrel/events/EventKeyboard.h>
#include <vintrel/events/EventStep.h>
#include <vintrel/events/EventTimer.h>
#include <vintrel/input/InputManager.h>
#include <vintrel/input/Key.h>
#include <vintrel/media/DisplayManager.h>
#include <vintrel/replay/ReplayManager.h>
#include <vintrel/save/SaveData.h>
#include <vintrel/world/Object.h>
#include <vintrel/world/Scene.h>
#include <vintrel/world/SceneManager.h>
#include <vintrel/world/TileMap.h>
#include <vintrel/world/ViewObject.h>
#include <vintrel/world/WorldManager.h>

namespace {

// The mine fills the world's rows 1 to 23; row 0 holds the counters. '#' is rock.
const char* const MINE[] = {
    "################################################################################",
    "#                                                      #                       #",
    "#                                                      #                       #",
    "#                                                      #                       #",
    "#           ######                                     #    ########           #",
    "#                                                      #                       #",
    "#                                                      #                       #",
    "#                                                      #                       #",
    "#                                                                              #",
    "#                             ####################                             #",
    "#                                                                              #",
    "#                                                                              #",
    "#                       #                                                      #",
    "#                       #                                                      #",
    "#                       #                                                      #",
    "#                       #                                                      #",
    "#           ######      #                                   ########           #",
    "#                       #                                                      #",
    "#                       #                                                      #",
    "#                       #                                                      #",
    "#                       #                                                      #",
    "#                       #                                                      #",
    "################################################################################",
};
constexpr int MINE_TOP = 1;
constexpr int MINE_ROWS = 23;
constexpr int MINE_COLUMNS = 80;

// Where the drones start and which way they head; level N sends out the first N.
struct DroneStart {
    int x, y, dx, dy;
};
constexpr DroneStart DRONES[] = {{5, 3, 1, 0}, {70, 20, -1, 0}, {40, 6, 0, 1}, {72, 8, 0, 1}, {8, 14, 0, -1}};
constexpr int MAX_LEVEL = 5;

constexpr int STEPS_PER_SECOND = 30; // at the default frame time of 33 ms
constexpr int GOLD_PIECES = 5;
constexpr int STEPS_BETWEEN_RESTOCKS = 20;
constexpr int DEFAULT_SECONDS = 60;
constexpr int MAX_SECONDS = 600;

// What decides a run besides the keys: stored in a recording, so that a
// replay plays the same game without being told again.
struct Settings {
    int level = 1;
    int seconds = DEFAULT_SECONDS;
    bool demo = false;
};

vt::Vector cell(int x, int y) { return vt::Vector(static_cast<float>(x), static_cast<float>(y)); }

bool isRock(int x, int y) {
    const int row = y - MINE_TOP;
    return row < 0 || row >= MINE_ROWS || x < 0 || x >= MINE_COLUMNS || MINE[row][x] == '#';
}

void writeLog(const std::string& line) {
    vt::LogManager::getInstance().writeLog("Gold Run: %s", line.c_str());
}

int drawLine(int y, const std::string& text, vt::Color color) {
    return vt::DisplayManager::getInstance().drawText(cell(MINE_COLUMNS / 2, y), text, vt::CENTER, color);
}

std::string binding(const char* action) { return vt::InputManager::getInstance().getActionBinding(action); }

// Who collides with whom, one bit each: the drones' mask leaves out the
// gold, so they pass over it unnoticed, and the miner tells what it met by
// its layer. The rock is no object and has no layer: the tile map's solid
// cells stop every object.
constexpr std::uint32_t MINER_LAYER = 1u << 0;
constexpr std::uint32_t DRONE_LAYER = 1u << 1;
constexpr std::uint32_t GOLD_LAYER = 1u << 2;

// Rock in the mine's own cells only: the wall joins its neighbours inside the
// mine, while isRock() keeps everything outside closed.
bool rockInMine(int x, int y) {
    const int row = y - MINE_TOP;
    return row >= 0 && row < MINE_ROWS && x >= 0 && x < MINE_COLUMNS && MINE[row][x] == '#';
}

// The line that joins a cell of rock to its rock neighbours, indexed by
// up 1, right 2, down 4, left 8; a lone cell is a solid block.
constexpr char32_t WALL_CHARACTERS[16] = {
    U'█', U'│', U'─', U'└', U'│', U'│', U'┌', U'├', U'─', U'┘', U'─', U'┴', U'┐', U'┤', U'┬', U'┼',
};

char32_t wallCharacter(int x, int y) {
    const int joins = (rockInMine(x, y - 1) ? 1 : 0) | (rockInMine(x + 1, y) ? 2 : 0) |
                      (rockInMine(x, y + 1) ? 4 : 0) | (rockInMine(x - 1, y) ? 8 : 0);
    return WALL_CHARACTERS[joins];
}

// The walls live here alone: the rest of the game asks isRock(). They are
// one tile map, whose solid cells stop the miner and the drones as HARD
// objects would; the map belongs to the world, so the play scene removes it
// as it leaves.
void buildMine() {
    auto p_mine = std::make_unique<vt::TileMap>(MINE_COLUMNS, MINE_TOP + MINE_ROWS);
    vt::Tile rock;
    rock.color = vt::BLUE;
    rock.solid = true;
    for (int y = MINE_TOP; y < MINE_TOP + MINE_ROWS; y++)
        for (int x = 0; x < MINE_COLUMNS; x++)
            if (isRock(x, y)) {
                rock.ch = wallCharacter(x, y);
                p_mine->setTile(x, y, rock);
            }
    vt::WorldManager::getInstance().setTileMap(std::move(p_mine));
}

class Gold : public vt::Object {
  public:
    explicit Gold(const vt::Vector& position) {
        setType("Gold");
        setSolidness(vt::SOFT); // the miner walks over it
        setPosition(position);
        setCollisionLayer(GOLD_LAYER);
    }
    int draw() override {
        return vt::DisplayManager::getInstance().drawCharacter(getPosition(), '$', vt::YELLOW);
    }
    /// True once and only once: the first miner to touch it takes it.
    bool take() {
        if (m_taken)
            return false;
        m_taken = true;
        vt::WorldManager::getInstance().markForDelete(this);
        return true;
    }

  private:
    bool m_taken = false;
};

// Moves one cell every few steps on a step timer and turns back at rock.
class Drone : public vt::Object {
  public:
    Drone(const DroneStart& start, int steps_per_move) : m_dx(start.dx), m_dy(start.dy) {
        setType("Drone");
        setPosition(cell(start.x, start.y));
        setCollisionLayer(DRONE_LAYER);
        setCollisionMask(vt::ALL_COLLISION_LAYERS & ~GOLD_LAYER);
        startTimer("move", steps_per_move, vt::TIMER_REPEATING);
    }
    int draw() override {
        return vt::DisplayManager::getInstance().drawCharacter(getPosition(), '%', vt::RED);
    }
    int eventHandler(const vt::Event* p_event) override {
        if (vt::eventAs<vt::EventTimer>(p_event)) {
            // The world refuses a move into anything HARD: rock, a drone or the miner.
            if (vt::WorldManager::getInstance().moveObject(this, getPosition() + cell(m_dx, m_dy)) != 0) {
                m_dx = -m_dx;
                m_dy = -m_dy;
            }
            return 1;
        }
        return Object::eventHandler(p_event);
    }

  private:
    int m_dx, m_dy;
};

// Runs one round: the counters, the clock, the gold, and how the round ends.
class Round : public vt::Object {
  public:
    explicit Round(const Settings& settings);
    /// The miner touched the gold.
    void collect(Gold& gold);
    /// Ends the round once, showing the game-over screen over the mine.
    void end(const char* reason);
    int eventHandler(const vt::Event* p_event) override;

  private:
    vt::ViewObject* counter(const char* label, int location, int value);
    void placeGold();

    Settings m_settings;
    vt::Object* m_p_miner = nullptr;
    vt::ViewObject* m_p_score = nullptr;
    vt::ViewObject* m_p_time = nullptr;
    bool m_over = false;
};

class Miner : public vt::Object {
  public:
    explicit Miner(Round* p_round) : m_p_round(p_round) {
        setType("Miner");
        setPosition(cell(40, 12));
        setCollisionLayer(MINER_LAYER);
        registerInterest(vt::EVENT_ACTION);
    }
    int draw() override {
        return vt::DisplayManager::getInstance().drawCharacter(getPosition(), '@', vt::WHITE);
    }
    int eventHandler(const vt::Event* p_event) override {
        if (const auto* p_action = vt::eventAs<vt::EventAction>(p_event)) {
            if (p_action->getPhase() == vt::ACTION_PRESSED)
                walk(p_action->getAction());
            return 1;
        }
        if (const auto* p_collision = vt::eventAs<vt::EventCollision>(p_event)) {
            vt::Object* p_other =
                p_collision->getObject1() == this ? p_collision->getObject2() : p_collision->getObject1();
            if (p_other->getCollisionLayer() == GOLD_LAYER)
                m_p_round->collect(*static_cast<Gold*>(p_other));
            else if (p_other->getCollisionLayer() == DRONE_LAYER)
                m_p_round->end("caught by a drone");
            return 1;
        }
        return Object::eventHandler(p_event);
    }

  private:
    // One cell per press; rock stops the miner, gold and drones are met.
    void walk(const std::string& action) {
        const int dx = action == "left" ? -1 : action == "right" ? 1 : 0;
        const int dy = action == "up" ? -1 : action == "down" ? 1 : 0;
        if (dx != 0 || dy != 0)
            vt::WorldManager::getInstance().moveObject(this, getPosition() + cell(dx, dy));
    }

    Round* m_p_round;
};

class PlayScene : public vt::Scene {
  public:
    explicit PlayScene(const Settings& settings) : Scene("Play"), m_settings(settings) {}
    void onEnter() override {
        buildMine();
        new Round(m_settings);
    }
    void onLeave() override { vt::WorldManager::getInstance().removeTileMap(); }

  private:
    Settings m_settings;
};

// A screen's lines of text, centred from a row down, and what one action
// does there: the title, the pause menu and the game-over screen are cards.
class Card : public vt::Object {
  public:
    Card(int top_row, std::vector<std::string> lines, const char* action, std::function<void()> on_action)
        : m_top_row(top_row), m_lines(std::move(lines)), m_action(action), m_on_action(std::move(on_action)) {
        setType("Card");
        setSolidness(vt::SPECTRAL);
        registerInterest(vt::EVENT_ACTION);
    }
    int draw() override {
        int result = 0;
        for (std::size_t i = 0; i < m_lines.size(); i++)
            result |= drawLine(m_top_row + 2 * static_cast<int>(i), "  " + m_lines[i] + "  ",
                               i == 0 ? vt::YELLOW : vt::WHITE);
        return result;
    }
    int eventHandler(const vt::Event* p_event) override {
        const auto* p_action = vt::eventAs<vt::EventAction>(p_event);
        if (!p_action)
            return Object::eventHandler(p_event);
        if (p_action->getAction() == m_action && p_action->getPhase() == vt::ACTION_PRESSED)
            m_on_action();
        return 1;
    }

  private:
    int m_top_row;
    std::vector<std::string> m_lines;
    std::string m_action;
    std::function<void()> m_on_action;
};

class TitleScene : public vt::Scene {
  public:
    explicit TitleScene(const Settings& settings) : Scene("Title"), m_settings(settings) {}
    void onEnter() override {
        new Card(
            5,
            {"G O L D   R U N", "Gather the gold before the time runs out, and keep clear of the drones.",
             "Best score " + std::to_string(vt::SaveData::getInstance().getInt("best")),
             "Move " + binding("left") + " " + binding("right") + " " + binding("up") + " " + binding("down"),
             "Start " + binding("start") + "   Pause " + binding("pause") + "   Quit " + binding("quit")},
            "start", [settings = m_settings] {
                vt::SceneManager::getInstance().replaceScene(std::make_unique<PlayScene>(settings));
            });
    }

  private:
    Settings m_settings;
};

// Over the frozen mine, which stays drawn; the pause key goes back to it.
class PauseScene : public vt::Scene {
  public:
    PauseScene() : Scene("Paused") { setShowsSceneBelow(true); }
    void onEnter() override {
        writeLog("paused");
        new Card(11, {"P A U S E D", binding("pause") + " plays on, " + binding("quit") + " quits"}, "pause",
                 [] { vt::SceneManager::getInstance().popScene(); });
    }
    void onLeave() override { writeLog("playing on"); }
};

// Shown over the last moment of the round; it keeps the best score.
class GameOverScene : public vt::Scene {
  public:
    GameOverScene(const Settings& settings, int score, const char* reason)
        : Scene("Game over"), m_settings(settings), m_score(score), m_reason(reason) {
        setShowsSceneBelow(true);
    }
    void onEnter() override {
        vt::SaveData& save = vt::SaveData::getInstance();
        const int best = save.getInt("best");
        std::string result = "Score " + std::to_string(m_score) + ", best " + std::to_string(best);
        if (m_score > best) {
            save.setInt("best", m_score);
            save.save(); // says why in the log when it cannot; the game goes on
            result = "Score " + std::to_string(m_score) + ": a new best!";
        }
        writeLog("round over (" + m_reason + "), score " + std::to_string(m_score) + ", best " +
                 std::to_string(save.getInt("best")));
        new Card(
            10,
            {"G A M E   O V E R", result, binding("start") + " plays again, " + binding("quit") + " quits"},
            "start", [settings = m_settings] {
                // Both changes happen at the end of this step, in this order.
                vt::SceneManager& scenes = vt::SceneManager::getInstance();
                scenes.popScene();
                scenes.replaceScene(std::make_unique<PlayScene>(settings));
            });
    }

  private:
    Settings m_settings;
    int m_score;
    std::string m_reason;
};

Round::Round(const Settings& settings) : m_settings(settings) {
    setType("Round");
    setSolidness(vt::SPECTRAL);
    registerInterest(vt::EVENT_ACTION);
    m_p_score = counter("Score", vt::TOP_LEFT, 0);
    m_p_time = counter("Time", vt::TOP_CENTER, settings.seconds);
    counter("Best", vt::TOP_RIGHT, vt::SaveData::getInstance().getInt("best"));
    m_p_miner = new Miner(this);
    for (int i = 0; i < settings.level; i++)
        new Drone(DRONES[i], 8 - settings.level);
    for (int i = 0; i < GOLD_PIECES; i++)
        placeGold();
    startTimer("clock", STEPS_PER_SECOND, vt::TIMER_REPEATING);
    startTimer("restock", STEPS_BETWEEN_RESTOCKS, vt::TIMER_REPEATING);
}

void Round::collect(Gold& gold) {
    if (!m_over && gold.take())
        m_p_score->setValue(m_p_score->getValue() + 1);
}

void Round::end(const char* reason) {
    if (m_over)
        return;
    m_over = true;
    vt::SceneManager::getInstance().pushScene(
        std::make_unique<GameOverScene>(m_settings, m_p_score->getValue(), reason));
}

int Round::eventHandler(const vt::Event* p_event) {
    if (const auto* p_timer = vt::eventAs<vt::EventTimer>(p_event)) {
        if (p_timer->getName() == "clock") {
            m_p_time->setValue(m_p_time->getValue() - 1);
            if (m_p_time->getValue() <= 0)
                end("time is up");
        } else if (vt::WorldManager::getInstance().objectsOfType("Gold").getCount() < GOLD_PIECES) {
            placeGold();
        }
        return 1;
    }
    if (const auto* p_action = vt::eventAs<vt::EventAction>(p_event)) {
        if (p_action->getAction() == "pause" && p_action->getPhase() == vt::ACTION_PRESSED && !m_over)
            vt::SceneManager::getInstance().pushScene(std::make_unique<PauseScene>());
        return 1;
    }
    return Object::eventHandler(p_event);
}

vt::ViewObject* Round::counter(const char* label, int location, int value) {
    auto* p_view = new vt::ViewObject;
    p_view->setViewString(label);
    p_view->setLocation(location);
    p_view->setBorder(false);
    p_view->setValue(value);
    return p_view;
}

// Anywhere free but the miner's cell; rand() is seeded by the engine, and a
// recording keeps the seed.
void Round::placeGold() {
    for (int attempt = 0; attempt < 100; attempt++) {
        const vt::Vector where = cell(std::rand() % MINE_COLUMNS, MINE_TOP + std::rand() % MINE_ROWS);
        if (!isRock(static_cast<int>(where.getX()), static_cast<int>(where.getY())) &&
            !(where == m_p_miner->getPosition())) {
            new Gold(where);
            return;
        }
    }
}

// With --demo the game plays itself: two rounds with a pause in the first,
// then it quits. It presses the first key bound to each action, through the
// input queue, so what it does is recorded as a player's keys are.
class Pilot : public vt::Object {
  public:
    Pilot() {
        setType("Pilot");
        setSolidness(vt::SPECTRAL);
        registerInterest(vt::EVENT_STEP);
    }
    int eventHandler(const vt::Event* p_event) override {
        if (!vt::eventAs<vt::EventStep>(p_event))
            return Object::eventHandler(p_event);
        const vt::SceneManager& scenes = vt::SceneManager::getInstance();
        if (!scenes.getTopScene())
            return 1;
        const std::string scene = scenes.getTopScene()->getName();
        if (scene != m_scene || scenes.getSceneCount() != m_scene_count) {
            m_scene = scene;
            m_scene_count = scenes.getSceneCount();
            m_steps = 0;
            m_rounds_over += scene == "Game over" ? 1 : 0;
        }
        m_steps++;
        if (scene == "Title" && m_steps == 10)
            press("start");
        else if (scene == "Paused" && m_steps == 20)
            press("pause");
        else if (scene == "Game over" && m_steps == 30)
            press(m_rounds_over < 2 ? "start" : "quit");
        else if (scene == "Play" && m_rounds_over == 0 && !m_paused && m_steps == 60)
            m_paused = press("pause");
        else if (scene == "Play" && m_steps % 2 == 0)
            press(towardGold());
        return 1;
    }

  private:
    bool press(const std::string& action) {
        vt::InputManager& input = vt::InputManager::getInstance();
        const std::string keys = input.getActionBinding(action);
        vt::EventKeyboard key;
        key.setKey(vt::keyFromName(keys.substr(0, keys.find('+'))));
        key.setKeyboardAction(vt::KEY_ACTION_PRESSED);
        return key.getKey() != vt::KEY_UNDEFINED && input.queueInput(key) == 0;
    }

    // The first move of a shortest way through the mine to the nearest gold.
    static std::string towardGold() {
        static const int DX[] = {-1, 1, 0, 0};
        static const int DY[] = {0, 0, -1, 1};
        static const char* const MOVES[] = {"left", "right", "up", "down"};
        vt::WorldManager& world = vt::WorldManager::getInstance();
        const vt::ObjectList miners = world.objectsOfType("Miner");
        const vt::ObjectList gold = world.objectsOfType("Gold");
        if (miners.isEmpty())
            return "";
        const auto index = [](const vt::Vector& p) {
            return static_cast<std::size_t>(p.getY() * MINE_COLUMNS + p.getX());
        };
        const std::size_t cells = static_cast<std::size_t>(MINE_COLUMNS * (MINE_TOP + MINE_ROWS));
        std::vector<bool> is_gold(cells, false);
        for (int i = 0; i < gold.getCount(); i++)
            is_gold[index(gold[i]->getPosition())] = true;
        // Each cell reached keeps the first move that led there.
        std::vector<int> first_move(cells, -1);
        std::queue<vt::Vector> frontier;
        frontier.push(miners[0]->getPosition());
        first_move[index(frontier.front())] = 0;
        for (bool start = true; !frontier.empty(); start = false) {
            const vt::Vector here = frontier.front();
            frontier.pop();
            if (is_gold[index(here)])
                return MOVES[first_move[index(here)]];
            for (int move = 0; move < 4; move++) {
                const vt::Vector next = here + cell(DX[move], DY[move]);
                if (isRock(static_cast<int>(next.getX()), static_cast<int>(next.getY())) ||
                    first_move[index(next)] >= 0)
                    continue;
                first_move[index(next)] = start ? move : first_move[index(here)];
                frontier.push(next);
            }
        }
        return "";
    }

    std::string m_scene;
    int m_scene_count = 0;
    int m_steps = 0;
    int m_rounds_over = 0;
    bool m_paused = false;
};

// A whole number from first to last, or the fallback after a log line.
int boundedSetting(const char* name, const std::string& text, int first, int last, int fallback) {
    char* p_end = nullptr;
    const long value = std::strtol(text.c_str(), &p_end, 10);
    if (text.empty() || *p_end != '\0' || value < first || value > last) {
        writeLog(std::string(name) + " '" + text.substr(0, 20) + "' is not " + std::to_string(first) +
                 " to " + std::to_string(last) + "; " + std::to_string(fallback) + " applies");
        return fallback;
    }
    return static_cast<int>(value);
}

// The flag and the game's key in vt-config.txt, through the recording.
Settings readSettings(const std::string& level_flag, bool demo_flag) {
    vt::ReplayManager& replay = vt::ReplayManager::getInstance();
    const std::string config = vt::Config::getInstance().readConfig();
    std::string seconds = vt::match(config, "goldrun_seconds");
    if (seconds.empty())
        seconds = std::to_string(DEFAULT_SECONDS);
    Settings settings;
    settings.level = boundedSetting("level", replay.gameSetting("level", level_flag), 1, MAX_LEVEL, 1);
    settings.seconds = boundedSetting("goldrun_seconds", replay.gameSetting("seconds", seconds), 5,
                                      MAX_SECONDS, DEFAULT_SECONDS);
    settings.demo = replay.gameSetting("demo", demo_flag ? "yes" : "no") == "yes";
    return settings;
}

// The defaults; `bind_<action>` in vt-config.txt replaces any of them.
void bindControls() {
    vt::InputManager& input = vt::InputManager::getInstance();
    input.bindAction("left", {vt::KEY_LEFT, vt::KEY_A});
    input.bindAction("right", {vt::KEY_RIGHT, vt::KEY_D});
    input.bindAction("up", {vt::KEY_UP, vt::KEY_W});
    input.bindAction("down", {vt::KEY_DOWN, vt::KEY_S});
    input.bindAction("start", {vt::KEY_ENTER, vt::KEY_SPACE});
    input.bindAction("pause", {vt::KEY_P});
    input.bindAction("quit", {vt::KEY_Q});
}

constexpr char USAGE[] = "usage: goldrun [--level 1-5] [--demo] [--record FILE | --replay FILE]";

// After the game: how a replay went, or whether a recording was written.
int report(bool replaying) {
    const vt::ReplayManager& replay = vt::ReplayManager::getInstance();
    if (replaying && replay.hasMatched()) {
        std::printf("Replay matched its recording: %d checkpoints\n", replay.getCheckpointCount());
        return 0;
    }
    if (replaying && !replay.wasInterrupted()) {
        std::fprintf(stderr, "goldrun: replay diverged at step %d: %s\n", replay.getDivergence().step,
                     replay.getDivergence().reason.c_str());
        return 3;
    }
    if (!replay.getError().empty()) {
        std::fprintf(stderr, "goldrun: %s\n", replay.getError().c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    std::string level = "1", record, replay_file;
    bool demo = false, usage_error = false;
    for (int i = 1; i < argc && !usage_error; i++) {
        const bool has_value = i + 1 < argc;
        if (std::strcmp(argv[i], "--demo") == 0)
            demo = true;
        else if (std::strcmp(argv[i], "--level") == 0 && has_value && std::strlen(argv[i + 1]) == 1 &&
                 argv[i + 1][0] >= '1' && argv[i + 1][0] <= '0' + MAX_LEVEL)
            level = argv[++i];
        else if (std::strcmp(argv[i], "--record") == 0 && has_value)
            record = argv[++i];
        else if (std::strcmp(argv[i], "--replay") == 0 && has_value)
            replay_file = argv[++i];
        else
            usage_error = true;
    }
    if (usage_error || (!record.empty() && !replay_file.empty())) {
        std::fprintf(stderr, "%s\n", USAGE);
        return 2;
    }
    vt::ReplayManager& replay = vt::ReplayManager::getInstance();
    if ((!record.empty() && replay.startRecording(record) != 0) ||
        (!replay_file.empty() && replay.startReplay(replay_file) != 0)) {
        std::fprintf(stderr, "goldrun: %s\n", replay.getError().c_str());
        return 2;
    }

    vt::GameManager& game = vt::GameManager::getInstance();
    if (game.startUp() != 0) {
        vt::LogManager::getInstance().writeLog("Error starting game manager!");
        game.shutDown();
        return 1;
    }
    vt::LogManager::getInstance().setFlush(true);
    const Settings settings = readSettings(level, demo);
    bindControls();
    vt::SaveData::getInstance().open("goldrun");
    writeLog("level " + std::to_string(settings.level) + ", " + std::to_string(settings.seconds) +
             " seconds a round, best " + std::to_string(vt::SaveData::getInstance().getInt("best")) +
             ", pause on " + binding("pause"));

    if (settings.demo)
        new Pilot;
    // Made outside every scene, so it hears the quit key on every screen.
    new Card(0, {}, "quit", [] {
        writeLog("quit");
        vt::GameManager::getInstance().setGameOver();
    });
    vt::SceneManager::getInstance().pushScene(std::make_unique<TitleScene>(settings));

    game.run();
    game.shutDown();
    return report(!replay_file.empty());
}
