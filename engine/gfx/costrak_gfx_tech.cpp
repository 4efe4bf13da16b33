// Techniques: loaded from technique packs, applied before drawing. A technique
// sets only the groups of states it declares.
#include <algorithm>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <string_view>

#include "costrak.h"
#include "costrak_gfx_state.h"
#include "costrak_managers.h"
#include "costrak_utils_csmartid.h"
#include "costrak_xml.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_GFX_TECH;

namespace {

struct Keyword {
  std::string_view text;
  uint32_t value;
};

// Exact, case-sensitive matches; anything else is the table's default.
template <size_t N>
uint32_t Lookup(const Keyword (&table)[N], std::string_view text, uint32_t fallback) {
  for (const Keyword& k : table)
    if (k.text == text) return k.value;
  return fallback;
}

constexpr Keyword kBlends[] = {{"ZERO", D3DBLEND_ZERO},
                               {"ONE", D3DBLEND_ONE},
                               {"SRCCOLOR", D3DBLEND_SRCCOLOR},
                               {"INVSRCCOLOR", D3DBLEND_INVSRCCOLOR},
                               {"SRCALPHA", D3DBLEND_SRCALPHA},
                               {"INVSRCALPHA", D3DBLEND_INVSRCALPHA},
                               {"DESTALPHA", D3DBLEND_DESTALPHA},
                               {"INVDESTALPHA", D3DBLEND_INVDESTALPHA},
                               {"DESTCOLOR", D3DBLEND_DESTCOLOR},
                               {"INVDESTCOLOR", D3DBLEND_INVDESTCOLOR},
                               {"SRCALPHASAT", D3DBLEND_SRCALPHASAT}};
constexpr Keyword kOps[] = {{"DISABLE", D3DTOP_DISABLE},
                            {"SELECTARG1", D3DTOP_SELECTARG1},
                            {"SELECTARG2", D3DTOP_SELECTARG2},
                            {"MODULATE", D3DTOP_MODULATE},
                            {"ADD", D3DTOP_ADD},
                            {"SUBTRACT", D3DTOP_SUBTRACT},
                            {"DOTPRODUCT3", D3DTOP_DOTPRODUCT3}};
constexpr Keyword kArgs[] = {{"DIFFUSE", D3DTA_DIFFUSE},
                             {"CURRENT", D3DTA_CURRENT},
                             {"TEXTURE", D3DTA_TEXTURE},
                             {"TFACTOR", D3DTA_TFACTOR},
                             {"SPECULAR", D3DTA_SPECULAR}};
constexpr Keyword kAddresses[] = {{"WRAP", D3DTADDRESS_WRAP}, {"CLAMP", D3DTADDRESS_CLAMP}};
constexpr Keyword kFilters[] = {{"NONE", D3DTEXF_NONE}, {"POINT", D3DTEXF_POINT}, {"LINEAR", D3DTEXF_LINEAR}};
constexpr Keyword kLightModes[] = {{"DISABLED", 0}, {"VERTEX", 1}, {"DOT3", 2}};

// The attribute names of the two stages.
struct StageAttributes {
  const char *colorop, *colorarg1, *colorarg2, *alphaop, *alphaarg1, *alphaarg2, *address;
  const char *minfilter, *magfilter, *mipfilter;
};
constexpr StageAttributes kStageAttributes[2] = {
    {"s0_colorop", "s0_colorarg1", "s0_colorarg2", "s0_alphaop", "s0_alphaarg1", "s0_alphaarg2", "s0_address",
     "s0_minfilter", "s0_magfilter", "s0_mipfilter"},
    {"s1_colorop", "s1_colorarg1", "s1_colorarg2", "s1_alphaop", "s1_alphaarg1", "s1_alphaarg2", "s1_address",
     "s1_minfilter", "s1_magfilter", "s1_mipfilter"},
};

class TechniqueReader {
 public:
  explicit TechniqueReader(const CXMLNode& node) : m_node(node) {}

  const std::string& Text(std::string_view name) const { return m_node.GetAttribute(name); }
  float Float(std::string_view name) const { return XML_ReadFloat(Text(name), 0.0f); }
  // "ON" is true; every other text ("OFF" included) is false.
  bool On(std::string_view name) const { return Text(name) == "ON"; }
  uint32_t Blend(std::string_view name) const { return Lookup(kBlends, Text(name), D3DBLEND_ZERO); }
  uint32_t Op(std::string_view name) const { return Lookup(kOps, Text(name), D3DTOP_DISABLE); }
  uint32_t Arg(std::string_view name) const { return Lookup(kArgs, Text(name), D3DTA_CURRENT); }
  uint32_t Address(std::string_view name) const { return Lookup(kAddresses, Text(name), D3DTADDRESS_WRAP); }
  uint32_t Filter(std::string_view name) const { return Lookup(kFilters, Text(name), D3DTEXF_NONE); }

