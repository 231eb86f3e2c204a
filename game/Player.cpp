#include "Player.h"

#include <vintrel/core/GameManager.h>
#include <vintrel/events/Event.h>
#include <vintrel/events/EventKeyboard.h>
#include <vintrel/events/EventMouse.h>
#include <vintrel/events/EventStep.h>
#include <vintrel/events/EventView.h>
#include <vintrel/input/Key.h>
#include <vintrel/world/WorldManager.h>

#include "Bullet.h"
#include "GameNames.h"
#include "GameOver.h"
#include "Missile.h"
#include "Reticle.h"
#include "Sounds.h"

namespace {

constexpr float BULLET_SPEED = 1.0f;
constexpr float MISSILE_SPEED = 0.85f;
constexpr int MISSILE_REFILL_STEPS = 900;

// Unit vector from one point toward another, scaled to the speed; zero when
// both points are the same.
vt::Vector aim(const vt::Vector& from, const vt::Vector& to, float speed) {
    vt::Vector direction = to - from;
    direction.normalize();
    direction.scale(speed);
    return direction;
}

} // namespace

Player::Player()
    : m_p_reticle(nullptr), m_fire_slowdown(0), m_fire_countdown(0), m_missile_slowdown(0),
      m_missile_countdown(0), m_move_x_slowdown(0), m_move_x_countdown(0), m_move_y_slowdown(0),
      m_move_y_countdown(0), m_missiles(0) {
    setType(names::PLAYER);
    setSprite(names::PLAYER_SPRITE);
    registerInterest(vt::EVENT_MOUSE);
    registerInterest(vt::EVENT_KEYBOARD);
    registerInterest(vt::EVENT_STEP);

    const vt::Box boundary = vt::WorldManager::getInstance().getBoundary();
    const vt::Vector centre(boundary.getHorizontal() * 0.5f, boundary.getVertical() * 0.5f);
    setPosition(centre);

    m_p_reticle = new Reticle;
    m_p_reticle->setPosition(centre);
    m_p_reticle->draw();

    m_fire_slowdown = 20;
    m_fire_countdown = m_fire_slowdown;
    m_missile_slowdown = 30;
    m_missile_countdown = m_missile_slowdown;
    m_move_x_slowdown = 3;
    m_move_x_countdown = m_move_x_slowdown;
    m_move_y_slowdown = 5;
    m_move_y_countdown = m_move_y_slowdown;
    m_missiles = MISSILE_STOCK_MAX;
}

Player::~Player() {
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    // At shut-down the world may have deleted the cross-hair first; it then
    // refuses the mark.
    world_manager.markForDelete(m_p_reticle);
    // Once the game is over the engine is on its way down: a game-over screen
    // would only sound and show during shut-down.
    if (!world_manager.isStarted() || vt::GameManager::getInstance().getGameOver()) {
        return;
    }
    new GameOver;
}

int Player::eventHandler(const vt::Event* p_event) {
    const std::string type = p_event->getType();
    if (type == vt::EVENT_KEYBOARD) {
        return keyboard(p_event);
    }
    if (type == vt::EVENT_MOUSE) {
        return mouse(p_event);
    }
    if (type == vt::EVENT_STEP) {
        return step(p_event);
    }
    return 0;
}

int Player::keyboard(const vt::Event* p_event) {
    const auto* p_keyboard = dynamic_cast<const vt::EventKeyboard*>(p_event);
    if (p_keyboard == nullptr) {
        return 0;
    }
    const int key = p_keyboard->getKey();
    if (key == vt::KEY_Q) {
        vt::WorldManager::getInstance().markForDelete(this);
        return 1;
    }
    if (p_keyboard->getKeyboardAction() != vt::KEY_ACTION_HELD) {
        return 1;
    }
    switch (key) {
    case vt::KEY_A:
        moveX(-1);
        break;
    case vt::KEY_D:
        moveX(+1);
        break;
    case vt::KEY_W:
        moveY(-1);
        break;
    case vt::KEY_S:
        moveY(+1);
        break;
    default:
        break;
    }
    return 1;
}

int Player::mouse(const vt::Event* p_event) {
    const auto* p_mouse = dynamic_cast<const vt::EventMouse*>(p_event);
    if (p_mouse == nullptr) {
        return 0;
    }
    if (p_mouse->getMouseAction() == vt::MOUSE_ACTION_CLICKED &&
        p_mouse->getMouseButton() == vt::MOUSE_BUTTON_LEFT) {
        fire(p_mouse->getMousePosition());
    }
    if (p_mouse->getMouseAction() == vt::MOUSE_ACTION_CLICKED &&
        p_mouse->getMouseButton() == vt::MOUSE_BUTTON_RIGHT && m_missiles > 0) {
        fireMissile(p_mouse->getMousePosition());
    }
    return 1;
}

int Player::step(const vt::Event* p_event) {
    const auto* p_step = dynamic_cast<const vt::EventStep*>(p_event);
    if (p_step == nullptr) {
        return 0;
    }
    for (int* p_countdown :
         {&m_move_x_countdown, &m_move_y_countdown, &m_fire_countdown, &m_missile_countdown}) {
        if (*p_countdown > 0) {
            --*p_countdown;
        }
    }
    if (p_step->getStepCount() % MISSILE_REFILL_STEPS == 0 && m_missiles < MISSILE_STOCK_MAX) {
        const vt::EventView refill(names::MISSILES_VIEW, +1, true);
        vt::WorldManager::getInstance().onEvent(&refill);
        ++m_missiles;
    }
    return 1;
}

void Player::moveX(int dx) {
    if (m_move_x_countdown > 0) {
        return;
    }
    m_move_x_countdown = m_move_x_slowdown;
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    const vt::Vector where(getPosition().getX() + static_cast<float>(dx), getPosition().getY());
    if (where.getX() > 0 && where.getX() < world_manager.getBoundary().getHorizontal() - 1) {
        world_manager.moveObject(this, where);
    }
}

void Player::moveY(int dy) {
    if (m_move_y_countdown > 0) {
        return;
    }
    m_move_y_countdown = m_move_y_slowdown;
    vt::WorldManager& world_manager = vt::WorldManager::getInstance();
    const vt::Vector where(getPosition().getX(), getPosition().getY() + static_cast<float>(dy));
    // Rows 0 to 3 belong to the score and missile displays.
    if (where.getY() > 3 && where.getY() < world_manager.getBoundary().getVertical() - 1) {
        world_manager.moveObject(this, where);
    }
}

void Player::fire(const vt::Vector& target) {
    if (m_fire_countdown > 0) {
        return;
    }
    m_fire_countdown = m_fire_slowdown;
    new Bullet(getPosition(), aim(getPosition(), target, BULLET_SPEED));
    playSound(names::FIRE_SOUND);
}

void Player::fireMissile(const vt::Vector& target) {
    if (m_missile_countdown > 0) {
        return;
    }
    m_missile_countdown = m_missile_slowdown;
    if (m_missiles == 0) {
        return;
    }
    --m_missiles;
    const vt::EventView launched(names::MISSILES_VIEW, -1, true);
    vt::WorldManager::getInstance().onEvent(&launched);
    new Missile(getPosition(), aim(getPosition(), target, MISSILE_SPEED));
    playSound(names::FIRE_SOUND);
}
