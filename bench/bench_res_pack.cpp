// Loading many small resources: 10,000 resources of 64 bytes from one pack, loaded
// by tag through a LoadRes function that only touches the bytes; and, beside it,
// registering the same pack and a descriptor of 2,000 loose files. Runs in a fresh
// folder under the temporary directory; prints the median of several repetitions.
//   bench_res_pack [repetitions]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "costrak.h"
#include "costrak_res_pack.h"

namespace fs = std::filesystem;

namespace {
constexpr int kResources = 10000;
constexpr int kLooseFiles = 2000;
constexpr uint32_t kSize = 64;

uint64_t g_sum = 0;
void TouchBytes(const void* data, uint32_t size, const char*, int32_t, int32_t, int32_t, int32_t) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (uint32_t i = 0; i < size; ++i) g_sum += bytes[i];
}

double CpuMs() { return static_cast<double>(std::clock()) * 1e3 / CLOCKS_PER_SEC; }

struct Times {
  double wall, cpu;
};

// Median wall and CPU time of `reps` runs of `work`; `setup` runs untimed before each.
Times Median(int reps, const std::function<void()>& setup, const std::function<void()>& work) {
  std::vector<double> wall, cpu;
  for (int r = 0; r < reps; ++r) {
    setup();
    const auto w0 = std::chrono::steady_clock::now();
    const double c0 = CpuMs();
    work();
    cpu.push_back(CpuMs() - c0);
    wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - w0).count());
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

void Report(const char* what, int count, Times t) {
  std::printf("%-34s %8.2f ms wall %8.2f ms cpu %8.2f us/resource\n", what, t.wall, t.cpu, t.wall * 1e3 / count);
}

void WritePackData() {
  std::vector<O2DPackEntry> entries;
  std::vector<std::string> data;
  for (int i = 0; i < kResources; ++i) {
    entries.push_back({"RES_" + std::to_string(i), "BENCH", 0, 0, 1});
    data.emplace_back(kSize, static_cast<char>('a' + i % 26));
  }
  fs::create_directories("pak/DATA");
  if (!RES_WritePack("pak/DATA/bench.pak", entries, data)) std::exit(1);
}

void WriteLooseData() {
  fs::create_directories("xml/DATA");
  std::ofstream desc("xml/DATA/bench.xml", std::ios::binary);
  desc << "<?xml version=\"1.0\"?>\n<respack>\n";
  for (int i = 0; i < kLooseFiles; ++i) {
    const std::string name = std::string("f").append(std::to_string(i)).append(".bin");
    std::ofstream("xml/DATA/" + name, std::ios::binary) << std::string(kSize, 'x');
    desc << "<r id=\"R" << i << "\" filename=\"" << name << "\" typeid=\"BENCH\" tag=\"1\"/>\n";
  }
  desc << "</respack>\n";
}
}  // namespace

int main(int argc, char** argv) {
  const int reps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  const fs::path dir = fs::temp_directory_path() / ("o2d_bench_res_" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(dir);
  fs::current_path(dir);
  WritePackData();
  WriteLooseData();

  fs::current_path(dir / "pak");
  {
    COstrak engine;
    engine.ResInit();
    engine.RegisterLoadRes(&TouchBytes, "BENCH");
    Report("load 10000 x 64 B from a pack", kResources, Median(reps, [] {}, [&] { engine.LoadResources(1); }));
    engine.ResDeinit();
  }
  {
    COstrak engine;
    Report("register a pack of 10000", kResources,
           Median(reps, [&] { engine.ResDeinit(); }, [&] { engine.ResInit(); }));
  }
  fs::current_path(dir / "xml");
  {
    COstrak engine;
    Report("register 2000 loose files", kLooseFiles,
           Median(reps, [&] { engine.ResDeinit(); }, [&] { engine.ResInit(); }));
    engine.RegisterLoadRes(&TouchBytes, "BENCH");
    Report("load 2000 loose files", kLooseFiles, Median(reps, [] {}, [&] { engine.LoadResources(1); }));
  }
  std::printf("checksum %llu\n", static_cast<unsigned long long>(g_sum));
  fs::current_path(dir.parent_path());
  fs::remove_all(dir);
  return 0;
}