  void Fill(O2DTECHNIQUE& t) const {
    t.bAlphaBlending = !Text("alphablending").empty();
    if (t.bAlphaBlending) {
      t.bAlphaBlendingEnable = On("alphablending");
      t.uSrcBlend = Blend("absrc");
      t.uDestBlend = Blend("abdest");
    }
    t.bFog = !Text("fog").empty();
    if (t.bFog) {
      t.bFogEnable = On("fog");
      t.fFogStart = Float("fogstart");
      t.fFogEnd = Float("fogend");
      t.uFogColor = COstrak::PackColor(Float("fogcolorr"), Float("fogcolorg"), Float("fogcolorb"), 1.0f);
    }
    t.bTextureFactor = !Text("texturefactorr").empty();
    if (t.bTextureFactor)
      t.uTextureFactor = COstrak::PackColor(Float("texturefactorr"), Float("texturefactorg"), Float("texturefactorb"),
                                            Float("texturefactora"));
    t.bStageStates = !Text(kStageAttributes[0].colorop).empty();
    if (t.bStageStates) {
      for (int s = 0; s < 2; ++s) {
        const StageAttributes& a = kStageAttributes[s];
        t.uColorOp[s] = Op(a.colorop);
        t.uColorArg1[s] = Arg(a.colorarg1);
        t.uColorArg2[s] = Arg(a.colorarg2);
        t.uAlphaOp[s] = Op(a.alphaop);
        t.uAlphaArg1[s] = Arg(a.alphaarg1);
        t.uAlphaArg2[s] = Arg(a.alphaarg2);
        t.uAddress[s] = Address(a.address);
      }
    }
    t.bFilters = !Text(kStageAttributes[0].minfilter).empty();
    if (t.bFilters) {
      for (int s = 0; s < 2; ++s) {
        const StageAttributes& a = kStageAttributes[s];
        t.uMinFilter[s] = Filter(a.minfilter);
        t.uMagFilter[s] = Filter(a.magfilter);
        t.uMipFilter[s] = Filter(a.mipfilter);
      }
    }
    t.bDynLight = !Text("dynlightmode").empty();
    if (t.bDynLight) {
      t.uDynLightMode = Lookup(kLightModes, Text("dynlightmode"), 0);
      t.uDynLightAmbientColor = COstrak::PackColor(Float("dynlightambientcolorr"), Float("dynlightambientcolorg"),
                                                   Float("dynlightambientcolorb"), 1.0f);
    }
  }

 private:
  const CXMLNode& m_node;
};

}  // namespace

int32_t COstrak::LoadTechniquesPack(const void* data, uint32_t size) {
  EHS_CP();
  EHS_ASSERT(m_gfx->pTechniquesManager);
  CXMLDocument doc;
  const uint32_t length = std::min<uint32_t>(size, static_cast<uint32_t>(std::numeric_limits<int32_t>::max()));
  doc.LoadFromBuffer(data, static_cast<int32_t>(length), O2D_GetXMLEncryptMode() ? 1 : 0);
  doc.Parse();

  LOG_AddEmptyLines(1);
  LOG_AddEntry("Processing techniques pack...", 2);
  if (doc.root.name.empty()) EHS_RAISE(EHS_GENERAL, 0, "Error in XML parser: Root node is NULL!");
  if (doc.root.name != "techniquespack") EHS_RAISE(EHS_GENERAL, 1, "Wrong XML root node name: must be techniquespack!");

  int32_t count = 0;
  for (int32_t i = 0; i < doc.root.GetChildCount(); ++i) {
    const CXMLNode* child = doc.root.GetChildNode(i);
    if (!child) EHS_RAISE(EHS_GENERAL, 0, "Error in XML parser - child node is NULL!");
    const std::string& strID = child->GetAttribute("id");
    if (strID.empty()) EHS_RAISE(EHS_GENERAL, 0, "Ivanlid technique ID!");
    // The first declaration of an ID wins.
    if (GfxFindItem(m_gfx->pTechniquesManager.get(), strID) >= 0) continue;

    std::unique_ptr<O2DTECHNIQUE> technique(new (std::nothrow) O2DTECHNIQUE);
    if (!technique) EHS_RAISE(EHS_GENERAL, 0, "Cannot create O2DTECHNIQUE object!");
    TechniqueReader(*child).Fill(*technique);
    const int32_t tag = XML_ReadInt(child->GetAttribute("tag"), 0);
    const int32_t id = m_gfx->pTechniquesManager->AddItem(technique.release(), strID, tag);
    CSmartID::SetIDByStrID(strID, id);
    ++count;
  }
  LOG_AddEntry(std::to_string(count) + " techniques loaded.", 4);
  LOG_AddEmptyLines(1);
  return count;
}

