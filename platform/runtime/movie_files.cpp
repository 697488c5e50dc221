#include "platform/runtime/movie_files.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>

#include "book/served_movie.h"

namespace runtime {

namespace {

constexpr char kScheme[] = "reader://";
// Nothing the view loads comes near this; a bigger file is refused before
// it is read.
constexpr std::uintmax_t kMaxFileBytes = 300u * 1024 * 1024;

std::string Lower(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
  return out;
}

bool EndsWith(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// A file name that stays in its folder: no separators, no escapes, no
// hidden or dot names, nothing but plain characters.
bool PlainName(std::string_view name) {
  if (name.empty() || name.front() == '.') return false;
  return std::all_of(name.begin(), name.end(), [](unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
  });
}

// Every segment of a path below a folder a plain name.
bool PlainPath(std::string_view path) {
  for (std::size_t at = 0;;) {
    std::size_t slash = path.find('/', at);
    if (!PlainName(path.substr(at, slash == std::string_view::npos ? std::string_view::npos : slash - at)))
      return false;
    if (slash == std::string_view::npos) return true;
    at = slash + 1;
  }
}

std::string MimeOf(std::string_view name) {
  if (EndsWith(name, ".swf") || EndsWith(name, ".zov")) return "application/x-shockwave-flash";
  if (EndsWith(name, ".js")) return "text/javascript";
  if (EndsWith(name, ".wasm")) return "application/wasm";
  if (EndsWith(name, ".html")) return "text/html";
  if (EndsWith(name, ".ezy")) return "application/octet-stream";
  return "";
}

Response Status(int status) { return Response{.status = status}; }

std::optional<std::vector<std::uint8_t>> ReadAll(const std::string& path, int& status) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    status = 404;
    return std::nullopt;
  }
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  std::ifstream in(path, std::ios::binary);
  if (ec || size > kMaxFileBytes || !in) {
    status = 403;
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
    status = 403;
    return std::nullopt;
  }
  return bytes;
}

// A file as the view gets it; `serve` movies get the bridge.
Response File(const std::string& path, std::string_view name, bool serve) {
  Response r{.mime = MimeOf(name)};
  if (r.mime.empty()) return Status(403);
  std::optional<std::vector<std::uint8_t>> bytes = ReadAll(path, r.status);
  if (!bytes) return Status(r.status);
  if (serve) {
    std::optional<std::vector<std::uint8_t>> served = avm1::ServedMovie(*bytes);
    if (!served) return Status(415);
    bytes = std::move(served);
  }
  r.status = 200;
  r.body = std::move(*bytes);
  return r;
}

std::string Join(const std::string& dir, std::string_view name) { return dir + "/" + std::string(name); }

}  // namespace

MovieFiles::MovieFiles(std::string runtimeDir, std::string programDir, std::string mediaDir)
    : runtimeDir_(std::move(runtimeDir)),
      programDir_(std::move(programDir)),
      mediaDir_(std::move(mediaDir)) {}

Response MovieFiles::Get(std::string_view url) const {
  // A query or fragment names no other file.
  url = url.substr(0, std::min(url.find('?'), url.find('#')));
  if (Lower(url.substr(0, sizeof kScheme - 1)) != kScheme) return Status(403);
  url.remove_prefix(sizeof kScheme - 1);
  const std::size_t slash = url.find('/');
  if (slash == std::string_view::npos) return Status(404);
  const std::string host = Lower(url.substr(0, slash));
  const std::string_view path = url.substr(slash + 1);
  const bool known = host == "runtime" || host == "book" || host == "media" || host == "program";
  if (!known) return Status(403);
  // Escapes, backslashes, absolute paths and dot segments never reach a folder.
  if (!PlainPath(path)) return Status(403);

  if (host == "runtime") return File(Join(runtimeDir_, path), path, false);
  if (host == "book") {
    if (path != "book.swf") return Status(404);
    if (book_.empty()) return Status(404);
    return File(book_, path, true);
  }
  if (host == "media") {
    if (path.find('/') != std::string_view::npos || !EndsWith(path, ".zov")) return Status(403);
    return File(Join(mediaDir_, path), path, true);
  }
  if (path != "news.ezy" && path != "news2.ezy") return Status(404);
  return File(Join(programDir_, path), path, false);
}

}  // namespace runtime
