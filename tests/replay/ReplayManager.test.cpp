#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <set>

#include "support/EngineTest.h"
#include "support/StepRunner.h"
#include "vintrel/core/DebugOverlay.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/events/EventAction.h"
#include "vintrel/events/EventCollision.h"
#include "vintrel/events/EventKeyboard.h"
#include "vintrel/events/EventMouse.h"
#include "vintrel/events/EventStep.h"
#include "vintrel/input/InputManager.h"
#include "vintrel/input/Key.h"
#include "vintrel/paths/PathManager.h"
#include "vintrel/replay/ReplayManager.h"
#include "vintrel/replay/WorldChecksum.h"
#include "vintrel/save/SaveData.h"
#include "vintrel/world/ViewObject.h"
#include "vintrel/world/WorldManager.h"

namespace vt {
namespace {

// The scripted run: a ship the keyboard moves and fires from, rocks that
// clicks put down and that split at random when shot, and a seeker walking
// paths towards the ship. Input is queued as a window would deliver it.
constexpr int STOP_STEP = 240;
constexpr int PATH_EXPANSIONS = 20;
constexpr int INTERVAL = 5;

float randomTenths() { return static_cast<float>(std::rand() % 9 - 4) * 0.1f; }

// A shot flies up and goes when it leaves the world. A rock comes back in at
// a random place, and a shot that hits it splits it in two that fly off at random.
class Body : public Object {
  public:
    Body(const char* type, const Vector& at, const Vector& velocity) {
        setType(type);
        setSolidness(SOFT);
        setPosition(at);
        setVelocity(velocity);
    }
    int eventHandler(const Event* p_event) override {
        WorldManager& world = WorldManager::getInstance();
        const bool rock = getType() == "Rock";
        if (p_event->getType() == EVENT_OUT && !rock)
            world.markForDelete(this);
        if (p_event->getType() == EVENT_OUT && rock)
            setPosition(Vector(static_cast<float>(std::rand() % 80), static_cast<float>(std::rand() % 24)));
        const auto* p_hit = dynamic_cast<const EventCollision*>(p_event);
        if (rock && p_hit != nullptr &&
            (p_hit->getObject1()->getType() == "Shot" || p_hit->getObject2()->getType() == "Shot")) {
            world.markForDelete(p_hit->getObject1());
            world.markForDelete(p_hit->getObject2());
            for (int i = 0; i < 2 && world.objectsOfType("Rock").getCount() < 30; i++)
                new Body("Rock", getPosition(), Vector(randomTenths(), randomTenths()));
        }
        return 1;
    }
};

class Ship : public Object {
  public:
    Ship() {
        setType("Ship");
        setSolidness(SPECTRAL);
        setPosition(Vector(40, 20));
        registerInterest(EVENT_KEYBOARD);
        registerInterest(EVENT_MOUSE);
    }
    int eventHandler(const Event* p_event) override {
        if (const auto* p_key = dynamic_cast<const EventKeyboard*>(p_event)) {
            const int key = p_key->getKey();
            const bool held = p_key->getKeyboardAction() == KEY_ACTION_HELD;
            if (held && (key == KEY_A || key == KEY_D))
                WorldManager::getInstance().moveObject(
                    this, Vector(getPosition().getX() + (key == KEY_A ? -1.0f : 1.0f), getPosition().getY()));
            if (!held && key == KEY_SPACE)
                new Body("Shot", Vector(getPosition().getX(), getPosition().getY() - 1), Vector(0, -1));
        } else if (const auto* p_mouse = dynamic_cast<const EventMouse*>(p_event)) {
            if (p_mouse->getMouseAction() == MOUSE_ACTION_CLICKED)
                new Body("Rock", p_mouse->getMousePosition(), Vector());
        }
        return 1;
    }
};

class Seeker : public Object {
  public:
    explicit Seeker(Object* p_ship) : m_p_ship(p_ship) {
        setType("Seeker");
        setSolidness(SPECTRAL);
        setSpeed(0.5f);
        setPosition(Vector(2, 2));
        registerInterest(EVENT_STEP);
    }
    int eventHandler(const Event* p_event) override {
        const auto* p_step = dynamic_cast<const EventStep*>(p_event);
        if (p_step == nullptr)
            return Object::eventHandler(p_event);
        if (p_step->getStepCount() % 60 == 0)
            PathManager::getInstance().findPath(this, m_p_ship->getPosition());
        return 1;
    }

