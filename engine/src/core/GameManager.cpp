#include "vintrel/core/GameManager.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

#include "core/DataFileLog.h"
#include "core/LoopState.h"
#include "platform/LocalTime.h"
#include "platform/StopSignals.h"
#include "platform/SystemClock.h"
#include "platform/TimerResolution.h"
#include "platform/WorkingDirectory.h"
#include "vintrel/core/Clock.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/DebugOverlay.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/events/EventStep.h"
#include "vintrel/input/InputManager.h"
#include "vintrel/media/DisplayManager.h"
#include "vintrel/media/ResourceManager.h"
#include "vintrel/network/NetworkManager.h"
#include "vintrel/paths/PathManager.h"
#include "vintrel/replay/ReplayManager.h"
#include "vintrel/save/SaveData.h"
#include "vintrel/world/Object.h"
#include "vintrel/world/WorldManager.h"

namespace vt {

namespace {

const char* const STARS = "****************************************************";

// Path searches get this share of a step's spare time; the rest absorbs the sleep's late wake-up.
constexpr float PATH_SHARE_OF_SPARE_TIME = 0.95f;

// Writes the failing step's line to the log and returns -1. The log may be
// buffered and is often not read, so the same line also goes to standard
// error, followed by the cause when the failing step logged one.
int startUpFailed(const std::string& message, std::uint64_t messages_before) {
    LogManager& log_manager = LogManager::getInstance();
    const bool cause_logged = log_manager.getMessageCount() != messages_before;
    const std::string cause = cause_logged ? log_manager.getLastMessage() : std::string();
    log_manager.writeLog("%s", message.c_str());
    // Without a log file every line went to standard error already.
    if (log_manager.isStarted())
        std::fprintf(stderr, "Vintrel: %s%s%s\n", message.c_str(),
                     cause.empty() ? "" : " Cause: ", cause.c_str());
    return -1;
}

// Whether sprite files changed on disk are read again each step; never while
// the run is recorded or replayed, which must not depend on files changing.
bool reloadsSprites() {
    if (Config::getInstance().getSettingNumber("sprite_reload") == 0)
        return false;
    if (ReplayManager::getInstance().isDeterministic()) {
        LogManager::getInstance().writeLog(
            "GameManager::run(): sprite_reload is off while the run is recorded or replayed.");
        return false;
    }
    return true;
}

// Updates and draws the world; with the debug overlay on, times both for it
// and draws it over the world.
void updateAndDraw(const Clock& clock, std::int64_t loop_us) {
    WorldManager& world_manager = WorldManager::getInstance();
    DebugOverlay& overlay = DebugOverlay::getInstance();
    world_manager.update();
    if (!overlay.isOn()) {
        world_manager.draw();
        return;
    }
    const std::int64_t updated_us = clock.split();
    world_manager.draw();
    const std::int64_t drawn_us = clock.split();
    overlay.noteStep(updated_us, drawn_us - updated_us, loop_us);
    overlay.draw();
}

// Lets the path searches run in the step's spare time (microseconds, before
// the sleep). Recorded and replayed runs count expansions, not time, so that
// paths arrive at the same step whatever the machine's speed.
void cyclePaths(std::int64_t budget_us) {
    PathManager& path_manager = PathManager::getInstance();
    const ReplayManager& replay_manager = ReplayManager::getInstance();
    if (replay_manager.isDeterministic())
        path_manager.cycleExpansions(replay_manager.getPathExpansions());
    else
        path_manager.cycle(
            static_cast<int>(static_cast<float>(budget_us) * PATH_SHARE_OF_SPARE_TIME / 1000.0f));
}

// Sleeps out the rest of the step and returns the oversleep, in microseconds,
// to take from the next one; a step that ran late is noted and logged, unless
// it paid off an oversleep or is the first.
std::int64_t sleepRestOfStep(const Clock& clock, std::int64_t adjust_time, int frame_time, int step_count) {
    const std::int64_t frame_us = static_cast<std::int64_t>(frame_time) * 1000;
    const std::int32_t split = clock.split();
    const std::int64_t remaining = frame_us - split - adjust_time;
    if (ReplayManager::getInstance().isUnthrottled())
        return 0; // a fast replay neither sleeps nor reports falling behind
    if (remaining > 0) {
        const std::int64_t before = clock.split();
        platform::sleepInLoop(remaining);
        const std::int64_t after = clock.split();
        return std::max<std::int64_t>(after - before - remaining, 0);
    }
    if (adjust_time == 0 && frame_time > 0 && step_count > 0) {
        DebugOverlay::getInstance().noteLaggingStep();
        LogManager::getInstance().writeLog("GameManager::run(): Can't keep up! frame_time %d ms, split %d ms",
                                           frame_time, split / 1000);
    }
    return 0;
}

template <class ManagerClass> Manager& instanceOf() { return ManagerClass::getInstance(); }

// One manager as the game manager starts and stops it, with its log lines.
struct EngineManager {
    Manager& (*instance)();
    bool networking_only; // started and stopped only when networking is on
    const char* start_error;
    const char* started;
    const char* stopped;
};

// The order of start-up; shut-down walks it backwards. Input needs the
// display's window, and the world's size comes from the display.
const std::array<EngineManager, 6> ENGINE_MANAGERS = {{
    {&instanceOf<DisplayManager>, false, "GameManager::startUp(): Error! Starting display manager.",
     "Display manager started.", "Display manager stopped"},
    {&instanceOf<InputManager>, false, "GameManager::startUp(): Error! Starting input manager.",
     "Input manager started.", "Input manager stopped"},
    {&instanceOf<NetworkManager>, true, "GameManager::startUp(): Error! Starting network manager.",
     "Network manager started.", "Network manager stopped"},
    {&instanceOf<ResourceManager>, false, "GameManager::startUp(): Error! Starting resource manager.",
     "Resource manager started.", "Resource manager stopped"},
    {&instanceOf<WorldManager>, false, "GameManager::startUp(): Error starting world manager.",
     "World manager started.", "World manager stopped"},
    {&instanceOf<PathManager>, false, "GameManager::startUp(): Error starting path manager.",
     "Path manager started.", "Path manager stopped"},
}};

// Opens the log and writes the banner, the configuration and the working
// directory; 0 or -1.
int startLog(const Config& config) {
    LogManager& log_manager = LogManager::getInstance();
    const std::uint64_t messages_before = log_manager.getMessageCount();
    if (log_manager.startUp() == -1)
        return startUpFailed("GameManager::startUp(): Error! Starting log manager.", messages_before);
    log_manager.writeLog("%s", STARS);
    log_manager.writeLog("** Vintrel version %.2f **", VINTREL_VERSION);
    log_manager.writeLog("** Game engine started **");
    log_manager.writeLog("%s", STARS);
    config.logConfig();

    char directory[256];
    log_manager.writeLog(1, "Working directory:");
    if (platform::currentWorkingDirectory(directory, sizeof(directory)) == 0)
        log_manager.writeLog(1, "  %s", directory);
    else
        log_manager.writeLog(1, "  %s", "(full path too long)");
    log_manager.writeLog(1, "Log Manager started.");
    writeHeldDataFileLines();
    return 0;
}

// Starts the managers in order; the first failure ends start-up with -1 and
// leaves those already started for shut-down to stop.
int startManagers(bool networking) {
    LogManager& log_manager = LogManager::getInstance();
    for (const EngineManager& entry : ENGINE_MANAGERS) {
        if (entry.networking_only && !networking)
            continue;
        const std::uint64_t messages_before = log_manager.getMessageCount();
        if (entry.instance().startUp() == -1)
            return startUpFailed(entry.start_error, messages_before);
        log_manager.writeLog(1, "%s", entry.started);
    }
    return 0;
}

// Stops the started managers in the reverse order of start-up.
void stopManagers(bool networking) {
    LogManager& log_manager = LogManager::getInstance();
    for (auto entry = ENGINE_MANAGERS.rbegin(); entry != ENGINE_MANAGERS.rend(); ++entry) {
        if (entry->networking_only && !networking)
            continue;
        Manager& manager = entry->instance();
        if (manager.isStarted()) {
            manager.shutDown();
            log_manager.writeLog(1, "%s", entry->stopped);
        }
    }
    // A display that failed to start keeps the window it opened (when the
    // font is missing) until now.
    DisplayManager& display_manager = DisplayManager::getInstance();
    if (!display_manager.isStarted() && display_manager.getWindow() != nullptr)
        display_manager.shutDown();
}

// The world is exactly as large as the window. A size the world cannot
// hold would leave an empty world behind a successful start.
int fitWorldToWindow() {
    LogManager& log_manager = LogManager::getInstance();
    WorldManager& world_manager = WorldManager::getInstance();
    DisplayManager& display_manager = DisplayManager::getInstance();
    const Box boundary(Vector(0, 0), static_cast<float>(display_manager.getHorizontalChars()),
                       static_cast<float>(display_manager.getVerticalChars()));
    const std::uint64_t messages_before = log_manager.getMessageCount();
    world_manager.setBoundary(boundary);
    if (!(world_manager.getBoundary() == boundary))
        return startUpFailed("GameManager::startUp(): Error! The world refused the boundary " +
                                 boundary.toString() + ".",
                             messages_before);
    world_manager.setView(boundary);
    world_manager.setViewSlack(Vector(1.0f / 3.0f, 1.0f / 3.0f));
    return 0;
}

// A configured seed of 0 means the clock's; a replay substitutes its own;
// -1 leaves the generator alone.
void seedRandomGenerator(int configured_seed) {
    int seed = configured_seed;
    if (seed == 0)
        seed = static_cast<int>(static_cast<std::uint32_t>(platform::calendarSeconds()));
    seed = ReplayManager::getInstance().chooseSeed(seed);
    if (seed != -1) {
        LogManager::getInstance().writeLog(10, "GameManager()::startUp(): srand() seed with %d", seed);
        std::srand(static_cast<unsigned>(seed));
    }
}

// Fine timer resolution for short sleeps and, when configured, the stop
// signals. Refusals are only warnings.
void takePlatformServices(bool catch_signals) {
    LogManager& log_manager = LogManager::getInstance();
    if (platform::beginTimerResolution(1) == platform::TIMER_NO_CAN_DO)
        log_manager.writeLog(1,
                             "GameManager()::startUp(): Warning!  timeBeginPeriod() cannot accept 1 msec.");

    // Interrupting the game ends its loop after the current step, so that
    // shut-down still runs and the log gets its closing lines.
    if (catch_signals && platform::catchStopSignals() == -1)
        log_manager.writeLog("GameManager::startUp(): Warning! Cannot catch SIGINT and SIGTERM.");
}

} // namespace

GameManager::GameManager() {
    setType("GameManager");
    // Once the game is over, the world's teardown is expected to find
    // objects gone from the scene graph's lists, whoever ended the game.
    LoopState::getInstance().setGameOverListener(
        [](bool game_over) { WorldManager::getInstance().getSceneGraph().setGameOver(game_over); });
}

GameManager::~GameManager() = default;

GameManager& GameManager::getInstance() {
    static GameManager game_manager;
    return game_manager;
}

bool GameManager::isValid(const std::string& event_type) const { return event_type == EVENT_STEP; }

int GameManager::startUp() {
    if (refuseSecondStart())
        return -1;

    // Read before the log opens, so that the configured log file is known.
    // A replay brings the settings that decide its run; the others, the log
    // file among them, stay those of the replayer's own configuration.
    Config& config = Config::getInstance();
    ReplayManager& replay_manager = ReplayManager::getInstance();
    config.loadConfig("");
    if (replay_manager.isReplaying())
        config.loadConfig(replay_manager.getConfigText());

    if (startLog(config) == -1)
        return -1;
    LogManager& log_manager = LogManager::getInstance();
    LoopState::getInstance().setFrameTime(config.getFrameTime());
    log_manager.writeLog(5, "GameManager::startUp(): frame time is %d milliseconds", getFrameTime());

    if (startManagers(config.getNetworking()) == -1 || fitWorldToWindow() == -1)
        return -1;
    seedRandomGenerator(config.getRandomSeed());
    takePlatformServices(config.getSignals());

    setGameOver(false);
    DebugOverlay::getInstance().reset();
    Manager::startUp();
    LoopState::getInstance().setEngineStarted(true);
    log_manager.writeLog(1, "GameManager successfully started.");
    return 0;
}

void GameManager::shutDown() {
    LogManager& log_manager = LogManager::getInstance();
    setGameOver(true);
    // Before the world goes: the last checkpoint is taken from it.
    ReplayManager::getInstance().finish();

    if (platform::endTimerResolution(1) == platform::TIMER_NO_CAN_DO)
        log_manager.writeLog(1, "GameManager()::shutDown(): Warning! timeEndPeriod() cannot accept 1 msec.");

    stopManagers(Config::getInstance().getNetworking());

    log_manager.writeLog("%s", STARS);
    log_manager.writeLog("** Game engine stopped **");

    if (log_manager.isStarted())
        log_manager.shutDown();
    // Stopped, the engine is as a fresh process holds it: a later start-up
    // logs from step 0 again.
    setStepCount(0);
    Manager::shutDown();
    LoopState::getInstance().setEngineStarted(false);
    platform::releaseStopSignals();
}

void GameManager::run() {
    Clock clock;
    LogManager& log_manager = LogManager::getInstance();
    log_manager.writeLog(1, "GameManager::run(): starting game loop");
    setGameOver(false);
    setStepCount(0);
    // Microseconds of oversleep carried into the next step. Sums are formed in
    // 64 bits so that an outlandish configured frame time cannot overflow.
    std::int64_t adjust_time = 0;

    const bool networking = Config::getInstance().getNetworking();
    DisplayManager& display_manager = DisplayManager::getInstance();
    InputManager& input_manager = InputManager::getInstance();
    WorldManager& world_manager = WorldManager::getInstance();
    ReplayManager& replay_manager = ReplayManager::getInstance();
    const LoopState& loop_state = LoopState::getInstance();
    const int frame_time = loop_state.getFrameTime();
    DebugOverlay& overlay = DebugOverlay::getInstance();
    const bool sprite_reload = reloadsSprites();
    // Microseconds since the loop began, for the overlay's times.
    std::int64_t loop_us = 0;

    while (true) {
        loop_us += clock.delta();

        // Timers first, so that what they start or change is in place for
        // the step event.
        if (sprite_reload)
            ResourceManager::getInstance().reloadChangedSprites();
        world_manager.fireTimers();
        const EventStep step(loop_state.getStepCount());
        onEvent(&step);

        display_manager.presentFrame();
        input_manager.getInput();
        for (int presses = input_manager.takeOverlayKeyPresses(); presses > 0; presses--)
            overlay.advanceMode();
        updateAndDraw(clock, loop_us);

        if (networking)
            NetworkManager::getInstance().update();

        cyclePaths(static_cast<std::int64_t>(frame_time) * 1000 - clock.split() - adjust_time);
        replay_manager.endStep();
        adjust_time = sleepRestOfStep(clock, adjust_time, frame_time, loop_state.getStepCount());

        setStepCount(loop_state.getStepCount() + 1);
        if (platform::stopRequested() && !loop_state.getGameOver()) {
            log_manager.writeLog("GameManager::run(): Signal %d received; ending the game loop.",
                                 platform::stopSignal());
            replay_manager.stopRequested();
            setGameOver(true);
        }
        if (loop_state.getGameOver())
            break;
    }
    log_manager.writeLog(1, "GameManager::run(): end of game loop");
}

void GameManager::setGameOver(bool game_over) { LoopState::getInstance().setGameOver(game_over); }

void GameManager::setStepCount(int step_count) {
    LoopState::getInstance().setStepCount(step_count);
    LogManager::getInstance().setStepCount(step_count);
}

bool GameManager::getGameOver() const { return LoopState::getInstance().getGameOver(); }

int GameManager::getFrameTime() const { return LoopState::getInstance().getFrameTime(); }

int GameManager::restoreDefaults() {
    if (isStarted()) {
        LogManager::getInstance().writeLog(
            "GameManager::restoreDefaults(): Error! The engine is running; shut it down first.");
        return -1;
    }
    Config::getInstance().reset();
    LogManager::getInstance().restoreDefaults();
    setGameOver(false);
    PathManager::getInstance().restoreDefaults();
    Object::resetIds();
    platform::overrideTime(nullptr, nullptr);
    SaveData::getInstance().reset();
    return 0;
}

int GameManager::getStepCount() const { return LoopState::getInstance().getStepCount(); }

} // namespace vt
