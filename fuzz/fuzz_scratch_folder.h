#pragma once
// For targets whose readers use the working folder: runs the fuzzer in a scratch
// folder of its own, removed at exit. Corpus paths given relative to the folder
// the fuzzer was started in are made absolute first, and crash files still land
// there (unless -artifact_prefix says otherwise).
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

inline void FuzzEnterScratchFolder(int* argc, char*** argv, const std::string& name) {
  namespace fs = std::filesystem;
  static std::vector<std::string> args;
  static std::vector<char*> pointers;
  bool prefixGiven = false;
  for (int i = 0; i < *argc; ++i) {
    const char* arg = (*argv)[i];
    prefixGiven = prefixGiven || std::strncmp(arg, "-artifact_prefix=", 17) == 0;
    args.push_back(i > 0 && arg[0] != '-' ? fs::absolute(arg).string() : arg);
  }
  if (!prefixGiven) args.push_back("-artifact_prefix=" + fs::current_path().string() + "/");
  for (std::string& arg : args) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  *argc = static_cast<int>(args.size());
  *argv = pointers.data();

  static const fs::path dir = fs::temp_directory_path() / (name + "_" + std::to_string(getpid()));
  std::atexit([] {
    std::error_code ec;
    fs::remove_all(dir, ec);
  });
  fs::create_directories(dir);
  fs::current_path(dir);
}
