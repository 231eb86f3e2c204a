#include "vintrel/splash/Splash.h"

#include "splash/SplashArt.h"
#include "splash/SplashEvents.h"
#include "vintrel/core/Config.h"
#include "vintrel/core/GameManager.h"
#include "vintrel/core/LogManager.h"
#include "vintrel/events/Event.h"
#include "vintrel/media/Animation.h"
#include "vintrel/splash/SplashVintrel.h"
#include "vintrel/world/WorldManager.h"

namespace vt {

namespace {

constexpr int SLIDE_STEPS = 15;
constexpr int REMOVE_AT = -75;
constexpr int DEFAULT_FRAME_TIME = 33; // milliseconds

// Steps over which the banner's run-in distance is spread: half the step
// length in milliseconds. Steps of 0 or 1 ms would make that zero, so they
// take the default step's pace and the banner keeps its usual path.
float slideDivisor() {
    int divisor = Config::getInstance().getFrameTime() / 2;
    if (divisor < 1)
        divisor = DEFAULT_FRAME_TIME / 2;
    return static_cast<float>(divisor);
}

} // namespace

int splash() {
    LogManager& log_manager = LogManager::getInstance();
    log_manager.writeLog(10, "splash(): Started.");
    GameManager& game_manager = GameManager::getInstance();
    if (!game_manager.isStarted()) {
        log_manager.writeLog("splash(): Error! Cannot run splash screen until game manger is started.");
        return -1;
    }
    new Splash;
    game_manager.run();
    log_manager.writeLog(10, "splash(): Finished.");
    return 0;
}

Splash::Splash() : m_countdown(SLIDE_STEPS), m_p_sprite(splash_art::makeBanner()) {
    Animation animation;
    animation.setSprite(m_p_sprite.get());
    animation.setSlowdownCount(-1);
    setAnimation(animation);
    setType("Splash");
    setSolidness(SPECTRAL);

    const Box boundary = WorldManager::getInstance().getBoundary();
    const float half_width = getBox().getHorizontal() * 0.5f;
    setPosition(Vector(boundary.getCorner().getX() + boundary.getHorizontal() + half_width,
                       boundary.getCorner().getY() + boundary.getVertical() * 0.5f));
    setVelocity(Vector(-(half_width + boundary.getHorizontal() * 0.5f + 11.0f) / slideDivisor(), 0.0f));

    registerInterest(EVENT_STEP);
    registerInterest(EVENT_KEYBOARD);
}

Splash::~Splash() = default;

// A key ends the sequence but is not counted as handled here.
int Splash::eventHandler(const Event* p_event) {
    return splash_events::handle(this, p_event, 0, [this] {
        m_countdown--;
        if (m_countdown == 0) {
            Animation animation = getAnimation();
            animation.setIndex(1);
            setAnimation(animation, false);
            setVelocity(Vector(0.0f, 0.0f));
            const Vector position = getPosition();
            new SplashVintrel(Vector(position.getX() + 24.0f, position.getY() + 1.0f));
        }
        if (m_countdown == REMOVE_AT)
            WorldManager::getInstance().markForDelete(this);
    });
}

} // namespace vt
