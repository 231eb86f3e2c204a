#pragma once

#include <string>
#include <vector>

namespace vt {

/// Where a data file the game names (a sprite, sound, music, font, the
/// configuration or a file of its own) is read from. The working directory
/// comes first: a name it holds is returned unchanged, without a word. Else
/// the folders of dataDirectories() are tried in order, and the first that
/// holds the file gives its path, with one log line saying where it was
/// found. Found nowhere, the name comes back unchanged, so that the reader's
/// own "cannot open" line names it. Absolute names and names beginning with
/// "./" or "../" are taken as they are, and so is every name when the
/// configuration's `data_paths` is false.
std::string findDataFile(const std::string& name);

/// The folders searched after the working directory, in order: the one that
/// holds the running program, then the installed data folders
/// `PROGRAM_FOLDER/../share/GAME` and `ENGINE_PREFIX/share/GAME`, where
/// GAME is the configuration's `game_name`, or the program's file name when
/// that is empty.
std::vector<std::string> dataDirectories();

} // namespace vt
