#include "vintrel/splash/SplashVintrel.h"

#include "splash/SplashArt.h"
#include "splash/SplashEvents.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/events/Event.h"
#include "vintrel/media/Animation.h"
#include "vintrel/world/WorldManager.h"

namespace vt {

namespace {

constexpr int CLIMB_STEPS = 30;
constexpr int REST_AT = -15;
constexpr int END_AT = -45;
constexpr float START_BELOW = 6.0f; // rows under the world's bottom edge

} // namespace

SplashVintrel::SplashVintrel(const Vector& target)
    : m_target(target), m_countdown(CLIMB_STEPS), m_p_sprite(splash_art::makeFlying()) {
    Animation animation;
    animation.setSprite(m_p_sprite.get());
    animation.setSlowdownCount(0);
    setAnimation(animation);
    setType("SplashVintrel");
    setSolidness(SPECTRAL);

    const Box boundary = WorldManager::getInstance().getBoundary();
    setPosition(Vector(target.getX(), boundary.getCorner().getY() + boundary.getVertical() + START_BELOW));
    setVelocity(Vector(0.0f, -(getPosition().getY() - target.getY()) / static_cast<float>(CLIMB_STEPS)));

    registerInterest(EVENT_STEP);
    registerInterest(EVENT_KEYBOARD);
}

SplashVintrel::~SplashVintrel() = default;

int SplashVintrel::eventHandler(const Event* p_event) {
    return splash_events::handle(this, p_event, 1, [this] {
        m_countdown--;
        if (m_countdown <= 0 && getPosition().getY() <= m_target.getY())
            setVelocity(Vector(0.0f, 0.0f));
        if (m_countdown == REST_AT) {
            // The animation must stop pointing at the flying picture before it goes.
            std::unique_ptr<Sprite> p_resting = splash_art::makeResting();
            Animation animation;
            animation.setSprite(p_resting.get());
            setAnimation(animation);
            m_p_sprite = std::move(p_resting);
            setPosition(Vector(getPosition().getX() - 1.0f, getPosition().getY()));
        }
        if (m_countdown == END_AT) {
            GameManager::getInstance().setGameOver(true);
            WorldManager::getInstance().markForDelete(this);
        }
    });
}

} // namespace vt
