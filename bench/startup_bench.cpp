// Start-up time, process start to main window shown with the movie loaded,
// against a bare Qt window started the same way.
//   startup_bench READER_PROBE BARE_WINDOW [RUNS]
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
double TimeOnce(const char* exe, const std::string& scratch) {
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_bench READER_PROBE BARE_WINDOW [RUNS]\n");
    return 2;
  }
  int runs = argc > 3 ? std::atoi(argv[3]) : 61;
  char scratch[] = "/tmp/reader-bench-XXXXXX";
  if (!mkdtemp(scratch)) return 1;
  // One of each first, so neither pays for cold caches.
  TimeOnce(argv[1], scratch);
  TimeOnce(argv[2], scratch);
  std::vector<double> reader, bare;
  for (int i = 0; i < runs; ++i) {
    double r = TimeOnce(argv[1], scratch);
    double b = TimeOnce(argv[2], scratch);
    if (r < 0 || b < 0) {
      std::fprintf(stderr, "startup_bench: a run failed\n");
      return 1;
    }
    reader.push_back(r);
    bare.push_back(b);
  }
  std::string cleanup = std::string("rm -rf ") + scratch;
  if (std::system(cleanup.c_str()) != 0)
    std::fprintf(stderr, "startup_bench: could not remove %s\n", scratch);
  double mr = Median(reader), mb = Median(bare);
  // Each run against the bare one beside it: the machine's own drift cancels.
  std::vector<double> pairs;
  for (size_t i = 0; i < reader.size(); ++i) pairs.push_back(reader[i] / bare[i]);
  std::printf("start-up, %d runs alternating (%s)\n", runs, std::getenv("DISPLAY") ? "display" : "offscreen");
  std::printf("  reader main window shown, movie loaded: median %.1f ms (quartiles %.1f, %.1f)\n", mr,
              Quantile(reader, 0.25), Quantile(reader, 0.75));
  std::printf("  bare Qt window shown:                   median %.1f ms (quartiles %.1f, %.1f)\n", mb,
              Quantile(bare, 0.25), Quantile(bare, 0.75));
  std::printf("  each run against its neighbour:         median %.2fx (quartiles %.2fx, %.2fx)\n",
              Median(pairs), Quantile(pairs, 0.25), Quantile(pairs, 0.75));
  std::printf("  ratio: %.2fx (goal: 1.30x or less)\n", mr / mb);
  return 0;
}
