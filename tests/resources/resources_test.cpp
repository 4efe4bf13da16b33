#include <filesystem>
#include <tuple>

#include "costrak.h"
#include "costrak_res_cres.h"
#include "costrak_res_pack.h"
#include "costrak_utils_cxmlvar.h"
#include "costrak_xml.h"
#include "raised.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {
struct LoadCall {
  std::string id, bytes, path;
  uint32_t offset = 0, size = 0;
  int32_t tag = 0, d1 = 0, d2 = 0, d3 = 0;
};
std::vector<LoadCall> g_calls;

void RecordLoad(const void* data, uint32_t size, const char* id, int32_t tag, int32_t d1, int32_t d2, int32_t d3) {
  g_calls.push_back({id, std::string(static_cast<const char*>(data), size), "", 0, size, tag, d1, d2, d3});
}
void RecordLoadEx(const char* path, uint32_t offset, uint32_t size, const char* id, int32_t tag, int32_t d1,
                  int32_t d2, int32_t d3) {
  g_calls.push_back({id, "", path, offset, size, tag, d1, d2, d3});
}
// A loader that starts a walk of its own, as a script calling the load-by-tag API does.
void NestedLoad(const void*, uint32_t, const char* id, int32_t, int32_t, int32_t, int32_t) {
  g_calls.push_back({id, "", ""});
  O2D_GetEngine()->LoadResources(9);
}

class ResourcesTest : public TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    fs::create_directory("DATA");
    g_calls.clear();
    O2D_SetXMLEncryptMode(false);
  }
  // The Desc of the error record `fn` raises.
  template <typename Fn>
  static std::string RaiseText(Fn&& fn) {
    const std::string raised = Raised(fn);
    return raised.substr(raised.find(": ") == std::string::npos ? 0 : raised.find(": ") + 2);
  }
};

void WritePack(const std::string& path, std::vector<O2DPackEntry> entries, const std::vector<std::string>& data) {
  ASSERT_TRUE(RES_WritePack(path, entries, data));
}
}  // namespace

TEST_F(ResourcesTest, DescriptorsWinOverPacksAndLeaveTheEncryptFlagOff) {
  WriteFileBytes("DATA/a.bin", "AAAA");
  WriteFileBytes("DATA/res.xml", "<?xml version=\"1.0\"?>\r\n<respack>" + Res("TEX_A", "a.bin", "TEST", 3, 7, 0, -2) + "</respack>");
  // A pack that would be refused if it were ever read.
  WriteFileBytes("DATA/b.pak", std::string("\x01\x00\x00\x00X\0T\0", 8) + std::string(24, '\0'));
  COstrak engine;
  engine.ResInit();
  EXPECT_EQ(std::tuple(engine.ResGetMode(), engine.ResGetXMLEncryptMode()), std::tuple(O2D_RESMODE_XML, false));
  engine.RegisterLoadRes(&RecordLoad, "TEST");
  engine.LoadResource("TEX_A");
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(std::tuple(g_calls[0].bytes, g_calls[0].tag, g_calls[0].d1, g_calls[0].d2, g_calls[0].d3),
            std::tuple("AAAA", 3, 7, 0, -2));
  EXPECT_EQ(RaiseText([&] { engine.RegisterLoadRes(&RecordLoad, "TEST"); }),
            "LoadRes function already registered for TypeID = TEST");
}

TEST_F(ResourcesTest, DescriptorErrors) {
  WriteFileBytes("DATA/a.bin", "A");
  WriteFileBytes("DATA/empty.bin", "");
  fs::create_directory("DATA/sub");
  auto start = [](const std::string& xml) {
    WriteFileBytes("DATA/res.xml", xml);
    COstrak engine;
    engine.ResInit();
  };
  const std::pair<const char*, const char*> cases[] = {
      {"<resources/>", "Wrong XML ResPack descriptor: ./DATA/res.xml"},
      {"<respack><a id=\"X\" filename=\"a.bin\" typeid=\"T\"/><b id=\"X\" filename=\"a.bin\" typeid=\"T\"/></respack>",
       "Dublicated resource. ID = X"},
      {"<respack><a id=\"X\" filename=\"nope.bin\" typeid=\"T\"/></respack>",
       "Cannot find file declared in ResPack. Filename = nope.bin"},
      {"<respack><a id=\"X\" filename=\"sub\" typeid=\"T\"/></respack>",
       "Cannot find file declared in ResPack. Filename = sub"},
      {"<respack><a id=\"X\" filename=\"empty.bin\" typeid=\"T\"/></respack>", "Wrong resource file - check if it exists!"},
      {"<respack><a id=\"X\" filename=\"a.bin\"/></respack>", "Invalid resource type ID!"},
      {"<respack><a filename=\"a.bin\" typeid=\"T\"/></respack>", "Invalid resource ID!"}};
  for (const auto& [xml, error] : cases) EXPECT_EQ(RaiseText([&] { start(xml); }), error) << xml;
}

