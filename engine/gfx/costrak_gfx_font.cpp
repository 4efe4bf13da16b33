// Bitmap fonts: descriptions loaded from XML, text drawn one quad per visible
// byte through the current quad.
#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <string>

#include "costrak.h"
#include "costrak_gfx_state.h"
#include "costrak_managers.h"
#include "costrak_utils_csmartid.h"
#include "costrak_utils_demand.h"
#include "costrak_xml.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_GFX_FONT;

namespace {
constexpr float kCell = 0.0625f;  // one of the 16 cells per texture side

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
}  // namespace

int32_t COstrak::LoadFont(const void* data, uint32_t size) {
  EHS_CP();
  EHS_ASSERT(m_gfx->pFontsManager);
  LOG_AddEmptyLines(1);
  LOG_AddEntry("Loading font description from memory...", 2);
  CXMLDocument doc;
  const uint32_t length = std::min<uint32_t>(size, static_cast<uint32_t>(std::numeric_limits<int32_t>::max()));
  doc.LoadFromBuffer(data, static_cast<int32_t>(length), O2D_GetXMLEncryptMode() ? 1 : 0);
  doc.Parse();

  const CXMLNode& root = doc.root;
  if (root.name.empty()) EHS_RAISE(EHS_GENERAL, 0, "Parsing error during loading the font data!");
  if (root.name != "fontdesc") EHS_RAISE(EHS_GAME, 0, "XML file doesn't contain font description!");
  const std::string& strID = root.GetAttribute("id");
  if (strID.empty()) EHS_RAISE(EHS_GENERAL, 0, "Invalid font ID");
  const int32_t existing = GfxFindItem(m_gfx->pFontsManager.get(), strID);
  if (existing >= 0) {
    LOG_AddEntry("Warning: Dublicated font!", 5);
    return existing;
  }

  std::unique_ptr<FontDesc> font(new (std::nothrow) FontDesc);
  if (!font) EHS_RAISE(EHS_GENERAL, 0, "Cannot create font object!");
  for (float(&color)[4] : font->afColors) color[3] = 1.0f;

  const std::string& textureID = root.GetAttribute("textureid");
  if (textureID.empty()) EHS_RAISE(EHS_GENERAL, 0, "Invalid font texture ID!");
  font->iTexture = O2DUTIL_FindOrLoad(&COstrak::GetTextureIID, textureID.c_str(), textureID.c_str());
  if (font->iTexture == -1) EHS_RAISE(EHS_GENERAL, 0, "Cannot load font texture!");

  const std::string& techniqueID = root.GetAttribute("techniqueid");
  if (techniqueID.empty()) EHS_RAISE(EHS_GENERAL, 0, "Invalid font technique ID!");
  const std::string& techPackID = root.GetAttribute("techpackid");
  if (techPackID.empty()) EHS_RAISE(EHS_GENERAL, 0, "Invalid font technique pack ID!");
  font->iTechnique = O2DUTIL_FindOrLoad(&COstrak::GetTechniqueIID, techniqueID.c_str(), techPackID.c_str());
  if (font->iTechnique == -1) EHS_RAISE(EHS_GENERAL, 0, "Cannot load font technique!");

  const std::string& cellSize = root.GetAttribute("cellsize");
  if (cellSize.empty()) EHS_RAISE(EHS_GENERAL, 0, "Invalid font cell size!");
  font->fCellSize = XML_ReadFloat(cellSize, 0.0f);

  static constexpr const char* kComponents[3] = {"r", "g", "b"};
  for (int32_t i = 0; i < O2D_FONT_COLORS; ++i) {
    for (int c = 0; c < 3; ++c) {
      const std::string& value = root.GetAttribute("color" + std::to_string(i) + kComponents[c]);
      if (!value.empty()) font->afColors[i][c] = XML_ReadFloat(value, 0.0f);
    }
    font->afColors[i][3] = 1.0f;
  }
  for (int32_t c = 0; c < 256; ++c) {
    const std::string& width = root.GetAttribute("cs" + std::to_string(c));
    if (width.empty()) EHS_RAISE(EHS_GENERAL, 0, "Invalid character length!");
    font->afWidths[c] = XML_ReadFloat(width, 0.0f);
  }

  const int32_t tag = XML_ReadInt(root.GetAttribute("tag"), 0);
  const int32_t id = m_gfx->pFontsManager->AddItem(font.release(), strID, tag);
  CSmartID::SetIDByStrID(strID, id);
  if (id == 0) m_gfx->iCurrentFont = 0;
  LOG_AddEntry("Done.", 4);
  LOG_AddEmptyLines(1);
  return id;
}

int32_t COstrak::GetFontIID(const char* strID) {
  EHS_CP();
  EHS_ASSERT(strID);
  return O2D_LogMissingIID(GfxFindItem(m_gfx->pFontsManager.get(), strID), "font", strID);
}

