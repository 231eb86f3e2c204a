#include "vintrel/replay/ReplayManager.h"

#include <algorithm>

#include "core/LoopState.h"
#include "core/TextTables.h"
#include "platform/AtomicFileWrite.h"
#include "replay/CheckpointDetail.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/core/Manager.h"
#include "vintrel/core/Text.h"
#include "vintrel/events/EventKeyboard.h"
#include "vintrel/events/EventMouse.h"

namespace vt {

namespace {

// Objects named in a divergence's one line; the full list is in getDivergence().
constexpr std::size_t NAMED_OBJECTS = 5;

// "ViewObject 4: value 10 here, 12 in the recording", and the names of any
// other attributes that differ; the plain description without the detail.
std::string describe(const ObjectDifference& object, const std::vector<AttributeDifference>& attributes) {
    std::string text;
    int named = 0;
    for (const AttributeDifference& attribute : attributes) {
        if (attribute.id != object.id)
            continue;
        if (named == 0)
            text = object.type + " " + std::to_string(object.id) + ": " + attribute.describe();
        else
            text += (named == 1 ? "; also " : ", ") + attribute.attribute;
        named++;
    }
    return named == 0 ? object.describe() : text;
}

std::string describe(const std::vector<ObjectDifference>& objects,
                     const std::vector<AttributeDifference>& attributes) {
    std::string text;
    for (std::size_t i = 0; i < objects.size() && i < NAMED_OBJECTS; i++)
        text += (i == 0 ? "" : ", ") + describe(objects[i], attributes);
    if (objects.size() > NAMED_OBJECTS)
        text += " (and " + std::to_string(objects.size() - NAMED_OBJECTS) + " more)";
    return text;
}

} // namespace

ReplayManager::ReplayManager() : m_p_detail(std::make_unique<replay::CheckpointDetail>()) {}

ReplayManager::~ReplayManager() = default;

ReplayManager& ReplayManager::getInstance() {
    static ReplayManager replay_manager;
    return replay_manager;
}

void ReplayManager::reset() {
    m_mode = Mode::OFF;
    m_file = ReplayFile();
    m_path.clear();
    m_error.clear();
    m_headless = true;
    m_unthrottled = true;
    m_step = 0;
    m_next_input = 0;
    m_next_checkpoint = 0;
    m_checkpoints_done = 0;
    m_divergence = ReplayDivergence();
    m_interrupted = false;
    m_matched = false;
    m_p_detail->clear();
    m_noted_keys.clear();
}

// What is recorded or replayed is fixed when the engine starts; a running
// recording or replay is left as it is.
int ReplayManager::refuseUnlessBeforeStartUp(const char* where) {
    if (!LoopState::getInstance().isEngineStarted())
        return 0;
    m_error = std::string("ReplayManager::") + where + "(): Error! Must come before the game manager starts.";
    LogManager::getInstance().writeLog("%s", m_error.c_str());
    return -1;
}

int ReplayManager::startRecording(const std::string& path, int checkpoint_interval, int path_expansions) {
    if (refuseUnlessBeforeStartUp("startRecording") != 0)
        return -1;
    reset();
    if (checkpoint_interval < 1 || checkpoint_interval > ReplayFile::MAX_INTERVAL || path_expansions < 1 ||
        path_expansions > ReplayFile::MAX_INTERVAL) {
        m_error = "checkpoint interval and path expansions must be 1 to " +
                  std::to_string(ReplayFile::MAX_INTERVAL);
        return -1;
    }
    // Found out now, not after the whole run has been played; an earlier
    // file there stays whole until the new recording replaces it at the end.
    std::string reason;
    if (platform::checkWritableAtomically(path, &reason) != 0) {
        m_error = path + ": " + reason;
        return -1;
    }
    m_path = path;
    m_file.checkpoint_interval = checkpoint_interval;
    m_file.path_expansions = path_expansions;
    m_mode = Mode::RECORDING;
    return 0;
}

int ReplayManager::startReplay(const std::string& path, bool headless, bool unthrottled) {
    if (refuseUnlessBeforeStartUp("startReplay") != 0)
        return -1;
    ReplayFile file;
    std::string error;
    if (file.load(path, error) != 0) {
        reset();
        m_error = error;
        return -1;
    }
    if (startReplay(file, headless, unthrottled) != 0) {
        m_error = path + ": " + m_error;
        return -1;
    }
    return 0;
}

int ReplayManager::startReplay(const ReplayFile& file, bool headless, bool unthrottled) {
    if (refuseUnlessBeforeStartUp("startReplay") != 0)
        return -1;
    reset();
    // Found out now, before a window opens or a log is written, not as a
    // failed start-up.
    m_error = Config::checkRunSettings(file.config);
    if (!m_error.empty() || file.checkCoverage(m_error) != 0)
        return -1;
    m_file = file;
    m_headless = headless;
    m_unthrottled = unthrottled;
    m_mode = Mode::REPLAYING;
    return 0;
}

std::string ReplayManager::getConfigText() const {
    // How the replay is shown is the replayer's choice; of the recording,
    // only what decides the run applies, never where it is logged or served.
    return std::string("headless:") + text::boolText(m_headless) + "," +
           Config::replayedSettingsText(m_file.config);
}

int ReplayManager::chooseSeed(int seed) {
    if (m_mode == Mode::REPLAYING)
        return m_file.seed;
    if (m_mode == Mode::RECORDING) {
        m_file.seed = seed;
        m_file.config = Config::getInstance().runSettingsText();
    }
    return seed;
}

std::string ReplayManager::gameSetting(const std::string& name, const std::string& value) {
    if (m_mode == Mode::OFF)
        return value;
    if (name.empty() || name.size() > ReplayFile::MAX_NAME_BYTES ||
        value.size() > ReplayFile::MAX_VALUE_BYTES) {
        LogManager::getInstance().writeLog("ReplayManager::gameSetting(): Error! Setting '%s' is not kept: "
                                           "names take 1 to %zu bytes, values at most %zu.",
                                           clipForLog(name).c_str(), ReplayFile::MAX_NAME_BYTES,
                                           ReplayFile::MAX_VALUE_BYTES);
        return value;
    }
    std::vector<ReplayFile::GameSetting>& settings = m_file.game_settings;
    const auto found =
        std::find_if(settings.begin(), settings.end(),
                     [&name](const ReplayFile::GameSetting& setting) { return setting.name == name; });
    if (m_mode == Mode::REPLAYING)
        return found != settings.end() ? found->value : value;
    if (found != settings.end())
        found->value = value;
    else if (settings.size() < ReplayFile::MAX_NAMED_VALUES)
        settings.push_back({name, value});
    else
        LogManager::getInstance().writeLog(
            "ReplayManager::gameSetting(): Error! Setting '%s' is one more than the %zu a recording keeps.",
            clipForLog(name).c_str(), ReplayFile::MAX_NAMED_VALUES);
    return value;
}

void ReplayManager::noteSavedValue(const std::string& key, bool present, const std::string& value) {
    if (m_mode != Mode::RECORDING || m_noted_keys.count(key) != 0)
        return;
    if (m_noted_keys.size() >= ReplayFile::MAX_NAMED_VALUES || key.empty() ||
        key.size() > ReplayFile::MAX_NAME_BYTES || value.size() > ReplayFile::MAX_VALUE_BYTES) {
        // Said once per key: a replay of this run returns the default for it.
        LogManager::getInstance().writeLog("ReplayManager::noteSavedValue(): Error! Saved key '%s' is not "
                                           "recorded (a recording keeps %zu).",
                                           clipForLog(key).c_str(), ReplayFile::MAX_NAMED_VALUES);
        m_noted_keys.insert(key);
        return;
    }
    m_noted_keys.insert(key);
    m_file.saved_values.push_back({key, present, present ? value : std::string()});
}

void ReplayManager::recordInput(const EventKeyboard& keyboard) {
    if (m_mode != Mode::RECORDING)
        return;
    ReplayFile::Input input;
    input.step = m_step;
    input.kind = ReplayFile::Input::KEYBOARD;
    input.action = keyboard.getKeyboardAction();
    input.code = keyboard.getKey();
    m_file.inputs.push_back(input);
}

void ReplayManager::recordInput(const EventMouse& mouse) {
    if (m_mode != Mode::RECORDING)
        return;
    ReplayFile::Input input;
    input.step = m_step;
    input.kind = ReplayFile::Input::MOUSE;
    input.action = mouse.getMouseAction();
    input.code = mouse.getMouseButton();
    input.position = mouse.getMousePosition();
    m_file.inputs.push_back(input);
}

void ReplayManager::recordClose() {
    if (m_mode != Mode::RECORDING)
        return;
    ReplayFile::Input input;
    input.step = m_step;
    input.kind = ReplayFile::Input::CLOSE;
    m_file.inputs.push_back(input);
}

void ReplayManager::stopRequested() {
    if (m_mode == Mode::REPLAYING) {
        interrupt();
        return;
    }
    if (m_mode != Mode::RECORDING)
        return;
    // The loop has counted the step already; the stop belongs to the step that ended.
    ReplayFile::Input input;
    input.step = m_step - 1;
    input.kind = ReplayFile::Input::STOP;
    m_file.inputs.push_back(input);
}

void ReplayManager::deliverInput(const Manager& input_manager) {
    deliverInput([&input_manager](const Event& event) { input_manager.onEvent(&event); });
}

void ReplayManager::deliverInput(const std::function<void(const Event&)>& deliver) {
    if (m_mode != Mode::REPLAYING || isStopped())
        return;
    const std::vector<ReplayFile::Input>& inputs = m_file.inputs;
    // A stop comes at the end of its step (endStep), after all of its input.
    for (; m_next_input < inputs.size() && inputs[m_next_input].step <= m_step &&
           inputs[m_next_input].kind != ReplayFile::Input::STOP;
         m_next_input++) {
        const ReplayFile::Input& input = inputs[m_next_input];
        if (input.kind == ReplayFile::Input::KEYBOARD) {
            EventKeyboard keyboard;
            keyboard.setKey(input.code);
            keyboard.setKeyboardAction(input.action);
            deliver(keyboard);
        } else if (input.kind == ReplayFile::Input::MOUSE) {
            EventMouse mouse;
            mouse.setMouseAction(input.action);
            mouse.setMouseButton(input.code);
            mouse.setMousePosition(input.position);
            deliver(mouse);
        } else {
            LogManager::getInstance().writeLog(
                1, "ReplayManager::deliverInput(): Window closed. Setting game over.");
            LoopState::getInstance().setGameOver(true);
        }
    }
}

bool ReplayManager::isFinalCheckpoint(std::size_t index) const {
    return index + 1 == m_file.checkpoints.size() && m_file.checkpoints[index].step == m_file.step_count - 1;
}

void ReplayManager::verify(const ReplayFile::Checkpoint& expected) {
    const ReplayFile::Checkpoint now = checksumWorld(expected.step);
    std::vector<ObjectDifference> differences;
    if (now.world_hash != expected.world_hash)
        differences = compareCheckpoints(expected, now);
    if (differences.empty()) {
        m_checkpoints_done++;
        return;
    }
    std::vector<AttributeDifference> attributes =
        replay::CheckpointDetail::explain(m_file, expected.step, differences);
    const std::string reason = "the world differs from the recording: " + describe(differences, attributes);
    diverge(expected.step, reason, std::move(differences), std::move(attributes));
}

void ReplayManager::takeCheckpoint(int step) {
    m_file.checkpoints.push_back(checksumWorld(step));
    std::string detail = m_p_detail->take(m_file.checkpoints.back());
    if (!detail.empty())
        m_file.details[step] = std::move(detail);
}

void ReplayManager::endStep() {
    if (m_mode == Mode::RECORDING && (m_step + 1) % m_file.checkpoint_interval == 0) {
        takeCheckpoint(m_step);
        m_checkpoints_done++;
    }
    if (m_mode == Mode::REPLAYING && !isStopped()) {
        // The final checkpoint waits for finish(): it was taken at shut-down.
        const std::vector<ReplayFile::Checkpoint>& recorded = m_file.checkpoints;
        while (m_next_checkpoint < recorded.size() && recorded[m_next_checkpoint].step < m_step)
            m_next_checkpoint++;
        if (m_next_checkpoint < recorded.size() && recorded[m_next_checkpoint].step == m_step &&
            !isFinalCheckpoint(m_next_checkpoint))
            verify(recorded[m_next_checkpoint++]);
        for (; m_next_input < m_file.inputs.size() && m_file.inputs[m_next_input].step <= m_step &&
               m_file.inputs[m_next_input].kind == ReplayFile::Input::STOP;
             m_next_input++) {
            LogManager::getInstance().writeLog(
                "ReplayManager::endStep(): Stop signal; ending the game loop.");
            LoopState::getInstance().setGameOver(true);
        }
        if (!isStopped() && m_step >= m_file.step_count - 1 && !LoopState::getInstance().getGameOver())
            diverge(m_step, "the recording ends at step " + std::to_string(m_file.step_count - 1) +
                                " but this run goes on");
    }
    if (m_mode == Mode::REPLAYING && isStopped())
        LoopState::getInstance().setGameOver(true);
    m_step++;
}

void ReplayManager::diverge(int step, const std::string& reason, std::vector<ObjectDifference> objects,
                            std::vector<AttributeDifference> attributes) {
    if (hasDiverged())
        return;
    m_divergence.step = step;
    m_divergence.reason = reason;
    m_divergence.objects = std::move(objects);
    m_divergence.attributes = std::move(attributes);
    LogManager::getInstance().writeLog("ReplayManager: Replay diverged at step %d: %s", step, reason.c_str());
    LoopState::getInstance().setGameOver(true);
}

void ReplayManager::interrupt() {
    if (m_mode != Mode::REPLAYING || isStopped())
        return;
    m_interrupted = true;
    LogManager::getInstance().writeLog("ReplayManager::interrupt(): Replay stopped at step %d.", m_step);
    LoopState::getInstance().setGameOver(true);
}

void ReplayManager::finish() {
    LogManager& log_manager = LogManager::getInstance();
    if (m_mode == Mode::RECORDING && m_step == 0) {
        // Nothing to replay (the engine did not start, say): an earlier file stays.
        m_error = m_path + ": no step ran, so nothing was recorded";
        log_manager.writeLog("ReplayManager::finish(): Warning! No step ran; nothing recorded to '%s'.",
                             m_path.c_str());
    } else if (m_mode == Mode::RECORDING) {
        m_file.step_count = m_step;
        // Taken now, after whatever the game did once its last loop ended.
        if (!m_file.checkpoints.empty() && m_file.checkpoints.back().step == m_step - 1) {
            m_file.checkpoints.pop_back();
            m_file.details.erase(m_step - 1);
            m_p_detail->forgetLast();
        }
        takeCheckpoint(m_step - 1);
        m_checkpoints_done = static_cast<int>(m_file.checkpoints.size());
        if (m_file.save(m_path, m_error) != 0)
            log_manager.writeLog("ReplayManager::finish(): Error! Cannot write the replay: %s",
                                 m_error.c_str());
        else
            log_manager.writeLog(1, "ReplayManager::finish(): %d steps recorded to '%s'.", m_step,
                                 m_path.c_str());
    } else if (m_mode == Mode::REPLAYING && !isStopped()) {
        if (m_step != m_file.step_count)
            diverge(m_step - 1, "this run ended after " + std::to_string(m_step) +
                                    " steps, the recording after " + std::to_string(m_file.step_count));
        else if (m_next_checkpoint < m_file.checkpoints.size() && isFinalCheckpoint(m_next_checkpoint))
            verify(m_file.checkpoints[m_next_checkpoint++]);
        // A match means the worlds were compared and found equal, not merely that nothing differed.
        if (m_checkpoints_done == 0)
            diverge(m_step - 1, "no checkpoint of the recording was compared");
        m_matched = !isStopped();
        if (m_matched)
            log_manager.writeLog(1, "ReplayManager::finish(): replay matched its recording over %d steps.",
                                 m_step);
    }
    m_mode = Mode::OFF;
}

} // namespace vt
