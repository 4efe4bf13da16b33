// ostrakpak: builds, lists and extracts resource packs.
//   ostrakpak build OUT.pak DESCRIPTOR.xml...
//   ostrakpak list PACK
//   ostrakpak extract PACK DIR
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "costrak_ehs.h"
#include "costrak_res_cres.h"
#include "costrak_res_main.h"
#include "costrak_res_pack.h"
#include "costrak_xml.h"

namespace fs = std::filesystem;

namespace {
const char* kUsage =
    "usage: ostrakpak build OUT.pak DESCRIPTOR.xml...\n"
    "       ostrakpak list PACK\n"
    "       ostrakpak extract PACK DIR\n"
    "\n"
    "build    reads the descriptors as the engine does (file names relative to each\n"
    "         descriptor's folder) and writes one pack of all their resources;\n"
    "         resources whose data is XML are stored with the XML transform\n"
    "list     prints the directory: ID, type, offset, size, tag, data1, data2, data3\n"
    "extract  writes every resource as a loose file plus the descriptor respack.xml\n";

// A failure of the tool: one line naming the offending file.
struct ToolError {
  std::string file, message;
};

std::string ReadWhole(const std::string& path, uint64_t offset, uint64_t size) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(size, '\0');
  if (!in || !in.seekg(static_cast<std::streamoff>(offset)) ||
      !in.read(bytes.data(), static_cast<std::streamsize>(size)))
    throw ToolError{path, "cannot read " + std::to_string(size) + " bytes at offset " + std::to_string(offset)};
  return bytes;
}

int Build(const std::string& out, std::vector<std::string> descriptors) {
  // The engine reads a folder's descriptors in byte order of their names; the
  // pack keeps that order whatever order the shell gave.
  std::stable_sort(descriptors.begin(), descriptors.end(), [](const std::string& a, const std::string& b) {
    return fs::path(a).filename().string() < fs::path(b).filename().string();
  });
  std::vector<O2DPackEntry> entries;
  std::vector<std::string> data;
  std::set<std::string> ids;
  for (const std::string& desc : descriptors) {
    const std::string dir = fs::path(desc).parent_path().string();
    try {
      RES_ReadDescriptor(
          desc, dir.empty() ? std::string() : dir + "/", [&](const std::string& id) { return ids.count(id) != 0; },
          [&](std::unique_ptr<CO2DResource> r) {
            ids.insert(r->GetID());
            std::string bytes = ReadWhole(r->GetFileName(), 0, r->GetSize());
            if (RES_IsXMLType(r->GetTypeName())) XML_TransformBytes(bytes.data(), bytes.size());
            entries.push_back({r->GetID(), r->GetTypeName(), 0, 0, r->GetTag(), r->GetData1(), r->GetData2(),
                               r->GetData3()});
            data.push_back(std::move(bytes));
          });
    } catch (const CEHSException& e) {
      throw ToolError{desc, e.Desc};
    } catch (const CEHSTextError& e) {
      throw ToolError{desc, e.Text};
    }
  }
  if (!RES_WritePack(out, entries, data)) throw ToolError{out, "cannot write the pack"};
  return 0;
}

// The pack's directory, refused when it is damaged.
O2DPackDirectory ReadDirectory(const std::string& pack) {
  std::error_code ec;
  const uint64_t fileSize = fs::file_size(pack, ec);
  if (ec) throw ToolError{pack, "cannot open the pack"};
  O2DPackDirectory dir = RES_ReadPackDirectory(pack);
  if (dir.declaredCount < 0 || dir.entries.size() != static_cast<size_t>(dir.declaredCount))
    throw ToolError{pack, "damaged pack: " + std::to_string(dir.entries.size()) + " of " +
                              std::to_string(dir.declaredCount) + " entries readable"};
  for (const O2DPackEntry& e : dir.entries)
    if (uint64_t{e.offset} + e.size > fileSize)
      throw ToolError{pack, "damaged pack: the data of " + e.id + " lies past the end of the file"};
  return dir;
}

int List(const std::string& pack) {
  for (const O2DPackEntry& e : ReadDirectory(pack).entries)
    std::cout << e.id << '\t' << e.typeName << '\t' << e.offset << '\t' << e.size << '\t' << e.tag << '\t'
              << e.data1 << '\t' << e.data2 << '\t' << e.data3 << '\n';
  return 0;
}