  private:
    Object* m_p_ship;
};

// Plays the part of the person at the keyboard, from a fixed script: what
// they do at this step.
void playScript(const Object* p_ship, int step) {
    InputManager& input = InputManager::getInstance();
    EventKeyboard key;
    key.setKeyboardAction(KEY_ACTION_HELD);
    key.setKey((step / 30) % 2 == 0 ? KEY_D : KEY_A);
    if (step % 3 == 0)
        input.queueInput(key);
    key.setKeyboardAction(KEY_ACTION_PRESSED);
    key.setKey(KEY_SPACE);
    if (step % 9 == 4)
        input.queueInput(key);
    EventMouse mouse;
    mouse.setMouseAction(step % 13 == 0 ? MOUSE_ACTION_CLICKED : MOUSE_ACTION_MOVED);
    mouse.setMouseButton(step % 13 == 0 ? MOUSE_BUTTON_LEFT : MOUSE_BUTTON_UNDEFINED);
    mouse.setMousePosition(Vector(p_ship->getPosition().getX(), static_cast<float>(4 + step % 12)));
    if (step % 13 == 0 || step % 5 == 2)
        input.queueInput(mouse);
    // Whoever recorded the run stopped it with Ctrl+C.
    if (step == STOP_STEP && !ReplayManager::getInstance().isReplaying())
        std::raise(SIGINT);
}

bool isClick(const ReplayFile::Input& input) {
    return input.kind == ReplayFile::Input::MOUSE && input.action == MOUSE_ACTION_CLICKED;
}

void buildScene() {
    auto* p_ship = new Ship;
    new Seeker(p_ship);
    new test::StepRunner(std::numeric_limits<int>::max(), [p_ship](int step) {
        playScript(p_ship, step);
        return true;
    });
}

/// What a replay in a child process saw.
struct Outcome {
    int matched = -1;
    int checkpoints = -1;
    int step = -1;
    int frame_time = -1;
    std::string reason;
    std::string objects;
};

class ReplayTest : public test::EngineTest {
  protected:
    // Ids and the random generator start afresh in each child, as they do
    // in any new program; this process keeps its engine unstarted.
    static int inChild(const std::function<bool()>& body) {
        const pid_t pid = fork();
        if (pid == 0)
            _exit(body() ? 0 : 1);
        int status = 0;
        waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    }

    // Starts the engine with these settings, plays the scene to its end and
    // shuts down; false when the engine did not start.
    bool play(const std::string& config) {
        const bool started = startEngine(config) == 0;
        if (started) {
            buildScene();
            GameManager::getInstance().run();
        }
        GameManager::getInstance().shutDown();
        return started;
    }

    int record() {
        return inChild([this] {
            ReplayManager& replay = ReplayManager::getInstance();
            return replay.startRecording(path(), INTERVAL, PATH_EXPANSIONS) == 0 &&
                   play("headless:true,networking:false,random_seed:0,frame_time:1,\n") &&
                   replay.getError().empty();
        });
    }

    Outcome replay(const std::string& file) {
        const std::string result = dir().file("outcome.txt");
        inChild([&] {
            ReplayManager& replay = ReplayManager::getInstance();
            // The recording's own settings apply, not this configuration.
            if (replay.startReplay(file) != 0 ||
                !play("headless:true,networking:false,random_seed:7,frame_time:33,\n"))
                return false;
            std::ofstream out(result);
            out << replay.hasMatched() << " " << replay.getCheckpointCount() << " "
                << replay.getDivergence().step << " " << GameManager::getInstance().getFrameTime() << "\n"
                << replay.getDivergence().reason << "\n";
            for (const ObjectDifference& difference : replay.getDivergence().objects)
                out << difference.type << " ";
            return true;
        });
        Outcome outcome;
        std::ifstream in(result);
        in >> outcome.matched >> outcome.checkpoints >> outcome.step >> outcome.frame_time;
        in.ignore();
        std::getline(in, outcome.reason);
        std::getline(in, outcome.objects);
        return outcome;
    }