TEST_F(ResourcesTest, PacksSetTheEncryptFlagAndKeepTheFirstOfADuplicatedID) {
  static CXMLVarInt sizex("res_test_sizex");
  std::string stored = "<xmldata><game res_test_sizex=\"6\"/></xmldata>";
  XML_TransformBytes(stored.data(), stored.size());  // XML is stored transformed in packs
  WritePack("DATA/one.pak",
            {{"X1", "TEST", 0, 0, 5, 1, 2, 3}, {"X1", "TEST", 0, 0, 6}, {"S1", "SNDTEST", 0, 0, 5, 1, 0, 2},
             {"XML_GAME", "XMLDATA", 0, 0, 5}},
            {"first", "second", "snd", stored});
  COstrak engine;
  engine.ResInit();
  EXPECT_EQ(std::tuple(engine.ResGetMode(), engine.ResGetXMLEncryptMode()), std::tuple(O2D_RESMODE_PAK, true));
  EXPECT_TRUE(LogHas("   +: 4 resources found.\n"));
  engine.RegisterLoadRes(&RecordLoad, "TEST");
  engine.RegisterLoadResEx(&RecordLoadEx, "SNDTEST");  // SOUND itself is a standard type
  engine.LoadResources(5);
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].bytes, "first");
  EXPECT_EQ(std::tuple(g_calls[1].path, g_calls[1].size, g_calls[1].tag, g_calls[1].d1, g_calls[1].d2, g_calls[1].d3),
            std::tuple("./DATA/one.pak", 3u, 5, 1, 0, 2));
  EXPECT_EQ(ReadFileBytes("DATA/one.pak").substr(g_calls[1].offset, 3), "snd");
  EXPECT_EQ(sizex.GetValue(), 6);
  // The flag belongs to this engine's packs: stopping the registry clears it.
  engine.ResDeinit();
  EXPECT_FALSE(engine.ResGetXMLEncryptMode());
}

TEST_F(ResourcesTest, NoDataDirectoryRunsWithoutResourcesAndRecordsCheckTheirFields) {
  fs::remove("DATA");
  COstrak engine;
  engine.ResInit();
  EXPECT_EQ(engine.ResGetMode(), O2D_RESMODE_NONE);
  COstrak other;
  EXPECT_EQ(RaiseText([&] { other.LoadResources(1); }), "Resources subsystem was not initialized!");
  // Resource records refuse what the descriptor checks cannot see.
  auto make = [](const char* path, int32_t size) {
    return RaiseText([&] { CO2DResource r("X", "T", 0, path, 0, size, 0, 0, 0); });
  };
  EXPECT_EQ(make("", 1), "Invalid resource filename!");
  EXPECT_EQ(make("f", -4), "Invalide resource name - check if resource file exist!");
}

TEST_F(ResourcesTest, LoadByTagWalksInSlotOrderAndNestedWalksEndTheOuterOne) {
  WritePack("DATA/p.pak",
            {{"A", "TEST", 0, 0, 1}, {"B", "NEST", 0, 0, 1}, {"C", "TEST", 0, 0, 1}, {"D", "TEST", 0, 0, 9},
             {"E", "UNKNOWN", 0, 0, 2}},
            {"a", "b", "c", "d", "e"});
  COstrak engine;
  engine.ResInit();
  engine.RegisterLoadRes(&RecordLoad, "TEST");
  engine.RegisterLoadRes(&NestedLoad, "NEST");

  engine.LoadResources(1);
  std::vector<std::string> order;
  for (auto& c : g_calls) order.push_back(c.id);
  // A, then B whose loader walks tag 9 (D); the outer walk ends after B.
  EXPECT_EQ(order, (std::vector<std::string>{"A", "B", "D"}));

  EXPECT_EQ(RaiseText([&] { engine.LoadResource("E"); }),
            "Cannot load resource: no function registered for Res_Type = UNKNOWN");
}

