// Script API, graphics family: the scene, the current quad, textures,
// techniques and fonts.
#include "costrak_glue.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_GLUE_GFX;

O2D_GLUE(O2D_GFX_SceneBegin) {
  O2DGlue_Engine().SceneBegin();
  return 0;
}

O2D_GLUE(O2D_GFX_SceneEnd) {
  O2DGlue_Engine().SceneEnd();
  return 0;
}

O2D_GLUE(O2D_GFX_SceneClearScreen) {
  const O2DGlueArgs a(L, glueName, "nnn");
  O2DGlue_Engine().SceneClearScreen(a.F(1), a.F(2), a.F(3));
  return 0;
}

O2D_GLUE(O2D_GFX_SceneRender) {
  O2DGlue_Engine().SceneRender();
  return 0;
}

O2D_GLUE(O2D_GFX_ScenePresent) {
  O2DGlue_Engine().ScenePresent();
  return 0;
}

O2D_GLUE(O2D_GFX_SceneSetViewport) {
  const O2DGlueArgs a(L, glueName, "nnnn");
  O2DGlue_Engine().SceneSetViewport(a.I(1), a.I(2), a.I(3), a.I(4));
  return 0;
}

O2D_GLUE(O2D_GFX_SceneMakeScreenshot) {
  O2DGlue_Engine().SceneMakeScreenshot();
  return 0;
}

O2D_GLUE(O2D_GFX_SceneSetGamma) {
  const O2DGlueArgs a(L, glueName, "nn");
  O2DGlue_Engine().SceneSetGamma(a.F(1), a.F(2));
  return 0;
}

O2D_GLUE(O2D_GFX_VQuadSetPos) {
  const O2DGlueArgs a(L, glueName, "nnnn", "n");
  O2DGlue_Engine().VQuadSetPos(a.F(1), a.F(2), a.F(3), a.F(4), a.OptF(5, 0.5f));
  return 0;
}

O2D_GLUE(O2D_GFX_VQuadSetPosByVertex) {
  const O2DGlueArgs a(L, glueName, "nnn", "n");
  O2DGlue_Engine().VQuadSetPosByVertex(a.I(1), a.F(2), a.F(3), a.OptF(4, 0.5f));
  return 0;
}

O2D_GLUE(O2D_GFX_VQuadRotate) {
  const O2DGlueArgs a(L, glueName, "nnn");
  O2DGlue_Engine().VQuadRotate(a.F(1), a.F(2), a.F(3));
  return 0;
}

O2D_GLUE(O2D_GFX_VQuadScale) {
  const O2DGlueArgs a(L, glueName, "nnn");
  O2DGlue_Engine().VQuadScale(a.F(1), a.F(2), a.F(3));
  return 0;
}

O2D_GLUE(O2D_GFX_VQuadMove) {
  const O2DGlueArgs a(L, glueName, "nn", "n");
  O2DGlue_Engine().VQuadMove(a.F(1), a.F(2), a.OptF(3, 0.0f));
  return 0;
}

O2D_GLUE(O2D_GFX_VQuadSetTexCoords) {
  const O2DGlueArgs a(L, glueName, "nnnnn");
  O2DGlue_Engine().VQuadSetTexCoords(a.I(1), a.F(2), a.F(3), a.F(4), a.F(5));
  return 0;
}

O2D_GLUE(O2D_GFX_VQuadSetColor) {
  const O2DGlueArgs a(L, glueName, "nnn", "n");
  O2DGlue_Engine().VQuadSetColor(a.F(1), a.F(2), a.F(3), a.OptF(4, 1.0f));
  return 0;
}

O2D_GLUE(O2D_GFX_VQuadSetColorByVertex) {
  const O2DGlueArgs a(L, glueName, "nnnn", "n");
  O2DGlue_Engine().VQuadSetColorByVertex(a.I(1), a.F(2), a.F(3), a.F(4), a.OptF(5, 0.0f));
  return 0;
}

