#pragma once
// Resource registry: the load-function shapes, the standard types' parameter
// mapping, and the data-directory listing shared by the engine and the pack tool.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CO2DResource;

inline constexpr const char* O2D_DATA_DIR = "./DATA/";

// A loader that receives the resource's bytes in memory.
using O2DLoadResFn = void (*)(const void* data, uint32_t size, const char* id, int32_t tag, int32_t data1,
                              int32_t data2, int32_t data3);
// A loader that receives the file and byte range and reads the data itself.
using O2DLoadResExFn = void (*)(const char* path, uint32_t offset, uint32_t size, const char* id, int32_t tag,
                                int32_t data1, int32_t data2, int32_t data3);

enum O2DResMode : int32_t {
  O2D_RESMODE_NONE = 0,
  O2D_RESMODE_XML = 1,
  O2D_RESMODE_PAK = 2,
};

// What a SOUND resource's data1..data3 mean to the sound loader.
struct O2DSoundParams {
  bool isStream;         // data1 == 1
  int32_t maxPlaybacks;  // data2, at least 1
  bool noOverride;       // data3 == 1
};
O2DSoundParams RES_SoundParams(int32_t data1, int32_t data2, int32_t data3);

// Names in `dir` ending in `extension` (compared without regard to case, as the
// original platform's pattern match did), regular files only, in plain byte order
// so that registration and loading by tag run in the same order everywhere.
std::vector<std::string> RES_ListFiles(const std::string& dir, const std::string& extension);

// Types whose data is XML text (stored with the XML transform in packs).
bool RES_IsXMLType(const std::string& typeName);

// Reads one resource-pack descriptor with the engine's checks and messages: each
// resource becomes a record (path dataDir + filename, offset 0, the file's size)
// handed to `add` in document order, so an error leaves the earlier ones added.
// `isKnownID` tells whether an ID is already registered. Returns the child count.
int32_t RES_ReadDescriptor(const std::string& path, const std::string& dataDir,
                           const std::function<bool(const std::string&)>& isKnownID,
                           const std::function<void(std::unique_ptr<CO2DResource>)>& add);
