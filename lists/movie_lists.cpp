#include "lists/movie_lists.h"

#include "components/number.h"

namespace lists::movie {

std::optional<int> ReadNumber(components::MoviePlayer& player, const std::string& variable) {
  return components::ParseInt16(player.GetVariable(variable));
}

int ReadCount(components::MoviePlayer& player, const std::string& variable) {
  return ReadNumber(player, variable).value_or(0);
}

void Call(components::MoviePlayer& player, const std::string& label) { player.TCallLabel("/", label); }

void AddEntry(components::MoviePlayer& player, const std::string& page, const std::string& content,
              const std::string& label) {
  player.SetVariable(kInputPage, page);
  player.SetVariable(kInputContent, content);
  Call(player, label);
}

void DeleteEntry(components::MoviePlayer& player, int index, const std::string& label) {
  player.SetVariable(kIndex, std::to_string(index));
  Call(player, label);
}

}  // namespace lists::movie
