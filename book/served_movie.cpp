#include "book/served_movie.h"

#include <cstring>

#include "book/load_once_action.h"
#include "book/swf_bits.h"
#include "player/inflate.h"
#include "player/swf.h"
#include "player/swf_tags.h"

namespace avm1 {

namespace {

constexpr std::uint16_t kDoAction = 12;
constexpr std::uint8_t kActionScript3 = 0x08;  // in FileAttributes' first byte

// The movie uncompressed, exactly as long as its header says; empty when
// it is not that.
std::vector<std::uint8_t> Uncompressed(std::span<const std::uint8_t> file) {
  std::vector<std::uint8_t> data;
  if (file.size() < 8) return data;
  const bool plain = std::memcmp(file.data(), "FWS", 3) == 0;
  if (!plain && std::memcmp(file.data(), "CWS", 3) != 0) return data;
  const std::uint32_t length = player::Le32(file.data() + 4);
  if (length < 8 + 5 || length > player::kMaxMovieBytes) return data;
  if (plain) {
    if (file.size() < length) return data;
    data.assign(file.begin(), file.begin() + length);
    return data;
  }
  data.assign(file.begin(), file.begin() + 8);
  try {
    player::Inflater(file.subspan(8), length - 8, data, true).Finish();
  } catch (const player::SwfError&) {
    data.clear();
  }
  return data;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ServedMovie(std::span<const std::uint8_t> file) {
  const std::vector<std::uint8_t> data = Uncompressed(file);
  if (data.empty()) return std::nullopt;
  const std::size_t tagsStart = player::TagsStart(data);
  if (tagsStart == 0) return std::nullopt;
  std::size_t pos = tagsStart;

  // Every tag whole, up to End (or the end of the bytes, as players allow).
  std::size_t insertAt = tagsStart;
  bool actionScript3 = false;
  while (pos < data.size()) {
    const player::TagRecord tag = player::ReadTag(data, pos);
    if (tag.cut != player::TagRecord::kWhole) return std::nullopt;
    if (pos == tagsStart && tag.code == player::kFileAttributes) {
      // It must stay the first tag; the action goes after it.
      actionScript3 = !tag.body.empty() && (tag.body[0] & kActionScript3);
      insertAt = tag.next;
    }
    pos = tag.next;
    if (tag.code == player::kEnd) break;
  }
  if (data[3] < 5 || actionScript3) return std::vector<std::uint8_t>(file.begin(), file.end());

  const std::vector<std::uint8_t> actions = LoadMovieOnceActions(kBridgeUrl, kBridgeLevel, kBridgeGuard);
  const std::size_t total = data.size() + 6 + actions.size();
  std::vector<std::uint8_t> out = {'F', 'W', 'S', data[3]};
  out.reserve(total);
  book::Le32(out, static_cast<std::uint32_t>(total));
  out.insert(out.end(), data.begin() + 8, data.begin() + static_cast<std::ptrdiff_t>(insertAt));
  book::Le16(out, kDoAction << 6 | 0x3f);  // the long form: any length
  book::Le32(out, static_cast<std::uint32_t>(actions.size()));
  out.insert(out.end(), actions.begin(), actions.end());
  out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(insertAt), data.end());
  return out;
}

}  // namespace avm1
