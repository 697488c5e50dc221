// swfinfo FILE: what the player's reader sees in a movie file.
#include <cstdio>
#include <iostream>

#include "player/description.h"
#include "player/swf.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: swfinfo FILE\n";
    return 2;
  }
  try {
    player::SwfMovie m = player::LoadSwfFile(argv[1]);
    std::cout << "signature:   " << m.signature << "\n"
              << "version:     " << m.version << "\n"
              << "length:      " << m.declaredLength << " bytes uncompressed\n"
              << "frame size:  " << m.frameSize.Width() << " x " << m.frameSize.Height() << " twips ("
              << m.frameSize.Width() / 20 << " x " << m.frameSize.Height() / 20 << " pixels)\n"
              << "frame rate:  " << m.frameRate << "\n"
              << "frames:      " << m.frameCount << " in the header, " << m.shownFrames << " shown\n"
              << "tags:\n";
    for (const auto& [code, count] : m.tagCounts)
      std::cout << "  " << player::TagName(code) << " (" << code << "): " << count << "\n";
    std::cout << "labels:";
    for (const auto& l : m.labels) std::cout << " " << l.name << "@" << l.frame;
    std::cout << "\npictures:    " << m.pictures.size() << "\n";
    for (const auto& s : m.sounds)
      std::cout << "sound " << s.id << ":     " << s.rate << " Hz, " << s.channels << " channel(s), "
                << s.Seconds() << " s\n";
    if (!m.metadata.empty()) {
      player::BookDescription d = player::ParseDescription(m.metadata);
      std::cout << "description (" << d.kind << "):\n" << m.metadata;
      if (m.metadata.back() != '\n') std::cout << "\n";
      if (d.kind == "book" && d.pages > 0 && static_cast<size_t>(d.pages) > m.pictures.size())
        std::cout << "warning: " << d.pages << " pages described, " << m.pictures.size() << " pictures\n";
    }
  } catch (const player::SwfError& e) {
    std::cerr << "swfinfo: " << argv[1] << ": " << e.what() << "\n";
    return 1;
  }
  return 0;
}
