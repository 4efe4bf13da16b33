#include "costrak_res_main.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <limits>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <new>

#include "costrak.h"
#include "costrak_res_state.h"
#include "costrak_res_cres.h"
#include "costrak_res_pack.h"
#include "costrak_res_packfile.h"
#include "costrak_scr_state.h"
#include "costrak_utils_cxmlvar.h"
#include "costrak_xml.h"
#include "o2d_read_file.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_RES_MAIN;

// --- helpers shared with the pack tool ---------------------------------------

O2DSoundParams RES_SoundParams(int32_t data1, int32_t data2, int32_t data3) {
  return {data1 == 1, std::max<int32_t>(data2, 1), data3 == 1};
}

std::vector<std::string> RES_ListFiles(const std::string& dir, const std::string& extension) {
  std::vector<std::string> names;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    std::string name = it->path().filename().string();
    if (name.size() <= extension.size()) continue;
    std::string tail = name.substr(name.size() - extension.size());
    std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::tolower(c); });
    if (tail == extension) names.push_back(std::move(name));
  }
  std::sort(names.begin(), names.end());
  return names;
}

bool RES_IsXMLType(const std::string& typeName) {
  static const char* const kXMLTypes[] = {"TECHNIQUE", "FONT",        "PLAYLIST",    "XMLDATA",
                                          "GUIDATA",   "GUIENUMDATA", "GUISTYLEDATA"};
  for (const char* t : kXMLTypes)
    if (typeName == t) return true;
  return false;
}

// --- standard load functions -------------------------------------------------

namespace {
COstrak* LoaderEngine() {
  COstrak* engine = O2D_GetEngine();
  EHS_ASSERT(engine);
  return engine;
}

void LoadTextureResource(const void* data, uint32_t size, const char* id, int32_t tag, int32_t data1,
                         int32_t data2, int32_t data3) {
  LoaderEngine()->LoadTextureOfResource(data, size, data1, id, data2, tag, data3);
}

void LoadTechniqueResource(const void* data, uint32_t size, const char*, int32_t, int32_t, int32_t, int32_t) {
  LoaderEngine()->LoadTechniquesPack(data, size);
}

void LoadFontResource(const void* data, uint32_t size, const char*, int32_t, int32_t, int32_t, int32_t) {
  LoaderEngine()->LoadFont(data, size);
}

void LoadSoundResource(const char* path, uint32_t offset, uint32_t size, const char* id, int32_t tag,
                       int32_t data1, int32_t data2, int32_t data3) {
  const O2DSoundParams p = RES_SoundParams(data1, data2, data3);
  LoaderEngine()->LoadSound(path, id, tag, p.isStream, p.maxPlaybacks, p.noOverride, offset, size);
}

void LoadMusicResource(const char* path, uint32_t offset, uint32_t size, const char* id, int32_t tag,
                       int32_t data1, int32_t, int32_t) {
  LoaderEngine()->LoadMusic(path, id, tag, offset, size, data1 == 1);
}

void LoadPlaylistResource(const void* data, uint32_t size, const char*, int32_t, int32_t, int32_t, int32_t) {
  LoaderEngine()->LoadPlaylist(data, size);
}

void LoadXMLDataResource(const void* data, uint32_t size, const char*, int32_t, int32_t, int32_t, int32_t) {
  RESLOAD_XMLData(data, size);
}
}  // namespace

void COstrak::RegisterStandardLoaders() {
  EHS_CP();
  // The standard types in their fixed order: TEXTURE, TECHNIQUE, FONT, SOUND,
  // MUSIC, PLAYLIST, SCRIPT, XMLDATA. Each subsystem's loader takes its place here.
  RegisterLoadRes(&LoadTextureResource, "TEXTURE");
  RegisterLoadRes(&LoadTechniqueResource, "TECHNIQUE");
  RegisterLoadRes(&LoadFontResource, "FONT");
  RegisterLoadResEx(&LoadSoundResource, "SOUND");
  RegisterLoadResEx(&LoadMusicResource, "MUSIC");
  RegisterLoadRes(&LoadPlaylistResource, "PLAYLIST");
  RegisterLoadRes(&RESLOAD_Script, "SCRIPT");
  RegisterLoadRes(&LoadXMLDataResource, "XMLDATA");
}