int32_t COstrak::GetTechniqueIID(const char* strID) {
  EHS_CP();
  EHS_ASSERT(strID);
  return O2D_LogMissingIID(GfxFindItem(m_gfx->pTechniquesManager.get(), strID), "technique", strID);
}

const O2DTECHNIQUE* COstrak::TechGet(int32_t id) const {
  return m_gfx->pTechniquesManager ? m_gfx->pTechniquesManager->GetItem(id) : nullptr;
}

void COstrak::TechApply(int32_t id) {
  EHS_CP();
  // An invalid ID is refused even when no technique is current (-1).
  if (id >= 0 && id == m_gfx->iCurrentTechnique) return;
  BatchFlush();
  const O2DTECHNIQUE* t = TechGet(id);
  if (!t || !m_gfx->pDevice) EHS_RAISE(EHS_GAME, 0, "Invalid technique ID! ID = " + std::to_string(id));
  IO2DRenderDevice* d = m_gfx->pDevice;

  if (t->bAlphaBlending) {
    d->SetRenderState(D3DRS_ALPHABLENDENABLE, t->bAlphaBlendingEnable ? 1 : 0);
    d->SetRenderState(D3DRS_SRCBLEND, t->uSrcBlend);
    d->SetRenderState(D3DRS_DESTBLEND, t->uDestBlend);
  }
  if (t->bFog) {
    VQuadSetFog(t->bFogEnable);
    d->SetRenderState(D3DRS_FOGENABLE, t->bFogEnable ? 1 : 0);
    d->SetRenderState(D3DRS_FOGVERTEXMODE, D3DFOG_LINEAR);
    d->SetRenderState(D3DRS_FOGSTART, O2DFloatBits(t->fFogStart));
    d->SetRenderState(D3DRS_FOGEND, O2DFloatBits(t->fFogEnd));
    d->SetRenderState(D3DRS_FOGCOLOR, t->uFogColor);
  }
  if (t->bTextureFactor) d->SetRenderState(D3DRS_TEXTUREFACTOR, t->uTextureFactor);
  if (t->bStageStates) {
    d->SetTextureStageState(0, D3DTSS_COLOROP, t->uColorOp[0]);
    d->SetTextureStageState(0, D3DTSS_COLORARG1, t->uColorArg1[0]);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, t->uColorArg2[0]);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, t->uAlphaOp[0]);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, t->uAlphaArg1[0]);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG2, t->uAlphaArg2[0]);
    d->SetTextureStageState(0, D3DTSS_ADDRESSU, t->uAddress[0]);
    d->SetTextureStageState(0, D3DTSS_ADDRESSV, t->uAddress[0]);
    d->SetTextureStageState(1, D3DTSS_COLOROP, t->uColorOp[1]);
    // A disabled second stage keeps the rest of its states.
    if (t->uColorOp[1] != D3DTOP_DISABLE) {
      d->SetTextureStageState(1, D3DTSS_COLORARG1, t->uColorArg1[1]);
      d->SetTextureStageState(1, D3DTSS_COLORARG2, t->uColorArg2[1]);
      d->SetTextureStageState(1, D3DTSS_ALPHAOP, t->uAlphaOp[1]);
      d->SetTextureStageState(1, D3DTSS_ALPHAARG1, t->uAlphaArg1[1]);
      d->SetTextureStageState(1, D3DTSS_ALPHAARG2, t->uAlphaArg2[1]);
      d->SetTextureStageState(1, D3DTSS_ADDRESSU, t->uAddress[1]);
      d->SetTextureStageState(1, D3DTSS_ADDRESSV, t->uAddress[1]);
    }
  }
  if (t->bFilters) {
    for (uint32_t s = 0; s < 2; ++s) {
      d->SetTextureStageState(s, D3DTSS_MINFILTER, t->uMinFilter[s]);
      d->SetTextureStageState(s, D3DTSS_MAGFILTER, t->uMagFilter[s]);
      d->SetTextureStageState(s, D3DTSS_MIPFILTER, t->uMipFilter[s]);
    }
  }
  if (t->bDynLight) {
    LightSetMode(t->uDynLightMode);
    const uint32_t c = t->uDynLightAmbientColor;
    m_gfx->afAmbientColor[0] = float((c >> 16) & 0xFF) * 0.003921569f;
    m_gfx->afAmbientColor[1] = float((c >> 8) & 0xFF) * 0.003921569f;
    m_gfx->afAmbientColor[2] = float(c & 0xFF) * 0.003921569f;
    m_gfx->afAmbientColor[3] = float(c >> 24) * 0.003921569f;
  }
  m_gfx->iCurrentTechnique = id;
}

void COstrak::TechApplyByStrID(const char* strID) {
  EHS_CP();
  TechApply(strID ? GfxFindItem(m_gfx->pTechniquesManager.get(), strID) : -1);
}

void COstrak::TechApply(const CSmartID& sid) { TechApply(sid.GetID()); }