// Loose-file names come from the IDs; a name must never end in ".xml", since the
// engine takes every such file in the folder for a descriptor.
std::string FileNameFor(const O2DPackEntry& e, const std::string& bytes, std::set<std::string>& used) {
  std::string base;
  for (unsigned char c : e.id) base += (std::isalnum(c) || c == '_' || c == '-') ? static_cast<char>(c) : '_';
  if (base.empty()) base = "resource";
  base.resize(std::min<size_t>(base.size(), 200));  // file names are limited to 255 bytes
  std::string ext = ".bin";
  auto starts = [&](const char* magic, size_t at = 0) {
    return bytes.size() >= at + std::strlen(magic) && bytes.compare(at, std::strlen(magic), magic) == 0;
  };
  if (RES_IsXMLType(e.typeName)) {
    ext = "." + e.typeName;
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  } else if (e.typeName == "SCRIPT") ext = ".lua";
  else if (starts("\x89PNG")) ext = ".png";
  else if (starts("\xFF\xD8\xFF")) ext = ".jpg";
  else if (starts("BM")) ext = ".bmp";
  else if (starts("RIFF") && starts("WAVE", 8)) ext = ".wav";
  else if (starts("OggS")) ext = ".ogg";
  else if (starts("fLaC")) ext = ".flac";
  else if (starts("Extended Module:")) ext = ".xm";
  else if (starts("IMPM")) ext = ".it";
  else if (starts("SCRM", 44)) ext = ".s3m";
  else if (starts("M.K.", 1080)) ext = ".mod";
  std::string name = base + ext;
  for (int n = 2; !used.insert(name).second; ++n) name = base + "_" + std::to_string(n) + ext;
  return name;
}

int Extract(const std::string& pack, const std::string& outDir) {
  const O2DPackDirectory dir = ReadDirectory(pack);
  std::error_code ec;
  fs::create_directories(outDir, ec);
  if (ec) throw ToolError{outDir, "cannot create the folder"};
  std::set<std::string> used{"respack.xml"};
  std::ostringstream desc;
  desc << "<?xml version=\"1.0\"?>\n<respack>\n";
  std::set<std::string> ids;
  for (const O2DPackEntry& e : dir.entries) {
    // The engine keeps the first entry of an ID and drops the others.
    if (!ids.insert(e.id).second) continue;
    // A descriptor value cannot hold a double quote, and a CR LF in it would
    // read back as LF.
    if (e.id.find_first_of("\"\r") != std::string::npos || e.typeName.find_first_of("\"\r") != std::string::npos)
      throw ToolError{pack, "the ID or type of " + e.id + " cannot be written to a descriptor"};
    std::string bytes = ReadWhole(pack, e.offset, e.size);
    if (RES_IsXMLType(e.typeName)) XML_TransformBytes(bytes.data(), bytes.size());
    const std::string name = FileNameFor(e, bytes, used);
    std::ofstream out(fs::path(outDir) / name, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
      throw ToolError{(fs::path(outDir) / name).string(), "cannot write the file"};
    desc << "  <resource id=\"" << e.id << "\" filename=\"" << name << "\" typeid=\"" << e.typeName
         << "\" tag=\"" << e.tag << "\" data1=\"" << e.data1 << "\" data2=\"" << e.data2 << "\" data3=\"" << e.data3
         << "\"/>\n";
  }
  desc << "</respack>\n";
  const fs::path descPath = fs::path(outDir) / "respack.xml";
  std::ofstream out(descPath, std::ios::binary | std::ios::trunc);
  if (!(out << desc.str())) throw ToolError{descPath.string(), "cannot write the descriptor"};
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    std::cout << kUsage;
    return args.empty() ? 1 : 0;
  }
  try {
    if (args[0] == "build" && args.size() >= 3) return Build(args[1], {args.begin() + 2, args.end()});
    if (args[0] == "list" && args.size() == 2) return List(args[1]);
    if (args[0] == "extract" && args.size() == 3) return Extract(args[1], args[2]);
  } catch (const ToolError& e) {
    std::cerr << "ostrakpak: " << e.file << ": " << e.message << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << "ostrakpak: " << args[1] << ": " << e.what() << "\n";
    return 1;
  }
  std::cerr << "ostrakpak: unknown command or wrong arguments (see --help)\n";
  return 1;
}
