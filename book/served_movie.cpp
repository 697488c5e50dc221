#include "book/served_movie.h"

#include <cstring>

#include "book/load_once_action.h"
#include "player/inflate.h"
#include "player/swf.h"
#include "player/swf_tags.h"

namespace avm1 {

namespace {

constexpr std::uint16_t kDoAction = 12;
constexpr std::uint8_t kActionScript3 = 0x08;  // in FileAttributes' first byte

void PutLe32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

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
  // The tags begin after the stage rectangle, the frame rate and count.
  const int bits = data[8] >> 3;
  std::size_t pos = 8 + (5 + 4 * static_cast<std::size_t>(bits) + 7) / 8 + 4;
  if (pos > data.size()) return std::nullopt;
  const std::size_t tagsStart = pos;

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
  std::vector<std::uint8_t> out;
  out.reserve(data.size() + 6 + actions.size());
  out.insert(out.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(insertAt));
  const std::uint16_t head = kDoAction << 6 | 0x3f;  // the long form: any length
  out.push_back(static_cast<std::uint8_t>(head));
  out.push_back(static_cast<std::uint8_t>(head >> 8));
  out.resize(out.size() + 4);
  PutLe32(out.data() + out.size() - 4, static_cast<std::uint32_t>(actions.size()));
  out.insert(out.end(), actions.begin(), actions.end());
  out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(insertAt), data.end());
  out[0] = 'F';
  PutLe32(out.data() + 4, static_cast<std::uint32_t>(out.size()));
  return out;
}

}  // namespace avm1
