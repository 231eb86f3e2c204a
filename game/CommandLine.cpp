#include "CommandLine.h"

#include <cstdio>
#include <string_view>

#include <vintrel/replay/ReplayManager.h>
#include <vintrel/world/ObjectList.h>
#include <vintrel/world/WorldManager.h>

#include "Points.h"

namespace {

const char* const USAGE = "usage: vintrel-shooter [--record FILE | --replay FILE [--headless] [--fast]] "
                          "[--host [[ADDRESS:]PORT]] | --watch HOST[:PORT]";

// The score of the latest game: the newest score display's value.
int latestScore() {
    const vt::ObjectList all = vt::WorldManager::getInstance().getAllObjects(true);
    const Points* p_latest = nullptr;
    for (int i = 0; i < all.getCount(); ++i) {
        const auto* p_points = dynamic_cast<const Points*>(all[i]);
        if (p_points != nullptr && (p_latest == nullptr || p_points->getId() > p_latest->getId())) {
            p_latest = p_points;
        }
    }
    return p_latest != nullptr ? p_latest->getValue() : 0;
}

} // namespace

int CommandLine::parse(int argc, const char* const argv[]) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        const bool takes_file = argument == "--record" || argument == "--replay";
        if (takes_file && m_mode == Mode::PLAY && i + 1 < argc) {
            m_mode = argument == "--record" ? Mode::RECORD : Mode::REPLAY;
            m_file = argv[++i];
        } else if (argument == "--headless") {
            m_headless = true;
        } else if (argument == "--fast") {
            m_fast = true;
        } else if (argument == "--help") {
            std::printf("%s\n", USAGE);
            return 0;
        } else {
            std::fprintf(stderr, "vintrel-shooter: unexpected '%s'; %s\n", argv[i], USAGE);
            return USAGE_ERROR;
        }
    }
    if ((m_headless || m_fast) && m_mode != Mode::REPLAY) {
        std::fprintf(stderr, "vintrel-shooter: --headless and --fast are for replays; %s\n", USAGE);
        return USAGE_ERROR;
    }
    return -1;
}

bool CommandLine::prepare() const {
    vt::ReplayManager& replay_manager = vt::ReplayManager::getInstance();
    if (m_mode == Mode::RECORD && replay_manager.startRecording(m_file) != 0) {
        std::fprintf(stderr, "vintrel-shooter: cannot record: %s\n", replay_manager.getError().c_str());
        return false;
    }
    if (m_mode == Mode::REPLAY && replay_manager.startReplay(m_file, m_headless, m_fast) != 0) {
        std::fprintf(stderr, "vintrel-shooter: cannot replay %s\n", replay_manager.getError().c_str());
        return false;
    }
    return true;
}

void CommandLine::noteFinalScore() { m_final_score = latestScore(); }

int CommandLine::finish() const {
    const vt::ReplayManager& replay_manager = vt::ReplayManager::getInstance();
    if (m_mode == Mode::PLAY) {
        return 0;
    }
    std::printf("Final score %d after %d steps\n", m_final_score, replay_manager.getStepCount());
    std::fflush(stdout);
    if (m_mode == Mode::RECORD) {
        if (!replay_manager.getError().empty()) {
            std::fprintf(stderr, "vintrel-shooter: cannot write the replay: %s\n",
                         replay_manager.getError().c_str());
            return 1;
        }
        return 0;
    }
    if (replay_manager.wasInterrupted()) {
        std::fprintf(stderr, "vintrel-shooter: replay stopped at step %d, before its end\n",
                     replay_manager.getStepCount());
        return 0;
    }
    if (!replay_manager.hasMatched()) {
        const vt::ReplayDivergence& divergence = replay_manager.getDivergence();
        std::fprintf(stderr, "vintrel-shooter: replay diverged at step %d: %s\n", divergence.step,
                     divergence.reason.c_str());
        return DIVERGED;
    }
    std::printf("Replay matched its recording: %d checkpoints\n", replay_manager.getCheckpointCount());
    return 0;
}
