// Start-up of the real program, headless, in a run that quits after its first
// presented frame (OSTRAK2D_QUIT_AFTER_FRAMES=1): exec to that frame (seen as the
// shutdown's first log line, written right after it) and to exit, and its peak
// RSS, each next to the raw OpenGL harness (raw_gl.h) drawing and presenting one
// frame of quads, timed to the same points; then the idle program's CPU share
// over 10 seconds once started.
//
//   startup [runs (7)] [program] [data folder]
#include <SDL.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "raw_gl.h"

namespace {

double Now() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct Run {
  double seconds = 0;      // exec to exit
  double markSeconds = 0;  // exec to the log line `mark`
  double cpuSeconds = 0;   // user + system
  double peakMB = 0;
  int status = -1;
  double idleCpuSeconds = 0, idleSeconds = 0;  // measured after the start-up has settled
};

// User + system CPU seconds of a running process, all its threads.
double ProcessCpuSeconds(pid_t pid) {
  std::FILE* f = std::fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
  if (f == nullptr) return 0;
  char text[1024] = {};
  const size_t n = std::fread(text, 1, sizeof text - 1, f);
  std::fclose(f);
  text[n] = '\0';
  // Fields after the command name (which may hold spaces): utime and stime are the 12th and 13th.
  const char* p = std::strrchr(text, ')');
  unsigned long utime = 0, stime = 0;
  if (p == nullptr || std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2)
    return 0;
  return double(utime + stime) / double(sysconf(_SC_CLK_TCK));
}

// Runs `argv` in `dir`; with idleSeconds > 0 it is left 2 s to start, measured for
// idleSeconds and ended by SIGTERM. With `mark`, the time until gamelog.txt holds it.
Run Execute(const std::vector<std::string>& args, const std::filesystem::path& dir, double idleSeconds,
            const char* mark = nullptr) {
  Run run;
  const std::filesystem::path log = dir / "gamelog.txt";
  int watch = -1;
  if (mark != nullptr) {
    std::filesystem::remove(log);
    watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch >= 0) inotify_add_watch(watch, dir.c_str(), IN_CLOSE_WRITE);
  }
  const double start = Now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(127);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  // Each log line is written and closed on its own: look at the log at each close
  // (not at each write too: every wake-up of this process takes CPU from the game).
  auto running = [pid] {
    siginfo_t info{};
    return waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
  };
  std::string text;
  while (watch >= 0 && run.markSeconds == 0 && running()) {
    pollfd p{watch, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char events[4096];
    while (read(watch, events, sizeof events) > 0) {
    }
    std::ifstream in(log);
    in.seekg(std::streamoff(text.size()));
    text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (text.find(mark) != std::string::npos) run.markSeconds = Now() - start;
  }
  if (watch >= 0) close(watch);
  if (idleSeconds > 0) {
    timespec settle{2, 0}, wait{time_t(idleSeconds), 0};
    nanosleep(&settle, nullptr);
    const double cpu = ProcessCpuSeconds(pid), from = Now();
    nanosleep(&wait, nullptr);
    run.idleCpuSeconds = ProcessCpuSeconds(pid) - cpu;
    run.idleSeconds = Now() - from;
    kill(pid, SIGTERM);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  run.seconds = Now() - start;
  run.cpuSeconds = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
  run.peakMB = double(usage.ru_maxrss) / 1024.0;
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

// The raw OpenGL harness quadmark races against: its window, context, shader and
// texture, one frame of 1,000 quads presented. It marks the frame in the log as
// the game does, so that both are timed to the same point.
int RawOpenGL() {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  {
    bench::RawGL raw;
    raw.Frame(bench::RandomQuads(1000), 32);
    raw.Finish();  // the game's present waits for its frame to be drawn, too
    std::ofstream("gamelog.txt") << "Deinitializing\n";
  }
  SDL_Quit();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--raw") return RawOpenGL();
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const std::string program = argc > 2 ? argv[2] : TAVROKAVEL_EXE;
  const std::filesystem::path data = argc > 3 ? argv[3] : GAME_DATA_DIR;
  const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe");

  const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("startup." + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::filesystem::create_directory_symlink(std::filesystem::absolute(data), dir / "DATA");
  // Headless, and the single-instance lock in the run's own folder.
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);

  std::vector<double> firstFrame, seconds, peak, rawSeconds, rawExit, rawPeak;
  for (int i = 0; i < runs; ++i) {
    setenv("OSTRAK2D_QUIT_AFTER_FRAMES", "1", 1);
    const Run run = Execute({program}, dir, 0, "Deinitializing");
    unsetenv("OSTRAK2D_QUIT_AFTER_FRAMES");
    if (run.status != 0) {
      std::fprintf(stderr, "startup: %s ended with status %d\n", program.c_str(), run.status);
      return 1;
    }
    if (run.markSeconds == 0) {
      std::fprintf(stderr, "startup: %s logged no shutdown after its first frame\n", program.c_str());
      return 1;
    }
    firstFrame.push_back(run.markSeconds);
    seconds.push_back(run.seconds);
    peak.push_back(run.peakMB);
    const Run raw = Execute({self.string(), "--raw"}, dir, 0, "Deinitializing");
    if (raw.markSeconds == 0) {
      std::fprintf(stderr, "startup: the raw OpenGL harness did not mark its frame\n");
      return 1;
    }
    rawSeconds.push_back(raw.markSeconds);
    rawExit.push_back(raw.seconds);
    rawPeak.push_back(raw.peakMB);
  }
  const Run idle = Execute({program}, dir, 10.0);
  std::filesystem::remove_all(dir);

  std::printf("exec to first presented frame: %.1f ms, raw OpenGL harness %.1f ms; to exit after it %.1f ms, "
              "harness %.1f ms (medians of %d)\n",
              Median(firstFrame) * 1000.0, Median(rawSeconds) * 1000.0, Median(seconds) * 1000.0,
              Median(rawExit) * 1000.0, runs);
  std::printf("peak RSS: %.1f MB, raw OpenGL harness %.1f MB (difference %.1f MB)\n", Median(peak),
              Median(rawPeak), Median(peak) - Median(rawPeak));
  std::printf("idle: %.2f CPU seconds in %.1f s after 2 s of start-up, %.1f%% of a core (whole run %.2f s in %.1f s)\n",
              idle.idleCpuSeconds, idle.idleSeconds, 100.0 * idle.idleCpuSeconds / idle.idleSeconds, idle.cpuSeconds,
              idle.seconds);
  return 0;
}
