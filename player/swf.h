#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "player/swf_tags.h"

namespace player {

// A movie that cannot be read; what() is a one-line reason for the reader.
class SwfError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct SwfRect {
  std::int32_t xMin = 0, xMax = 0, yMin = 0, yMax = 0;  // twips
  std::int32_t Width() const { return xMax - xMin; }
  std::int32_t Height() const { return yMax - yMin; }
};

struct FrameLabel {
  int frame;  // 1-based
  std::string name;
};

struct Tag {
  std::uint16_t code;
  std::span<const std::uint8_t> body;  // points into SwfMovie::data
};

// A sound the movie carries, as 16-bit samples.
struct SwfSound {
  std::uint16_t id = 0;
  int rate = 0;  // samples per second
  int channels = 1;
  std::vector<std::int16_t> samples;  // interleaved
  double Seconds() const { return rate ? static_cast<double>(samples.size()) / channels / rate : 0; }
};

// Given the movie's first picture, encoded as EncodedPicture gives it, as
// soon as it is in and before the rest is read: a drawing can decode it
// while the movie goes on loading. Called at most once, on the reading
// thread.
using PictureReady = std::function<void(std::vector<std::uint8_t>)>;

struct SwfMovie {
  // Tags and pictures point into `data`: a movie moves, it is never copied.
  SwfMovie() = default;
  SwfMovie(SwfMovie&&) = default;
  SwfMovie& operator=(SwfMovie&&) = default;
  SwfMovie(const SwfMovie&) = delete;
  SwfMovie& operator=(const SwfMovie&) = delete;

  char signature[4] = {0, 0, 0, 0};  // "FWS" or "CWS"
  int version = 0;
  std::uint32_t declaredLength = 0;  // of the uncompressed movie, header included
  SwfRect frameSize;
  double frameRate = 0;
  int frameCount = 0;   // as the header says
  int shownFrames = 0;  // ShowFrame tags seen
  std::vector<FrameLabel> labels;
  std::map<std::uint16_t, int> tagCounts;
  std::string metadata;
  std::vector<std::uint8_t> data;  // the uncompressed movie
  std::vector<Tag> tags;
  // The picture tags (DefineBits, DefineBitsJPEG2/3, DefineBitsLossless/2), in order.
  std::vector<const Tag*> pictures;
  std::vector<SwfSound> sounds;

  const FrameLabel* FindLabel(const std::string& name) const;
  // The encoded picture of pictures[i] as an image decoder takes it:
  // DefineBits joined with the movie's JPEGTables, the stray marker pair
  // that some JPEG2 writers put first removed, JPEG3's alpha left out.
  // Empty for lossless pictures (see LosslessPicture).
  std::vector<std::uint8_t> EncodedPicture(size_t i) const;
  // A lossless picture decoded to 32-bit ARGB (premultiplied as stored).
  struct Lossless {
    int width = 0, height = 0;
    std::vector<std::uint32_t> argb;
  };
  std::optional<Lossless> LosslessPicture(size_t i) const;

 private:
  friend SwfMovie ParseSwf(std::span<const std::uint8_t>, std::uint32_t, const PictureReady&, bool);
  std::span<const std::uint8_t> jpegTables_;
  std::size_t jpegTablesTag_ = static_cast<std::size_t>(-1);  // its index in tags
};

// No movie may inflate past this; a larger declared length is refused
// before anything is allocated.
inline constexpr std::uint32_t kMaxMovieBytes = 256u * 1024 * 1024;

// Where the tags of an uncompressed movie begin, once enough of its
// header is in; 0 before.
std::size_t TagsStart(std::span<const std::uint8_t> movie);

// Reads a whole movie from memory. Raises SwfError. `checksum` false skips
// the compressed stream's checksum, for bytes the program itself carries;
// everything else is checked as always.
SwfMovie ParseSwf(std::span<const std::uint8_t> file, std::uint32_t maxBytes = kMaxMovieBytes,
                  const PictureReady& firstPicture = {}, bool checksum = true);
// Reads a movie file. Raises SwfError.
SwfMovie LoadSwfFile(const std::string& path, std::uint32_t maxBytes = kMaxMovieBytes,
                     const PictureReady& firstPicture = {});

}  // namespace player
