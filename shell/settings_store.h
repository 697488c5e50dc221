#pragma once

#include <string>

#include "components/registry.h"

namespace shell {

// Receives the result of every ReadRegValue and WriteRegValue; the code that
// follows a call reads it from here.
extern std::string lastRegValue;

// The value's text, or "none" when there is nothing usable. Never fails.
std::string ReadRegValue(components::Registry& registry, components::HKEY root, const std::string& key,
                         const std::string& valueName);
// Creates the key when missing and stores the text as REG_SZ; "Success" or "none".
std::string WriteRegValue(components::Registry& registry, components::HKEY root, const std::string& key,
                          const std::string& valueName, const std::string& value);
// Writes "showHelp" under the book key and keeps the result in lastRegValue.
void WriteShowHelp(components::Registry& registry, const std::string& value);

}  // namespace shell