O2D_GLUE(O2D_GFX_TexUnloadByID) {
  const O2DGlueArgs a(L, glueName, "i");
  COstrak& e = O2DGlue_Engine();
  a.Item(1, [&](const char* id) { e.UnloadTextureByStrID(id); }, [&](int32_t id) { e.UnloadTexture(id); });
  return 0;
}

O2D_GLUE(O2D_GFX_TexSet) {
  const O2DGlueArgs a(L, glueName, "i", "n");
  COstrak& e = O2DGlue_Engine();
  const int32_t stage = a.OptI(2, 0);
  a.Item(1, [&](const char* id) { e.TexSetByStrID(id, stage); }, [&](int32_t id) { e.TexSet(id, stage); });
  return 0;
}

O2D_GLUE(O2D_GFX_TexSetNoTexture) {
  const O2DGlueArgs a(L, glueName, "", "n");
  O2DGlue_Engine().TexSetNoTexture(a.OptI(1, 0));
  return 0;
}

O2D_GLUE(O2D_GFX_TechApply) {
  const O2DGlueArgs a(L, glueName, "i");
  COstrak& e = O2DGlue_Engine();
  a.Item(1, [&](const char* id) { e.TechApplyByStrID(id); }, [&](int32_t id) { e.TechApply(id); });
  return 0;
}

O2D_GLUE(O2D_GFX_FontSet) {
  const O2DGlueArgs a(L, glueName, "i");
  COstrak& e = O2DGlue_Engine();
  a.Item(1, [&](const char* id) { e.FontSetByStrID(id); }, [&](int32_t id) { e.FontSet(id); });
  return 0;
}

O2D_GLUE(O2D_GFX_FontDrawText) {
  const O2DGlueArgs a(L, glueName, "snnnnn");
  O2DGlue_Engine().FontDrawText(a.S(1), a.F(2), a.F(3), a.I(4), a.I(5), a.F(6));
  return 0;
}

static const O2DGlueEntry kGfxTable[] = {
    O2D_GLUE_ENTRY(O2D_GFX_SceneBegin),
    O2D_GLUE_ENTRY(O2D_GFX_SceneEnd),
    O2D_GLUE_ENTRY(O2D_GFX_SceneClearScreen),
    O2D_GLUE_ENTRY(O2D_GFX_SceneRender),
    O2D_GLUE_ENTRY(O2D_GFX_ScenePresent),
    O2D_GLUE_ENTRY(O2D_GFX_SceneSetViewport),
    O2D_GLUE_ENTRY(O2D_GFX_SceneMakeScreenshot),
    O2D_GLUE_ENTRY(O2D_GFX_SceneSetGamma),
    O2D_GLUE_ENTRY(O2D_GFX_VQuadSetPos),
    O2D_GLUE_ENTRY(O2D_GFX_VQuadSetPosByVertex),
    O2D_GLUE_ENTRY(O2D_GFX_VQuadRotate),
    O2D_GLUE_ENTRY(O2D_GFX_VQuadScale),
    O2D_GLUE_ENTRY(O2D_GFX_VQuadMove),
    O2D_GLUE_ENTRY(O2D_GFX_VQuadSetTexCoords),
    O2D_GLUE_ENTRY(O2D_GFX_VQuadSetColor),
    O2D_GLUE_ENTRY(O2D_GFX_VQuadSetColorByVertex),
    O2D_GLUE_ENTRY(O2D_GFX_TexUnloadByID),
    O2D_GLUE_ENTRY(O2D_GFX_TexSet),
    O2D_GLUE_ENTRY(O2D_GFX_TexSetNoTexture),
    O2D_GLUE_ENTRY(O2D_GFX_TechApply),
    O2D_GLUE_ENTRY(O2D_GFX_FontSet),
    O2D_GLUE_ENTRY(O2D_GFX_FontDrawText),
};

std::span<const O2DGlueEntry> O2DGlue_GfxTable() { return kGfxTable; }
