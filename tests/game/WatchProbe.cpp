// A watcher for the streaming tests: the shooter's own watcher set-up,
// headless, writing the world it mirrors after every host step to a file.
// Usage: vintrel_watch_probe HOST PORT OUTPUT. Exits 0 when the host ends
// the game, 1 when watching fails.
#include <fstream>
#include <string>

#include <vintrel/core/GameManager.h>
#include <vintrel/events/EventStep.h>
#include <vintrel/network/WorldMirror.h>

#include "LoadResources.h"
#include "Spectating.h"
#include "support/WorldDump.h"

namespace {

// Ends the loop once watching has stopped.
class Ender : public vt::Object {
  public:
    explicit Ender(const vt::WorldMirror* p_mirror) : m_p_mirror(p_mirror) {
        registerInterest(vt::EVENT_STEP);
    }
    int eventHandler(const vt::Event*) override {
        const vt::WorldMirror::State state = m_p_mirror->getState();
        if (state == vt::WorldMirror::ENDED || state == vt::WorldMirror::FAILED)
            vt::GameManager::getInstance().setGameOver();
        return 1;
    }

  private:
    const vt::WorldMirror* m_p_mirror;
};

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 4)
        return 2;
    vt::GameManager& game_manager = vt::GameManager::getInstance();
    if (game_manager.startUp() != 0)
        return 1;
    loadResources();
    std::ofstream out(argv[3]);
    vt::WorldMirror* p_mirror = createShooterMirror();
    p_mirror->setOnHostStep([&out, p_mirror](int step) {
        out << "step " << step << "\n" << vt::test::describeObjects(p_mirror->getMirrors());
    });
    new Ender(p_mirror);
    if (p_mirror->watch(argv[1], argv[2]) == 0)
        game_manager.run();
    const int result = p_mirror->getState() == vt::WorldMirror::ENDED ? 0 : 1;
    out.close();
    game_manager.shutDown();
    return result;
}
