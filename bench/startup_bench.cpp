// Start-up time, process start to main window shown with the movie loaded,
// against a bare Qt window started the same way.
//   startup_bench READER_PROBE BARE_WINDOW [RUNS] [--without AID,AID...]
// With --without, each start-up aid named (readahead, pictures) is
// also measured left out, in the same run, alternating: what taking it out
// moves the median ratio, against the spread of the ratio with it in.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Milliseconds from fork to the child's "shown" line; negative on failure.
double TimeOnce(const char* exe, const std::string& scratch, const std::string& without = "") {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], 1);
    close(fds[0]);
    setenv("TEMP", (scratch + "/").c_str(), 1);
    setenv("XDG_DATA_HOME", (scratch + "/data").c_str(), 1);
    setenv("XDG_CACHE_HOME", (scratch + "/cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", scratch.c_str(), 1);
    if (!without.empty()) setenv("READER_STARTUP_WITHOUT", without.c_str(), 1);
    if (!std::getenv("DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 2);
    execl(exe, exe, static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  char buf[256];
  std::string out;
  ssize_t n;
  double ms = -1;
  while ((n = read(fds[0], buf, sizeof buf)) > 0) {
    out.append(buf, static_cast<size_t>(n));
    if (out.find("shown") != std::string::npos && ms < 0)
      ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

double Quantile(std::vector<double> v, double q) {
  std::sort(v.begin(), v.end());
  double at = q * static_cast<double>(v.size() - 1);
  auto i = static_cast<size_t>(at);
  double f = at - static_cast<double>(i);
  return i + 1 < v.size() ? v[i] * (1 - f) + v[i + 1] * f : v[i];
}
double Median(const std::vector<double>& v) { return Quantile(v, 0.5); }

// Runs the reader (without `without`, when named) and the bare window
// alternately; the ratio of each reader run to the bare run beside it.
struct Series {
  std::vector<double> reader, bare, pairs;
};

bool Measure(const char* probe, const char* bareExe, const std::string& scratch, int runs,
             const std::vector<std::string>& variants, std::vector<Series>* out) {
  out->assign(variants.size(), {});
  for (int i = 0; i < runs; ++i) {
    for (size_t v = 0; v < variants.size(); ++v) {
      double r = TimeOnce(probe, scratch, variants[v]);
      double b = TimeOnce(bareExe, scratch);
      if (r < 0 || b < 0) return false;
      (*out)[v].reader.push_back(r);
      (*out)[v].bare.push_back(b);
      (*out)[v].pairs.push_back(r / b);
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench READER_PROBE BARE_WINDOW [RUNS] [--without AID,AID...]\n");
    return 2;
  }
  int runs = 61;
  std::vector<std::string> aids;
  for (int i = 3; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--without" && i + 1 < argc) {
      std::string list = argv[++i];
      for (size_t at = 0; at <= list.size();) {
        size_t comma = std::min(list.find(',', at), list.size());
        if (comma > at) aids.push_back(list.substr(at, comma - at));
        at = comma + 1;
      }
    } else {
      runs = std::atoi(argv[i]);
    }
  }
  char scratch[] = "/tmp/reader-bench-XXXXXX";
  if (!mkdtemp(scratch)) return 1;
  // One of each first, so neither pays for cold caches.
  TimeOnce(argv[1], scratch);
  TimeOnce(argv[2], scratch);
  std::vector<std::string> variants = {""};
  variants.insert(variants.end(), aids.begin(), aids.end());
  std::vector<Series> series;
  bool ok = Measure(argv[1], argv[2], scratch, runs, variants, &series);
  std::string cleanup = std::string("rm -rf ") + scratch;
  if (std::system(cleanup.c_str()) != 0)
    std::fprintf(stderr, "startup_bench: could not remove %s\n", scratch);
  if (!ok) {
    std::fprintf(stderr, "startup_bench: a run failed\n");
    return 1;
  }
  const Series& all = series[0];
  double mr = Median(all.reader), mb = Median(all.bare);
  std::printf("start-up, %d runs alternating (%s)\n", runs, std::getenv("DISPLAY") ? "display" : "offscreen");
  std::printf("  reader main window shown, movie loaded: median %.1f ms (quartiles %.1f, %.1f)\n", mr,
              Quantile(all.reader, 0.25), Quantile(all.reader, 0.75));
  std::printf("  bare Qt window shown:                   median %.1f ms (quartiles %.1f, %.1f)\n", mb,
              Quantile(all.bare, 0.25), Quantile(all.bare, 0.75));
  // Each run against the bare one beside it: the machine's own drift cancels.
  double median = Median(all.pairs), q1 = Quantile(all.pairs, 0.25), q3 = Quantile(all.pairs, 0.75);
  std::printf("  each run against its neighbour:         median %.2fx (quartiles %.2fx, %.2fx)\n", median, q1,
              q3);
  std::printf("  ratio: %.2fx (goal: 1.30x or less)\n", mr / mb);
  if (!aids.empty()) {
    std::printf(
        "  each aid taken out (kept when that moves the median ratio by more than %.3f, the\n"
        "  interquartile range with every aid in, or takes it past 1.30x):\n",
        q3 - q1);
    std::printf("    %-10s %8s %8s %8s  %s\n", "aid", "in", "out", "moved", "verdict");
    for (size_t v = 1; v < variants.size(); ++v) {
      double out = Median(series[v].pairs);
      bool earns = out - median > q3 - q1 || out > 1.30;
      std::printf("    %-10s %7.3fx %7.3fx %+8.3f  %s\n", variants[v].c_str(), median, out, out - median,
                  earns ? "keep" : "does not earn its place");
    }
  }
  return 0;
}
