#include "WatchScreen.h"
#include "GameNames.h"

#include <cstdio>

#include <vintrel/core/Color.h>
#include <vintrel/core/GameManager.h>
#include <vintrel/events/Event.h>
#include <vintrel/events/EventKeyboard.h>
#include <vintrel/input/Key.h>
#include <vintrel/network/EventNetworkGameOver.h>
#include <vintrel/network/WorldMirror.h>

namespace {

// About two seconds at the default step.
constexpr int MESSAGE_STEPS = 60;

} // namespace

WatchScreen::WatchScreen(const vt::WorldMirror* p_mirror, const std::string& host)
    : m_p_mirror(p_mirror), m_steps_left(-1) {
    setType(names::WATCH_SCREEN);
    setDrawValue(false);
    setColor(vt::YELLOW);
    setLocation(vt::CENTER_CENTER);
    // Shown until the host's game begins, so that a silent host leaves no blank window.
    setViewString("Waiting for the host at " + host + "...");
    registerInterest(vt::EVENT_STEP);
    registerInterest(vt::EVENT_KEYBOARD);
    // Heard here, the engine leaves the ending to this screen's message.
    registerInterest(vt::EVENT_NETWORK_GAME_OVER);
}

int WatchScreen::eventHandler(const vt::Event* p_event) {
    if (const auto* p_keyboard = vt::eventAs<vt::EventKeyboard>(p_event)) {
        if (p_keyboard->getKeyboardAction() == vt::KEY_ACTION_PRESSED &&
            (p_keyboard->getKey() == vt::KEY_Q || p_keyboard->getKey() == vt::KEY_ESCAPE)) {
            vt::GameManager::getInstance().setGameOver(true);
        }
        return 1;
    }
    if (const auto* p_game_over = vt::eventAs<vt::EventNetworkGameOver>(p_event)) {
        if (m_steps_left == -1) {
            const bool ended = p_game_over->getHostEnded();
            setViewString(ended ? "The host has ended the game"
                                : "Cannot watch: " + p_game_over->getReason());
            setVisible(true);
            std::fprintf(ended ? stdout : stderr, "vintrel-shooter: %s.\n", getViewString().c_str());
            std::fflush(ended ? stdout : stderr);
            m_steps_left = MESSAGE_STEPS;
        }
        return 1;
    }
    if (p_event->getType() != vt::EVENT_STEP) {
        return 0;
    }
    if (m_steps_left > 0) {
        if (--m_steps_left == 0) {
            vt::GameManager::getInstance().setGameOver(true);
        }
        return 1;
    }
    if (m_p_mirror->getState() == vt::WorldMirror::WATCHING && m_p_mirror->getHostStep() != -1 && isVisible())
        setVisible(false);
    return 1;
}