    std::string path() const { return dir().file("run.vtr"); }
};

TEST_F(ReplayTest, ScriptedRunReplaysWithEveryCheckpointEqual) {
    ASSERT_EQ(record(), 0) << logText();
    ReplayFile file;
    std::string error;
    ASSERT_EQ(file.load(path(), error), 0) << error;

    // The run did what it is meant to exercise: shots fired by keys, rocks
    // put down by clicks and split by shots, shots deleted.
    const auto clicks = std::count_if(file.inputs.begin(), file.inputs.end(), isClick);
    std::map<std::string, std::set<int>> ids;
    for (const ReplayFile::Checkpoint& checkpoint : file.checkpoints)
        for (const ReplayFile::ObjectSum& object : checkpoint.objects)
            ids[object.type].insert(object.id);
    const std::vector<ReplayFile::ObjectSum>& last = file.checkpoints.back().objects;
    EXPECT_GT(clicks, 0);
    EXPECT_GT(static_cast<long>(ids["Rock"].size()), clicks);
    EXPECT_GT(
        static_cast<long>(ids["Shot"].size()),
        std::count_if(last.begin(), last.end(), [](const auto& object) { return object.type == "Shot"; }));
    EXPECT_EQ(file.step_count, STOP_STEP + 1);
    EXPECT_EQ(file.inputs.back().kind, ReplayFile::Input::STOP);
    EXPECT_EQ(file.checkpoints.back().step, STOP_STEP);
    EXPECT_EQ(file.path_expansions, PATH_EXPANSIONS);

    // The seed in force is the one recorded, whatever the settings say.
    const std::size_t seed_at = file.config.find("random_seed:0,");
    ASSERT_NE(seed_at, std::string::npos);
    file.config.replace(seed_at, 14, "random_seed:5,");
    ASSERT_EQ(file.save(path(), error), 0) << error;
    const Outcome outcome = replay(path());
    EXPECT_EQ(outcome.matched, 1) << outcome.reason;
    EXPECT_EQ(outcome.checkpoints, static_cast<int>(file.checkpoints.size()));
    EXPECT_EQ(outcome.frame_time, 1);
}

// The overlay only reads the world: a run recorded with it on replays,
// without it, checkpoint for checkpoint. Reloading sprites
// is refused while recording, in one line.
TEST_F(ReplayTest, RunRecordedWithTheDebugOverlayOnReplaysTheSame) {
    ASSERT_EQ(
        inChild([this] {
            ReplayManager& replay = ReplayManager::getInstance();
            if (replay.startRecording(path(), INTERVAL, PATH_EXPANSIONS) != 0 ||
                startEngine(
                    "headless:true,networking:false,random_seed:0,frame_time:1,sprite_reload:true,\n") != 0)
                return false;
            buildScene();
            // On from the first step, figures and outlines, without an object
            // of its own that the replay would lack.
            DebugOverlay::getInstance().setMode(OverlayMode::OUTLINES);
            GameManager::getInstance().run();
            const bool overlay_was_on = DebugOverlay::getInstance().getStepTiming().last_ms > 0.0;
            GameManager::getInstance().shutDown();
            return overlay_was_on && replay.getError().empty();
        }),
        0)
        << logText();
    EXPECT_EQ(test::countLines(logText(), "sprite_reload is off while the run is recorded or replayed."), 1);
    const Outcome outcome = replay(path());
    EXPECT_EQ(outcome.matched, 1) << outcome.reason;
    EXPECT_GT(outcome.checkpoints, 10);
}

TEST_F(ReplayTest, EditedRecordingDivergesAtTheStepTheEditTakesEffect) {
    ASSERT_EQ(record(), 0) << logText();
    ReplayFile recorded;
    std::string error;
    ASSERT_EQ(recorded.load(path(), error), 0) << error;
    const auto click =
        std::find_if(recorded.inputs.begin(), recorded.inputs.end(),
                     [](const ReplayFile::Input& input) { return input.step >= 100 && isClick(input); });
    ASSERT_NE(click, recorded.inputs.end());
    const auto click_at = static_cast<std::size_t>(click - recorded.inputs.begin());
    const auto click_checkpoint = std::find_if(
        recorded.checkpoints.begin(), recorded.checkpoints.end(),
        [&click](const ReplayFile::Checkpoint& checkpoint) { return checkpoint.step >= click->step; });
    ASSERT_NE(click_checkpoint, recorded.checkpoints.end());

    struct Edit {
        const char* name;
        std::function<void(ReplayFile&)> apply;
        int step;
        const char* reason;
        const char* objects;
    };
    const Edit edits[] = {
        {"a click two columns further",
         [click_at](ReplayFile& f) { f.inputs[click_at].position += Vector(2, 0); }, click_checkpoint->step,
         "world differs", "Rock"},
        {"the stop left out", [](ReplayFile& f) { f.inputs.erase(f.inputs.end() - 1); }, STOP_STEP, "goes on",
         ""},
        {"the window closed at step 150",
         [](ReplayFile& f) {
             const auto after = std::find_if(f.inputs.begin(), f.inputs.end(),
                                             [](const ReplayFile::Input& input) { return input.step > 150; });
             f.inputs.insert(after, {150, ReplayFile::Input::CLOSE, 0, 0, {}});
         },
         150, "ended after 151 steps", ""},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.name);
        ReplayFile file = recorded;
        edit.apply(file);
        ASSERT_EQ(file.save(dir().file("edited.vtr"), error), 0) << error;
        const Outcome outcome = replay(dir().file("edited.vtr"));
        EXPECT_EQ(outcome.matched, 0);
        EXPECT_EQ(outcome.step, edit.step) << outcome.reason;
        EXPECT_NE(outcome.reason.find(edit.reason), std::string::npos) << outcome.reason;
        EXPECT_NE(outcome.objects.find(edit.objects), std::string::npos) << outcome.objects;
    }
}

// A game that keeps its best score in its save data, takes its number of
// rocks from its own command line, and moves by a named action.
int g_rocks_flag = 0;
// A changed scoring rule: a replay with it diverges.
int g_score_drift = 0;

class Keeper : public Object {
  public:
    Keeper() {
        setType("Keeper");
        setSolidness(SPECTRAL);
        // Where it starts shows the best score it read.
        setPosition(Vector(static_cast<float>(SaveData::getInstance().getInt("best")), 5));
        const std::string rocks =
            ReplayManager::getInstance().gameSetting("rocks", std::to_string(g_rocks_flag));
        for (int i = 0; i < std::atoi(rocks.c_str()); i++)
            new Body("Rock", Vector(static_cast<float>(i), 1), Vector());
        InputManager::getInstance().bindAction("left", {KEY_A});
        m_p_score = new ViewObject;
        m_p_score->setViewString("Score");
        registerInterest(EVENT_STEP);
        registerInterest(EVENT_ACTION);
    }
    int eventHandler(const Event* p_event) override {
        if (p_event->getType() == EVENT_ACTION) {
            if (static_cast<const EventAction*>(p_event)->getPhase() == ACTION_PRESSED)
                setPosition(getPosition() - Vector(1, 0));
            return 1;
        }
        if (p_event->getType() != EVENT_STEP)
            return 0;
        const int step = static_cast<const EventStep*>(p_event)->getStepCount();
        // Whoever plays presses Q now and then, and A at other times: only
        // the key bound to "left" moves the keeper.
        EventKeyboard key;
        key.setKeyboardAction(KEY_ACTION_PRESSED);
        key.setKey(step % 3 == 0 ? KEY_Q : KEY_A);
        if (step % 4 == 1)
            InputManager::getInstance().queueInput(key);
        if (step % 10 == 9)
            m_p_score->setValue(m_p_score->getValue() + 1 + g_score_drift);
        SaveData& save = SaveData::getInstance();
        if (step == 60 && m_p_score->getValue() > save.getInt("best")) {
            save.setInt("best", m_p_score->getValue());
            save.save();
        }
        if (step == 60)
            GameManager::getInstance().setGameOver();
        return 1;
    }