// --- the subsystem -----------------------------------------------------------

void COstrak::ResInit() {
  EHS_CP();
  m_bResReady = 1;
  m_res->bResInitialized = true;
  m_res->iResMode = O2D_RESMODE_NONE;
  // Only pack mode turns it on, so an earlier engine's packs leave nothing behind.
  ResSetXMLEncryptMode(false);
  LOG_AddSeparator(1);
  LOG_AddEntry("Initializing Resources Subsystem...", 3);

  m_res->pResManager.reset(new (std::nothrow) TItemsManager<CO2DResource>());
  if (!m_res->pResManager) EHS_RAISE(EHS_GENERAL, 0, "Cannot create Resources Manager!");
  m_res->mapLoadRes.clear();
  m_res->mapLoadResEx.clear();

  // Descriptors win over packs.
  std::vector<std::string> files = RES_ListFiles(O2D_DATA_DIR, ".xml");
  if (!files.empty()) {
    m_res->iResMode = O2D_RESMODE_XML;
  } else {
    files = RES_ListFiles(O2D_DATA_DIR, ".pak");
    if (!files.empty()) {
      m_res->iResMode = O2D_RESMODE_PAK;
      ResSetXMLEncryptMode(true);
    }
  }
  if (m_res->iResMode == O2D_RESMODE_XML)
    LOG_AddEntry("Resources Subsystem operates in XML mode.", 1);
  else if (m_res->iResMode == O2D_RESMODE_PAK)
    LOG_AddEntry("Resources Subsystem operates in PAK mode.", 1);
  else
    LOG_AddEntry("No resources were found!", 5);

  if (m_res->iResMode != O2D_RESMODE_NONE) {
    int32_t count = 0;
    for (const std::string& name : files) {
      ++count;
      const std::string path = std::string(O2D_DATA_DIR) + name;
      if (m_res->iResMode == O2D_RESMODE_XML)
        ResProcessDescriptor(path);
      else
        ResProcessPack(path);
    }
    LOG_AddEntry(std::to_string(count) + " resource packs found.", 4);
  }

  LOG_AddEntry("Registering resources-loading functions for standart resource types...", 2);
  RegisterStandardLoaders();
  LOG_AddEntry("Done.", 4);
  LOG_AddEntry("Done.", 4);
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(1);

  // The device takes a while to make: the second core decodes the textures'
  // images meanwhile, in the order start-up loads them (by tag, then as registered),
  // so that each is ready in turn while the loader uploads the one before.
  std::vector<const CO2DResource*> textures;
  for (int32_t id = 0; id < m_res->pResManager->GetCount(); ++id)
    if (const CO2DResource* r = m_res->pResManager->GetItem(id); r && r->GetTypeName() == "TEXTURE")
      textures.push_back(r);
  std::stable_sort(textures.begin(), textures.end(),
                   [](const CO2DResource* a, const CO2DResource* b) { return a->GetTag() < b->GetTag(); });
  std::vector<CO2DDecodeAhead::Job> jobs;
  for (const CO2DResource* r : textures)
    jobs.push_back({r->GetID(), r->GetFileName(), r->GetOffset(), r->GetSize(), r->GetData1(), r->GetData2(),
                    r->GetData3()});
  m_res->decodeAhead = std::make_unique<CO2DDecodeAhead>(std::move(jobs));
}

void COstrak::ResStartDecodeAhead() {
  if (m_res && m_res->decodeAhead) m_res->decodeAhead->Start();
}

void COstrak::ResMakeTexturesAhead() {
  if (!m_res || !m_res->decodeAhead) return;
  m_res->decodeAhead->MakeAhead([this](const CO2DDecodeAhead::Job& job) {
    return TexRequest(job.formatSlot, job.mipLevels, job.textureSize);
  });
}

bool COstrak::ResTakeTextureAhead(const std::string& id, const O2DTextureRequest& request, O2DImageTexture& out) {
  return m_res && m_res->decodeAhead && m_res->decodeAhead->Take(id, request, out);
}

void COstrak::ResEndDecodeAhead() {
  if (!m_res || !m_res->decodeAhead) return;
  m_res->decodeAhead.reset();
#ifdef __GLIBC__
  // The thread's images were freed into its own heap, which nothing else uses.
  malloc_trim(0);
#endif
}

