#include <vintrel/core/GameManager.h>
#include <vintrel/core/LogManager.h>
#include <vintrel/input/InputManager.h>
#include <vintrel/input/Pause.h>
#include <vintrel/splash/Splash.h>

#include "CommandLine.h"
#include "GameStart.h"
#include "LoadResources.h"

int main(int argc, char* argv[]) {
    CommandLine command_line;
    const int parsed = command_line.parse(argc, argv);
    if (parsed >= 0) {
        return parsed;
    }
    if (!command_line.prepare()) {
        return CommandLine::USAGE_ERROR;
    }

    vt::GameManager& game_manager = vt::GameManager::getInstance();
    if (game_manager.startUp() != 0) {
        vt::LogManager::getInstance().writeLog("Error starting game manager!");
        game_manager.shutDown();
        return 1;
    }
    vt::LogManager::getInstance().setFlush(true);

    vt::splash();
    loadResources();
    new GameStart;
    new vt::Pause(vt::KEY_F10);

    game_manager.run();
    command_line.noteFinalScore();
    game_manager.shutDown();
    return command_line.finish();
}