  private:
    ViewObject* m_p_score;
};

constexpr char KEEPER_CONFIG[] = "headless:true,networking:false,frame_time:1,game_name:keeper,";

class RecordedGameTest : public ReplayTest {
  protected:
    RecordedGameTest() { setenv("XDG_DATA_HOME", dataHome().c_str(), 1); }
    ~RecordedGameTest() override { unsetenv("XDG_DATA_HOME"); }

    std::string dataHome() const { return dir().file("data"); }
    std::string savePath() const { return dataHome() + "/keeper/save.txt"; }

    bool playKeeper(const std::string& config) {
        SaveData::getInstance().reset();
        const bool started = startEngine(config) == 0;
        if (started) {
            new Keeper;
            GameManager::getInstance().run();
        }
        GameManager::getInstance().shutDown();
        return started;
    }

    // Records the game started with --rocks 3 and "left" bound to Q.
    int recordKeeper() {
        return inChild([this] {
            g_rocks_flag = 3;
            return ReplayManager::getInstance().startRecording(path(), INTERVAL) == 0 &&
                   playKeeper(std::string(KEEPER_CONFIG) + "bind_left:Q,") &&
                   ReplayManager::getInstance().getError().empty();
        });
    }

    // Replays without the flag or the binding; its outcome as one line:
    // matched, the divergence's step and reason, and the attributes named.
    std::string replayKeeper(const std::string& file, int drift) {
        const std::string result = dir().file("keeper-outcome.txt");
        std::remove(result.c_str());
        inChild([&] {
            g_score_drift = drift;
            ReplayManager& replay = ReplayManager::getInstance();
            if (replay.startReplay(file) != 0 || !playKeeper(KEEPER_CONFIG))
                return false;
            std::ofstream out(result);
            out << replay.hasMatched() << " " << replay.getDivergence().step << " "
                << replay.getDivergence().reason;
            for (const AttributeDifference& attribute : replay.getDivergence().attributes)
                out << " [" << attribute.attribute << "]";
            return true;
        });
        return test::readFile(result);
    }
};

TEST_F(RecordedGameTest, SavedValuesSettingsAndBindingsComeFromTheRecordingAndNothingIsSaved) {
    SaveData& save = SaveData::getInstance();
    ASSERT_EQ(save.open("keeper"), 0);
    ASSERT_EQ(save.setInt("best", 3), 0);
    ASSERT_EQ(save.save(), 0);
    save.reset();

    ASSERT_EQ(recordKeeper(), 0) << logText();
    ReplayFile file;
    std::string error;
    ASSERT_EQ(file.load(path(), error), 0) << error;
    ASSERT_EQ(file.saved_values.size(), 1u);
    EXPECT_EQ(file.saved_values[0].value, "3");
    ASSERT_EQ(file.game_settings.size(), 2u);
    EXPECT_EQ(file.game_settings[1].name, "bind_left");
    EXPECT_EQ(file.game_settings[1].value, "Q");
    // The new best is saved: the replays below read the old one from the recording.
    ASSERT_EQ(save.open("keeper"), 0);
    EXPECT_EQ(save.getInt("best"), 6);
    save.reset();

    const std::string saved = test::readFile(savePath());
    EXPECT_EQ(replayKeeper(path(), 0).substr(0, 5), "1 -1 ");
    EXPECT_EQ(test::readFile(savePath()), saved);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dataHome() + "/keeper"), {}), 1);

    // Without any save on this machine, nothing is made either.
    setenv("XDG_DATA_HOME", dir().file("elsewhere").c_str(), 1);
    EXPECT_EQ(replayKeeper(path(), 0).substr(0, 5), "1 -1 ");
    EXPECT_FALSE(std::filesystem::exists(dir().file("elsewhere")));
}

