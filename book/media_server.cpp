// The demo media server: serves the chapters' media files under a root
// folder over HTTP on 127.0.0.1, as the reader's download server would.
//   reader-demo-media-server [--port N] [--root DIR]
// --port 0 takes a free port. The first line on standard output names the
// address it serves.
#include <fcntl.h>
#include <httplib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace fs = std::filesystem;

namespace {

// The chapters' files: installed beside the program's data
// (PREFIX/share/reader/media-site, this being PREFIX/bin/...), else the
// build's site.
fs::path DefaultRoot() {
  std::error_code error;
  fs::path self = fs::read_symlink("/proc/self/exe", error);
  fs::path installed = self.parent_path().parent_path() / "share/reader/media-site";
  if (!error && fs::is_directory(installed, error)) return installed;
  return READER_MEDIA_SITE;
}

struct Options {
  int port = READER_DEMO_MEDIA_PORT;
  fs::path root = DefaultRoot();
};

std::optional<Options> ParseArguments(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    if (i + 1 >= argc) return std::nullopt;
    std::string value = argv[++i];
    if (name == "--port") {
      auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), options.port);
      if (error != std::errc() || end != value.data() + value.size() || options.port < 0 ||
          options.port > 65535)
        return std::nullopt;
    } else if (name == "--root") {
      options.root = value;
    } else {
      return std::nullopt;
    }
  }
  return options;
}

// The regular file a request's (decoded) path names under root, itself
// canonical; none when the path climbs out, or a link leads out.
std::optional<fs::path> FileUnder(const fs::path& root, const std::string& path) {
  if (path.empty() || path[0] != '/' || path.find('\0') != std::string::npos) return std::nullopt;
  fs::path relative = fs::path(path).relative_path();
  for (const fs::path& part : relative)
    if (part == "..") return std::nullopt;
  std::error_code error;
  fs::path real = fs::canonical(root / relative, error);
  if (error) return std::nullopt;
  auto [rootEnd, realAt] = std::mismatch(root.begin(), root.end(), real.begin(), real.end());
  if (rootEnd != root.end() || !fs::is_regular_file(real, error)) return std::nullopt;
  return real;
}

void Serve(const fs::path& root, const httplib::Request& request, httplib::Response& response) {
  std::optional<fs::path> file = FileUnder(root, request.path);
  int fd = file ? ::open(file->c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC) : -1;
  struct stat st;
  if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    if (fd >= 0) ::close(fd);
    response.status = 404;
    response.set_content("not found\n", "text/plain");
    return;
  }
  // Streamed from the file: the media may be larger than memory should hold.
  response.set_content_provider(
      static_cast<std::size_t>(st.st_size), "application/octet-stream",
      [fd](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
        char buffer[64 * 1024];
        ssize_t n = ::pread(fd, buffer, std::min(length, sizeof buffer), static_cast<off_t>(offset));
        if (n <= 0) return false;
        return sink.write(buffer, static_cast<std::size_t>(n));
      },
      [fd](bool) { ::close(fd); });
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<Options> options = ParseArguments(argc, argv);
  if (!options) {
    std::fprintf(stderr, "usage: %s [--port 0-65535] [--root FOLDER]\n", argv[0]);
    return 2;
  }
  std::error_code error;
  fs::path root = fs::canonical(options->root, error);
  if (error || !fs::is_directory(root)) {
    std::fprintf(stderr, "%s: no folder %s to serve\n", argv[0], options->root.c_str());
    return 2;
  }
  httplib::Server server;
  server.Get(".*", [&root](const httplib::Request& request, httplib::Response& response) {
    Serve(root, request, response);
  });
  int port = options->port == 0 ? server.bind_to_any_port("127.0.0.1")
                                : (server.bind_to_port("127.0.0.1", options->port) ? options->port : -1);
  if (port < 0) {
    std::fprintf(stderr, "%s: cannot listen on 127.0.0.1:%d (is it taken?)\n", argv[0], options->port);
    return 1;
  }
  std::printf("serving %s on http://127.0.0.1:%d/\n", root.c_str(), port);
  std::fflush(stdout);
  return server.listen_after_bind() ? 0 : 1;
}
