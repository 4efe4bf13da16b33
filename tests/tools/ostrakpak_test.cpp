#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "costrak.h"
#include "costrak_res_pack.h"
#include "costrak_xml.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {
struct Loaded {
  std::string type, bytes;
  int32_t tag, d1, d2, d3;
  bool operator==(const Loaded&) const = default;
};
std::map<std::string, Loaded> g_loaded;
std::string g_type;

template <const char* Type>
void Capture(const void* data, uint32_t size, const char* id, int32_t tag, int32_t d1, int32_t d2, int32_t d3) {
  std::string bytes(static_cast<const char*>(data), size);
  // Loaders of XML data undo the transform when the engine's flag says so.
  if (RES_IsXMLType(Type) && O2D_GetXMLEncryptMode()) XML_TransformBytes(bytes.data(), bytes.size());
  g_loaded[id] = {Type, bytes, tag, d1, d2, d3};
}
constexpr char kBin[] = "BINARY";
// An XML type the engine does not load itself.
constexpr char kXML[] = "GUIDATA";

// Every resource of the DATA folder in the working directory, as the engine loads them.
std::map<std::string, Loaded> LoadAll() {
  g_loaded.clear();
  COstrak engine;
  engine.ResInit();
  engine.RegisterLoadRes(&Capture<kBin>, "BINARY");
  engine.RegisterLoadRes(&Capture<kXML>, "GUIDATA");
  engine.LoadResources(0);
  engine.ResDeinit();
  O2D_SetXMLEncryptMode(false);
  return g_loaded;
}

int RunTool(const std::string& args, std::string* output = nullptr) {
  const std::string cmd = std::string(OSTRAKPAK_EXE) + " " + args + " >out.txt 2>&1";
  const int status = std::system(cmd.c_str());
  if (output) *output = ReadFileBytes("out.txt");
  return WEXITSTATUS(status);
}

class PackToolTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    fs::create_directories("src/sub");
    WriteFileBytes("src/font.txt", "<fontdesc id=\"FNT_A\">\r\n</fontdesc>\r\n");
    WriteFileBytes("src/sub/pic.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    WriteFileBytes("src/a.xml", R"(<respack><r id="FNT_A" filename="font.txt" typeid="GUIDATA" tag="2"/>
      <r id="TEX_PIC" filename="sub/pic.png" typeid="BINARY" tag="1" data1="3" data2="-1" data3="256"/></respack>)");
    WriteFileBytes("src/b.xml", "<respack><r id=\"RAW\" filename=\"font.txt\" typeid=\"BINARY\" tag=\"7\"/></respack>");
  }
};
}  // namespace

TEST_F(PackToolTest, BuildListAndExtractRoundTrips) {
  // The engine reading the descriptors directly is the reference.
  fs::rename("src", "DATA");
  const auto reference = LoadAll();
  ASSERT_EQ(reference.size(), 3u);
  fs::rename("DATA", "src");

  ASSERT_EQ(RunTool("build out.pak src/a.xml src/b.xml"), 0);
  // The XML resource is stored transformed, the others as they are.
  const std::string pack = ReadFileBytes("out.pak");
  EXPECT_EQ(pack.find("<fontdesc"), pack.rfind("<fontdesc"));  // only the plain copy stored as RAW

  std::string listing;
  ASSERT_EQ(RunTool("list out.pak", &listing), 0);
  EXPECT_NE(listing.find("\t16\t1\t3\t-1\t256\n"), std::string::npos);

  fs::create_directory("DATA");
  fs::copy_file("out.pak", "DATA/out.pak");
  EXPECT_EQ(LoadAll(), reference);
  fs::remove_all("DATA");

  ASSERT_EQ(RunTool("extract out.pak DATA"), 0);
  EXPECT_EQ(LoadAll(), reference);
  EXPECT_EQ(ReadFileBytes("DATA/TEX_PIC.png"), ReadFileBytes("src/sub/pic.png"));
}

TEST_F(PackToolTest, ErrorsNameTheOffendingFile) {
  std::string out;
  WriteFileBytes("src/bad.xml", "<respack><r id=\"X\" filename=\"missing.bin\" typeid=\"BINARY\"/></respack>");
  EXPECT_EQ(RunTool("build out.pak src/a.xml src/bad.xml", &out), 1);
  EXPECT_EQ(out, "ostrakpak: src/bad.xml: Cannot find file declared in ResPack. Filename = missing.bin\n");
  EXPECT_EQ(RunTool("build out.pak src/a.xml src/a.xml", &out), 1);
  EXPECT_EQ(out, "ostrakpak: src/a.xml: Dublicated resource. ID = FNT_A\n");

  ASSERT_EQ(RunTool("build out.pak src/a.xml"), 0);
  const std::string pack = ReadFileBytes("out.pak");
  WriteFileBytes("cut.pak", pack.substr(0, pack.size() - 3));
  EXPECT_EQ(RunTool("list cut.pak", &out), 1);
  EXPECT_EQ(out, "ostrakpak: cut.pak: damaged pack: the data of TEX_PIC lies past the end of the file\n");
  EXPECT_EQ(RunTool("frobnicate", &out), 1);
}