int32_t RES_ReadDescriptor(const std::string& path, const std::string& dataDir,
                           const std::function<bool(const std::string&)>& isKnownID,
                           const std::function<void(std::unique_ptr<CO2DResource>)>& add) {
  EHS_CP();
  CXMLDocument doc;
  doc.LoadFromFile(path, 0);
  doc.Parse();
  if (doc.root.name != "respack") EHS_RAISE(EHS_GAME, 0, "Wrong XML ResPack descriptor: " + path);

  const int32_t children = doc.root.GetChildCount();
  for (int32_t i = 0; i < children; ++i) {
    CXMLNode* child = doc.root.GetChildNode(i);
    if (!child) EHS_RAISE(EHS_GENERAL, 0, "XML Parser error: child node object is NULL!");
    const std::string& id = child->GetAttribute("id");
    if (isKnownID(id)) EHS_RAISE(EHS_GAME, 0, "Dublicated resource. ID = " + id);

    const std::string& fileName = child->GetAttribute("filename");
    const std::string filePath = dataDir + fileName;
    // One open tells whether the file is there and readable, and gives its size.
    CReadFile file;
    if (fileName.empty() || !file.Open(filePath.c_str()))
      EHS_RAISE(EHS_GAME, 0, "Cannot find file declared in ResPack. Filename = " + fileName);
    const int64_t size = file.Size();
    if (size <= 0 || size > std::numeric_limits<int32_t>::max())
      EHS_RAISE(EHS_GENERAL, 0, "Wrong resource file - check if it exists!");
    file.Close();

    const int32_t data1 = XML_ReadInt(child->GetAttribute("data1"), 0);
    const int32_t data2 = XML_ReadInt(child->GetAttribute("data2"), 0);
    const int32_t data3 = XML_ReadInt(child->GetAttribute("data3"), 0);
    const int32_t tag = XML_ReadInt(child->GetAttribute("tag"), 0);
    add(std::make_unique<CO2DResource>(id, child->GetAttribute("typeid"), tag, filePath, 0,
                                       static_cast<int32_t>(size), data1, data2, data3));
  }
  return children;
}

void COstrak::ResProcessDescriptor(const std::string& path) {
  EHS_CP();
  LOG_AddEntry("Processing ResPack: " + path, 1);
  const int32_t children = RES_ReadDescriptor(
      path, O2D_DATA_DIR, [this](const std::string& id) { return m_res->pResManager->FindByStrID(id) >= 0; },
      [this](std::unique_ptr<CO2DResource> record) {
        const std::string id = record->GetID();
        const int32_t tag = record->GetTag();
        m_res->pResManager->AddItem(record.release(), id, tag);
      });
  LOG_AddEntry(std::to_string(children) + " resources found.", 4);
}

void COstrak::ResProcessPack(const std::string& path) {
  EHS_CP();
  LOG_AddEntry("Processing ResPack: " + path, 1);
  // The pack's records read through it, opened once here; it closes with the
  // last of them (when the registry is released). Should it not open, each load
  // tries the path and reports the failure.
  auto pack = std::make_shared<CO2DPackFile>();
  if (!pack->Open(path)) pack.reset();
  // A pack that ends before its entries are complete yields the entries read
  // completely; a range past the end of the file fails when it is loaded.
  const O2DPackDirectory dir = RES_ReadPackDirectory(path);
  for (const O2DPackEntry& e : dir.entries) {
    // The first entry of an ID wins, silently. A repeat is dropped before its
    // record is made, so the record's own checks (a size of 2 GiB or more reads
    // as negative) never end start-up for an entry that is not kept.
    if (m_res->pResManager->FindByStrID(e.id) >= 0) continue;
    auto record = std::make_unique<CO2DResource>(e.id, e.typeName, e.tag, path, e.offset,
                                                 static_cast<int32_t>(e.size), e.data1, e.data2, e.data3);
    record->SetPack(pack);
    m_res->pResManager->AddItem(record.release(), e.id, e.tag);
  }
  LOG_AddEntry(std::to_string(dir.declaredCount) + " resources found.", 4);
}