const FontDesc* COstrak::FontGet(int32_t id) const { return m_gfx->pFontsManager ? m_gfx->pFontsManager->GetItem(id) : nullptr; }

void COstrak::FontSet(int32_t id) {
  EHS_CP();
  // Other IDs are checked when text is drawn.
  if (id == -1) EHS_RAISE(EHS_GAME, 0, "Cannot set current font: invalid ID. ID = " + std::to_string(id));
  m_gfx->iCurrentFont = id;
}

void COstrak::FontSetByStrID(const char* strID) {
  EHS_CP();
  EHS_ASSERT(strID);
  const int32_t id = GfxFindItem(m_gfx->pFontsManager.get(), strID);
  if (id < 0) EHS_RAISE(EHS_GAME, 0, std::string("Cannot set current font: invalid ID. strID = ") + strID);
  m_gfx->iCurrentFont = id;
}

void COstrak::FontSet(const CSmartID& sid) { FontSet(sid.GetID()); }

void COstrak::FontDrawText(const char* text, float x, float y, int32_t limit, int32_t colorIndex, float alpha) {
  FontDraw(text, x, y, limit, colorIndex, alpha, true, 1.0f, 0.0f, 0.0f, false);
}

void COstrak::FontDrawTextEx(const char* text, float x, float y, int32_t limit, int32_t colorIndex, float alpha,
                             bool applyTechnique, float scale, float letterSpacing, float lineSpacing) {
  FontDraw(text, x, y, limit, colorIndex, alpha, applyTechnique, scale, letterSpacing, lineSpacing, true);
}

// The plain form advances by the unrounded width of a drawn byte; the extended
// one floors every advance and reads "%" colour escapes.
void COstrak::FontDraw(const char* text, float x, float y, int32_t limit, int32_t colorIndex, float alpha,
                       bool applyTechnique, float scale, float letterSpacing, float lineSpacing, bool extended) {
  EHS_CP();
  if (m_gfx->iCurrentFont == -1) m_gfx->iCurrentFont = 0;
  const FontDesc* font = FontGet(m_gfx->iCurrentFont);
  if (!font)
    EHS_RAISE(EHS_GAME, 0, "Cannot draw text: invalid current font id. ID = " + std::to_string(m_gfx->iCurrentFont));
  TexSet(font->iTexture, 0);
  if (applyTechnique) TechApply(font->iTechnique);
  // The table has ten entries; another index leaves the quad's colour as it is.
  auto setColor = [&](int32_t index) {
    if (index < 0 || index >= O2D_FONT_COLORS) return;
    const float* c = font->afColors[index];
    VQuadSetColor(c[0], c[1], c[2], alpha);
  };
  setColor(colorIndex);
  if (!text) return;

  const float size = font->fCellSize * scale;
  auto advance = [&](unsigned char c) { return std::floor(font->afWidths[c] * scale + letterSpacing); };
  float penX = x, penY = y;
  for (int32_t i = 0; text[i] != 0; ++i) {
    // The escape skips two bytes, so the limit is a bound, not a mark to meet.
    if (limit > 0 && i >= limit) break;
    const auto c = static_cast<unsigned char>(text[i]);
    if (extended && colorIndex != -1 && c == '%' && IsDigit(static_cast<unsigned char>(text[i + 1]))) {
      setColor(text[i + 1] - '0');
      ++i;
      continue;
    }
    if (c >= 33) {
      const float u = float(c % 16) * kCell, v = float(c / 16) * kCell;
      VQuadSetTexCoords(1, u, v, u + kCell, v + kCell);
      VQuadSetPos(penX, penY, size, size, 0.5f);
      SceneRender();
      penX += extended ? advance(c) : font->afWidths[c];
    } else if (c == '\n') {
      penY += static_cast<float>(std::floor(font->fCellSize * scale * 1.1 + lineSpacing));
      penX = x;
    } else if (c == ' ' || c == '\t') {
      penX += advance(c);
    }
  }
}

float COstrak::FontGetStringWidth(const char* text, int32_t fontID, float scale, float letterSpacing) {
  EHS_CP();
  const FontDesc* font = FontGet(fontID);
  if (!font) EHS_RAISE(EHS_GAME, 0, "Cannot calculate string width: invalid font id. ID = " + std::to_string(fontID));
  float width = 0.0f;
  if (!text) return width;
  for (int32_t i = 0; text[i] != 0 && text[i] != '\n'; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '%' && IsDigit(static_cast<unsigned char>(text[i + 1]))) {
      ++i;
      continue;
    }
    if (c >= 33 || c == ' ' || c == '\t') width += std::floor(font->afWidths[c] * scale + letterSpacing);
  }
  return width;
}