TEST_F(ResourcesTest, DamagedPacksNeverCrash) {
  std::vector<O2DPackEntry> entries{{"GOOD", "TEST", 0, 0, 1}, {"LATE", "TEST", 0, 0, 1}};
  WritePack("DATA/p.pak", entries, {"good", "late"});
  const std::string whole = ReadFileBytes("DATA/p.pak");

  // Every truncation: complete entries stay, nothing crashes.
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    WriteFileBytes("DATA/p.pak", whole.substr(0, cut));
    COstrak engine;
    engine.ResInit();
    engine.RegisterLoadRes(&RecordLoad, "TEST");
    const int32_t count = engine.ResGetManager()->GetCount();
    EXPECT_LE(count, 2);
    // Ranges past the end of the file fail when loaded, with the read error.
    for (int32_t id = 0; id < count; ++id) {
      CO2DResource* r = engine.ResGetManager()->GetItem(id);
      std::string err = RaiseText([&] { engine.LoadResourceRecord(r); });
      if (r->GetOffset() + r->GetSize() > cut) EXPECT_EQ(err, "Cannot read resource data! File = ./DATA/p.pak");
      else EXPECT_EQ(err, "<no error>");
      EXPECT_FALSE(r->IsLoaded());
    }
  }

  // A count far larger than the file holds, and an ID without its 0 byte.
  WriteFileBytes("DATA/p.pak", std::string("\xff\xff\xff\x7f", 4) + whole.substr(4) + "TRAILING");
  COstrak engine;
  engine.ResInit();
  EXPECT_EQ(engine.ResGetManager()->GetCount(), 2);
}

TEST_F(ResourcesTest, ARepeatedIDIsDroppedBeforeItsRecordIsChecked) {
  WritePack("DATA/one.pak", {{"X1", "TEST", 0, 0, 1}, {"X1", "TEST", 0, 0, 1}}, {"first", "again"});
  std::string pack = ReadFileBytes("DATA/one.pak");
  pack[4 + 32 + 8 + 4 + 3] = '\x80';  // the repeat's size becomes 0x80000005, which no record accepts
  WriteFileBytes("DATA/one.pak", pack);
  COstrak engine;
  EXPECT_EQ(RaiseText([&] { engine.ResInit(); }), "<no error>");
  EXPECT_EQ(engine.ResGetManager()->GetCount(), 1);
  EXPECT_TRUE(LogHas("   +: 2 resources found.\n"));
}

namespace {
size_t OpenFiles() {
  return static_cast<size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()));
}
}  // namespace

TEST_F(ResourcesTest, APackIsOpenedOnceAndClosedWithTheRegistry) {
  WritePack("DATA/p.pak", {{"A", "TEST", 0, 0, 1}, {"B", "TEST", 0, 0, 1}}, {"alpha", "beta"});
  const size_t before = OpenFiles();
  COstrak engine;
  engine.ResInit();
  engine.ResInit();  // registering again releases the first registry's pack
  EXPECT_EQ(OpenFiles(), before + 1);
  engine.RegisterLoadRes(&RecordLoad, "TEST");
  // The data comes through the pack opened at registration, not through its path.
  fs::rename("DATA/p.pak", "moved.pak");
  engine.LoadResources(1);
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].bytes + g_calls[1].bytes, "alphabeta");
  engine.ResDeinit();
  EXPECT_EQ(OpenFiles(), before);
}

TEST_F(ResourcesTest, APackCutShortAfterRegistrationGivesTheReadError) {
  // Small resources are read ahead together; a large one is read on its own.
  const std::string big(40000, 'b');
  WritePack("DATA/p.pak", {{"A", "TEST", 0, 0, 1}, {"B", "TEST", 0, 0, 1}, {"BIG", "TEST", 0, 0, 1}},
            {"alpha", "beta", big});
  COstrak engine;
  engine.ResInit();
  engine.RegisterLoadRes(&RecordLoad, "TEST");
  const std::string whole = ReadFileBytes("DATA/p.pak");
  const auto cut = [&](size_t size) { fs::resize_file("DATA/p.pak", size); };
  cut(whole.size() - big.size() - 2);  // B loses its last 2 bytes
  EXPECT_EQ(RaiseText([&] { engine.LoadResource("B"); }), "Cannot read resource data! File = ./DATA/p.pak");
  EXPECT_EQ(RaiseText([&] { engine.LoadResource("A"); }), "<no error>");
  cut(whole.size() - 1);
  EXPECT_EQ(RaiseText([&] { engine.LoadResource("BIG"); }), "Cannot read resource data! File = ./DATA/p.pak");
  WriteFileBytes("DATA/p.pak", whole);  // the same file, whole again
  EXPECT_EQ(RaiseText([&] { engine.LoadResources(1); }), "<no error>");
  ASSERT_EQ(g_calls.size(), 4u);
  EXPECT_EQ(g_calls[0].bytes, "alpha");
  EXPECT_EQ(g_calls[3].bytes, big);
}