TEST_F(RecordedGameTest, DivergenceNamesTheAttributeAndBothValuesWhenTheRecordingHoldsThem) {
    ASSERT_EQ(recordKeeper(), 0) << logText();
    const std::string outcome = replayKeeper(path(), 1);
    EXPECT_EQ(outcome.substr(0, 4), "0 9 ") << outcome;
    EXPECT_NE(outcome.find(": value 2 here, 1 in the recording [value]"), std::string::npos) << outcome;
    EXPECT_NE(outcome.find("ViewObject "), std::string::npos) << outcome;

    // A recording made before checkpoints held their detail names the object only.
    ReplayFile file;
    std::string error;
    ASSERT_EQ(file.load(path(), error), 0) << error;
    EXPECT_FALSE(file.details.empty());
    file.details.clear();
    ASSERT_EQ(file.save(path(), error), 0) << error;
    const std::string without_detail = replayKeeper(path(), 1);
    EXPECT_EQ(without_detail.substr(0, 4), "0 9 ") << without_detail;
    EXPECT_NE(without_detail.find(" differs"), std::string::npos) << without_detail;
    EXPECT_EQ(without_detail.find("in the recording"), std::string::npos) << without_detail;
}

TEST_F(ReplayTest, CheckpointsSeeCollisionLayers) {
    ASSERT_EQ(startEngine(), 0);
    auto* p_ranged = new Object;
    new Object;
    const ReplayFile::Checkpoint before = checksumWorld(1);
    p_ranged->setCollisionLayer(0x4);
    const std::vector<ObjectDifference> differences = compareCheckpoints(before, checksumWorld(1));
    ASSERT_EQ(differences.size(), 1u);
    EXPECT_EQ(differences[0].id, p_ranged->getId());
    stopEngine();
}

} // namespace
} // namespace vt
