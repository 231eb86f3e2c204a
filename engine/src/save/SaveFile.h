#pragma once

#include <map>
#include <string>

namespace vt::save {

// The save file's text: a first line naming the format, one line per key
// in key order, and an end line with the number of keys and a checksum of
// every byte before it, so that a file cut short, changed or mixed with
// another is told from a save:
//
//     vintrel-save 1
//     best=120
//     name=Ada\nLovelace
//     end 2 5ef1b7c43a2b9d04
//
// In values, a backslash, a line feed, a carriage return and a zero byte are
// written as \\, \n, \r and \0; nothing else is escaped.

// True for a key a save holds: 1 to SaveData::MAX_KEY_BYTES letters, digits, '.', '_' or '-'.
bool validKey(const std::string& key);

// The file's text for these values.
std::string encodeSave(const std::map<std::string, std::string>& values);

// Reads a file's text into *p_values; false, with the reason in *p_error
// (and *p_values untouched), when it is not a whole save of this format.
bool decodeSave(const std::string& text, std::map<std::string, std::string>* p_values, std::string* p_error);

} // namespace vt::save
