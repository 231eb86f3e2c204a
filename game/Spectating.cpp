#include "Spectating.h"

#include <cstdio>
#include <string>

#include <vintrel/core/Config.h>
#include <vintrel/core/GameManager.h>
#include <vintrel/core/LogManager.h>
#include <vintrel/network/NetworkManager.h>
#include <vintrel/network/WorldHost.h>
#include <vintrel/network/WorldMirror.h>

#include "GameNames.h"
#include "LoadResources.h"
#include "ReticleMirror.h"
#include "WatchScreen.h"

int startHosting(const NetworkRole& role) {
    if (!vt::Config::getInstance().getNetworking()) {
        std::fprintf(stderr, "vintrel-shooter: --host needs networking:true in the configuration.\n");
        return -1;
    }
    auto* p_host = new vt::WorldHost;
    if (p_host->serve(role.port, role.address) != 0) {
        std::fprintf(stderr, "vintrel-shooter: cannot serve the game on %s port %s (see the log).\n",
                     role.address.c_str(), role.port.c_str());
        return -1;
    }
    std::printf("vintrel-shooter: serving the game on %s port %d\n", role.address.c_str(),
                vt::NetworkManager::getInstance().getPort());
    std::fflush(stdout);
    return 0;
}

vt::WorldMirror* createShooterMirror() {
    auto* p_mirror = new vt::WorldMirror;
    // The classes that draw otherwise than a sprite or a label.
    p_mirror->addSpriteView(names::GAME_START);
    p_mirror->addSpriteView(names::GAME_OVER);
    p_mirror->setMirrorMaker([](const std::string& type, bool) -> vt::Object* {
        return type == names::RETICLE ? new ReticleMirror : nullptr;
    });
    return p_mirror;
}

int watchGame(const NetworkRole& role) {
    // Set before start-up, which keeps it unless the configuration file names another.
    vt::Config::getInstance().loadConfig("window_title:Vintrel-watching,");
    readDataFromWorkingDirectoryOnly();
    vt::GameManager& game_manager = vt::GameManager::getInstance();
    if (game_manager.startUp() != 0) {
        vt::LogManager::getInstance().writeLog("Error starting game manager!");
        game_manager.shutDown();
        return 1;
    }
    vt::LogManager::getInstance().setFlush(true);
    loadResources();
    vt::WorldMirror* p_mirror = createShooterMirror();
    new WatchScreen(p_mirror, role.address + " port " + role.port);
    if (p_mirror->watch(role.address, role.port) != 0) {
        std::fprintf(stderr, "vintrel-shooter: cannot watch %s port %s: %s.\n", role.address.c_str(),
                     role.port.c_str(), p_mirror->getReason().c_str());
    } else {
        game_manager.run();
    }
    const int exit_code = p_mirror->getState() == vt::WorldMirror::FAILED ? 1 : 0;
    game_manager.shutDown();
    return exit_code;
}