void COstrak::ResDeinit() {
  EHS_CP();
  LOG_AddSeparator(1);
  LOG_AddEntry("Deinitializing Resources Subsystem...", 3);
  m_res->decodeAhead.reset();
  if (m_res->pResManager) {
    m_res->pResManager->FreeAllItems();
    m_res->pResManager.reset();
  }
  m_res->mapLoadRes.clear();
  m_res->mapLoadResEx.clear();
  m_res->bResInitialized = false;
  m_bResReady = 0;
  ResSetXMLEncryptMode(false);
  LOG_AddEntry("Done.", 4);
  LOG_AddSeparator(1);
  LOG_AddEmptyLines(1);
}

void COstrak::RegisterLoadRes(O2DLoadResFn fn, const char* typeName) {
  EHS_CP();
  if (!m_res->mapLoadRes.emplace(typeName, fn).second)
    EHS_RAISE(EHS_GAME, 0, std::string("LoadRes function already registered for TypeID = ") + typeName);
}

void COstrak::RegisterLoadResEx(O2DLoadResExFn fn, const char* typeName) {
  EHS_CP();
  if (!m_res->mapLoadResEx.emplace(typeName, fn).second)
    EHS_RAISE(EHS_GAME, 0, std::string("LoadResEx function already registered for TypeID = ") + typeName);
}

void COstrak::LoadResource(const char* id) {
  EHS_CP();
  if (!m_res->bResInitialized || !m_res->pResManager) EHS_RAISE(EHS_GAME, 0, "Resources subsystem was not initialized!");
  const int32_t slot = m_res->pResManager->FindByStrID(id);
  CO2DResource* record = slot >= 0 ? m_res->pResManager->GetItem(slot) : nullptr;
  if (!record) {
    LOG_AddEntry(std::string("Cannot find resource with ID = ") + id, 5);
    return;
  }
  LoadResourceRecord(record);
}

void COstrak::LoadResources(int32_t tag) {
  EHS_CP();
  if (!m_res->bResInitialized || !m_res->pResManager) EHS_RAISE(EHS_GAME, 0, "Resources subsystem was not initialized!");
  LOG_AddEntry("Loading resources with Tag = " + std::to_string(tag), 2);
  int32_t count = 0;
  // The walk's cursor belongs to the manager: a loader that starts a walk of its
  // own ends this one once it returns.
  for (CO2DResource* record = m_res->pResManager->GetFirstWithTag(tag); record;
       record = m_res->pResManager->GetNextWithTag()) {
    LoadResourceRecord(record);
    ++count;
  }
  LOG_AddEntry(std::to_string(count) + " resources with Tag = " + std::to_string(tag) + " loaded.", 4);
}

void COstrak::LoadResourceRecord(CO2DResource* record) {
  EHS_CP();
  if (!record) EHS_RAISE(EHS_GENERAL, 0, "Resource subsystem was not initialized!");
  if (auto it = m_res->mapLoadRes.find(record->GetTypeName()); it != m_res->mapLoadRes.end()) {
    record->DataLoad();
    try {
      it->second(record->GetData(), record->GetSize(), record->GetID().c_str(), record->GetTag(),
                 record->GetData1(), record->GetData2(), record->GetData3());
    } catch (...) {
      record->DataUnLoad();
      throw;
    }
    record->DataUnLoad();
    return;
  }
  if (auto it = m_res->mapLoadResEx.find(record->GetTypeName()); it != m_res->mapLoadResEx.end()) {
    it->second(record->GetFileName().c_str(), record->GetOffset(), record->GetSize(), record->GetID().c_str(),
               record->GetTag(), record->GetData1(), record->GetData2(), record->GetData3());
    return;
  }
  EHS_RAISE(EHS_GAME, 0, "Cannot load resource: no function registered for Res_Type = " + record->GetTypeName());
}

bool COstrak::ResGetXMLEncryptMode() const { return O2D_GetXMLEncryptMode(); }
void COstrak::ResSetXMLEncryptMode(bool on) { O2D_SetXMLEncryptMode(on); }

int32_t COstrak::ResGetMode() const { return m_res->iResMode; }
TItemsManager<CO2DResource>* COstrak::ResGetManager() { return m_res->pResManager.get(); }
