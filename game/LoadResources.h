#pragma once

/// Loads the game's sprites, music and sounds from sprites/ and sounds/ in
/// the working directory. A file that fails is logged by the resource
/// manager and the game goes on without it.
void loadResources();

/// Before start-up: the shooter reads its data, its font among them, from
/// the working directory alone, and does not start without its font (the
/// engine would otherwise look beside the program too, and draw with its
/// built-in font).
void readDataFromWorkingDirectoryOnly();
