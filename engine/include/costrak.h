#pragma once
// COstrak, the engine object: created once by the process entry, reached through
// O2D_GetEngine(), and the owner of every engine subsystem's state.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <functional>

#include "costrak_ehs.h"
#include "costrak_itemsmanager.h"
#include "costrak_res_main.h"
#include "costrak_scr_cluaval.h"
#include "o2d_window.h"

// Each subsystem's state lives in its own folder (costrak_<subsystem>_state.h).
struct CGfxState;
struct CInpState;
struct CResState;
struct CSfxState;
struct O2DImageTexture;
struct O2DTextureRequest;

struct DisplayModeInfo;
struct FontDesc;
struct Light;
struct O2DTECHNIQUE;
struct VideoCaps;
struct VQuad;
class CO2DAudio;
class CO2DResource;
class IO2DInputDevices;
class IO2DMusic;
class IO2DRenderAdapter;
class IO2DRenderDevice;
class IO2DTexture;
class Playlist;
class SoundObject;

// Makes the rendering adapter (tests hand in a recording one); fills `error` on failure.
using O2DRenderAdapterFactory = std::function<IO2DRenderAdapter*(std::string& error)>;

using O2DCallback = void (*)();

enum O2DCallbackKind : uint32_t {
  O2D_CALLBACK_LOSTFOCUS = 1,
  O2D_CALLBACK_RESTOREDFOCUS = 2,
  O2D_CALLBACK_TERMINATION = 3,
};

class CSmartID;
struct CScrState;
struct O2DGlueEntry;
struct lua_State;

class COstrak : private IO2DWindowEvents {
 public:
  COstrak();  // deletes the previous run's "gamelog.txt"
  ~COstrak() override;
  COstrak(const COstrak&) = delete;
  COstrak& operator=(const COstrak&) = delete;

  // --- game log -------------------------------------------------------------
  // The log keeps no state, so these work with or without an engine instance.
  static void LOG_AddEntry(const char* message, uint32_t level);
  static void LOG_AddEntry(const std::string& message, uint32_t level);
  static void LOG_AddSeparator(uint32_t kind);
  static void LOG_AddEmptyLines(int32_t count);
  static void LOG_AddLine(const char* message);
  static void LOG_AddLine(const std::string& message);

  // --- engine core ------------------------------------------------------------
  void Start(const char* programName, const char* programVersion);
  void RegisterCallback(O2DCallback fn, uint32_t kind);
  // One frame's engine work: -1 quit, 0 skip the frame (inactive or device lost), 1 run it.
  int UpdateAllSystems();
  float TimerGetDelta() const { return m_fTimeDelta; }
  int32_t TimerGetFPS() const { return m_iFPS; }
  void TimerUpdate();
  static void RequestQuit();
  static bool IsQuitRequested();
  static bool IsAppActive();
  // Runs frames until a quit is requested or the callback returns false; blocks
  // between window messages while the window is inactive or the device is lost.
  void RunFrameLoop(bool (*frame)());
  // Stops every started subsystem and writes the log footer. A step that fails
  // is reported as a fatal error and the others still run; false then.
  bool Cleanup();

  // The game window (called by graphics start and stop).
  void CreateGameWindow(int width, int height, bool windowed);
  void DestroyGameWindow();
  CO2DWindow& GetWindow() { return m_window; }

  const std::string& GetProgramName() const { return m_strProgramName; }
  const std::string& GetProgramVersion() const { return m_strProgramVersion; }
  void SetTerminatedByFatalError() { m_bTerminatedByFatalError = 1; }

  // Focus handling, run by the pump's activation events.
  void OnFocusGained();
  void OnFocusLost();

  // --- resources ---------------------------------------------------------------
  void ResInit();
  void ResDeinit();
  void RegisterLoadRes(O2DLoadResFn fn, const char* typeName);
  void RegisterLoadResEx(O2DLoadResExFn fn, const char* typeName);
  // Loads the one resource with that ID; a missing ID is logged, not an error.
  void LoadResource(const char* id);
  // Loads every resource with that tag (0: every resource), in slot order.
  void LoadResources(int32_t tag);
  void LoadResourceRecord(CO2DResource* record);
  int32_t  ResGetMode() const;
  bool ResGetXMLEncryptMode() const;
  void ResSetXMLEncryptMode(bool on);
  TItemsManager<CO2DResource>*  ResGetManager();
  // ResInit lists the TEXTURE resources whose images a second thread decodes from
  // ResStartDecodeAhead on (GfxPreInit calls it once the window is made); GfxInit,
  // once the texture formats are known, has it make them into textures; their
  // loader takes them here (false: start from the file). The frame loop's start
  // ends it, dropping what was not taken.
  void ResStartDecodeAhead();
  void ResMakeTexturesAhead();
  bool ResTakeTextureAhead(const std::string& id, const O2DTextureRequest& request, O2DImageTexture& out);
  void ResEndDecodeAhead();

  // --- graphics ----------------------------------------------------------------
  // Start-up order: GfxPreInit (capability report), GfxGetCaps, GfxInit.
  // The OpenGL adapter is used unless a factory was set before GfxPreInit.
  void  GfxSetAdapterFactory(O2DRenderAdapterFactory factory);
  void GfxPreInit(int32_t width, int32_t height);
  // True once graphics has made the game window (the device is made with it):
  // input and sound refuse to start before.
  bool GfxHasWindow() const { return m_bGfxReady && m_window.GetHandle() != nullptr; }
  void GfxGetCaps(VideoCaps& caps) const;
  void GfxInit(int32_t displayMode, bool windowed);
  void GfxShutdown();
  // True when drawing may proceed this frame; resets a device that needs it.
  bool GfxCheckDevice();
  // The working size: the frame every coordinate of drawing and input refers to.
  void GetScreenSize(int32_t& width, int32_t& height) const;
  IO2DRenderDevice*  GfxGetDevice() const;
  int32_t  GfxGetDisplayMode() const;
  bool  GfxIsWindowed() const;

  void SceneBegin();
  void SceneEnd();
  void SceneClearScreen(float r, float g, float b);
  void ScenePresent();
  // Lights the current quad and queues it.
  void SceneRender();
  void SceneSetViewport(int32_t x, int32_t y, int32_t width, int32_t height);
  void SceneMakeScreenshot();
  void SceneSetGamma(float gamma, float contrast);

  // The current quad. Vertex indices outside 0..3 are ignored.
  void VQuadSetPos(float x, float y, float width, float height, float z = 0.5f);
  void VQuadSetPosByVertex(int32_t vertex, float x, float y, float z);
  void VQuadRotate(float cx, float cy, float angle);
  void VQuadScale(float cx, float cy, float factor);
  void VQuadMove(float dx, float dy, float dz);
  void VQuadSetTexCoords(int32_t set, float left, float top, float right, float bottom);
  void VQuadSetColor(float r, float g, float b, float a);
  void VQuadSetColorByVertex(int32_t vertex, float r, float g, float b, float a);
  const VQuad&  VQuadGet() const;
  // Set by techniques: with fog on, positions also set the per-vertex fog value.
  void  VQuadSetFog(bool on);

  // The quad batch (texture, technique and viewport changes flush it).
  void BatchFillIndices();
  void BatchOpen();
  void BatchClose();
  void BatchAddQuad();
  void BatchFlush();
  // Focus loss: the locked buffer is given back and the queued quads are dropped.
  void BatchUnlock();
  bool  BatchIsLocked() const;
  int32_t  BatchGetQueued() const;

  // Colours travel to the device packed A8R8G8B8: each component times 255,
  // truncated, its low 8 bits.
  static uint32_t PackColor(float r, float g, float b, float a);

  // Textures. LoadTexture is the loader of TEXTURE resources: format slot 1..4
  // (others mean 1), mip levels, texture side (0: the image's own size).
  int32_t LoadTexture(const void* data, uint32_t size, int32_t formatSlot, const char* strID, int32_t mipLevels,
                      int32_t tag, int32_t textureSize);
  // The same for the TEXTURE resource `strID`, taking the texture start-up made
  // ahead from its image when there is one.
  int32_t LoadTextureOfResource(const void* data, uint32_t size, int32_t formatSlot, const char* strID,
                                int32_t mipLevels, int32_t tag, int32_t textureSize);
  int32_t GetTextureIID(const char* strID);  // -1 (logged) when there is none
  void UnloadTexture(int32_t id);
  void UnloadTextureByStrID(const char* strID);
  // Stages 0..7. Setting the texture a stage already holds does nothing.
  void TexSet(int32_t id, int32_t stage);
  void TexSetByStrID(const char* strID, int32_t stage);
  void TexSet(const CSmartID& sid, int32_t stage);
  void TexSetNoTexture(int32_t stage);
  IO2DTexture* TexGet(int32_t id) const;  // null for an empty or unknown slot
  int32_t TexGetCurrent(int32_t stage) const;  // the ID bound to a stage, -1 for none

  // Techniques. LoadTechniquesPack is the loader of TECHNIQUE resources and
  // returns the number of techniques it added.
  int32_t LoadTechniquesPack(const void* data, uint32_t size);
  int32_t GetTechniqueIID(const char* strID);  // -1 (logged) when there is none
  // Applying the current technique again does nothing.
  void TechApply(int32_t id);
  void TechApplyByStrID(const char* strID);
  void TechApply(const CSmartID& sid);
  const O2DTECHNIQUE* TechGet(int32_t id) const;  // null for an empty or unknown slot
  int32_t  TechGetCurrent() const;

  // Fonts. LoadFont is the loader of FONT resources; it loads the font's
  // texture and technique pack when they are missing.
  int32_t LoadFont(const void* data, uint32_t size);
  int32_t GetFontIID(const char* strID);  // -1 (logged) when there is none
  void FontSet(int32_t id);
  void FontSetByStrID(const char* strID);
  void FontSet(const CSmartID& sid);
  int32_t  FontGetCurrent() const;
  const FontDesc* FontGet(int32_t id) const;  // null for an empty or unknown slot
  // limit 0: the whole text; colorIndex -1 keeps the quad's colour.
  void FontDrawText(const char* text, float x, float y, int32_t limit, int32_t colorIndex, float alpha);
  // With a colour index other than -1, "%" and a digit switch to that colour.
  void FontDrawTextEx(const char* text, float x, float y, int32_t limit, int32_t colorIndex, float alpha,
                      bool applyTechnique, float scale, float letterSpacing, float lineSpacing);
  // The width of the text's first line.
  float FontGetStringWidth(const char* text, int32_t fontID, float scale, float letterSpacing);

  // Dynamic lights. The mode comes from techniques: 0 disabled, 1 vertex, 2 Dot3.
  void  LightSetMode(uint32_t mode);
  uint32_t  LightGetMode() const;
  // Colours the current quad by the dynamic-light mode.
  void LightQuad();
  // Lights are added, changed and removed by ID; the Dot3 mode lights quads
  // towards the light chosen with LightSetDot3 (ID 0 until then).
  int32_t LightAdd(const Light& light, int32_t tag = 0);
  void LightSet(int32_t id, const Light& light);
  const Light* LightGet(int32_t id) const;  // null for an empty or unknown slot
  void LightRemove(int32_t id);
  void  LightSetDot3(int32_t id);
  int32_t  LightGetDot3() const;

  // --- subsystem-ready flags --------------------------------------------------
  uint8_t m_bGfxReady = 0;
  uint8_t m_bResReady = 0;
  uint8_t m_bInpReady = 0;
  uint8_t m_bSfxReady = 0;
  uint8_t m_bScrReady = 0;

  // --- input ------------------------------------------------------------------
  // Start refuses to run before graphics. Tests may hand in their own devices;
  // otherwise the game window's keyboard and mouse are used.
  void InitInputSubsystem();
  void InitInputSubsystem(std::unique_ptr<IO2DInputDevices> devices);
  void DeinitInputSubsystem();
  void InputUpdate();     // per frame: keyboard, then mouse
  void InputReacquire();  // on focus gain: keyboard, then mouse
  void KeyboardUpdate();
  void MouseUpdate();

  bool KeyboardIsKeyPressed(int32_t key) const;
  bool KeyboardIsKeyClicked(int32_t key) const;
  int32_t KeyboardGetAnyPressedKey() const;
  void KeyboardSetTextBufferStatus(bool on);
  void KeyboardSetTextBufferSize(uint32_t size);
  void KeyboardSetTextInBuffer(const std::string& text);
  const std::string&  KeyboardGetTextInBuffer() const;
  // "ESCAPE" -> 1, "F2" -> 0x3C; any other text (lower case included) -> 0.
  static uint8_t KeyNameToCode(std::string_view name);

  bool MouseIsKeyPressed(int32_t button) const;  // 1 left, 2 right, 3 middle, 4 and 5 the side buttons
  bool MouseIsKeyClicked(int32_t button) const;
  int32_t MouseGetAnyPressedKey() const;
  int32_t  MouseGetDeltaX() const;
  int32_t  MouseGetDeltaY() const;
  int32_t MouseGetWheelDelta() const;
  void MouseGetCursorPos(int32_t& x, int32_t& y) const;
  bool  MouseGetCursorStatus() const;
  int32_t  MouseGetCursorShiftX() const;
  int32_t  MouseGetCursorShiftY() const;

  // --- sound, music and playlists ---------------------------------------------
  // The output device SoundInit tries first (O2DAUDIO_DEVICE_DEFAULT). Tests pick
  // O2DAUDIO_DEVICE_RENDER and pull the mix themselves through SoundGetAudio().
  void  SoundSelectDevice(int device);
  CO2DAudio&  SoundGetAudio();
  // Starts after graphics; without a sound card the engine runs on silently and
  // every sound and music operation does nothing.
  void SoundInit(uint32_t frequency);
  void SoundShutdown();
  // Per frame: MusicUpdate (the output mixes on its own thread).
  void SoundUpdate();
  bool  SoundIsAvailable() const;
  void SoundSetGlobalVolumes(int32_t effects, int32_t music);
  float SoundGetCPU() const;
  void SoundPauseOutput();
  void SoundResumeOutput();
  // Both start on; nothing in the engine switches them off.
  void  SoundSetEffectsOn(bool on);
  void  MusicSetOn(bool on);

  // Sound effects. The loader of SOUND resources; -2 when there is no sound.
  int32_t LoadSound(const char* path, const char* strID, int32_t tag, bool isStream, int32_t maxPlaybacks,
                    bool noOverride, uint32_t offset, uint32_t length);
  int32_t GetSoundIID(const char* strID);
  void UnloadSound(int32_t id);
  void UnloadSoundByStrID(const char* strID);
  // By ID, by string ID (the first sound with it, else -1) and by a CSmartID's
  // bound ID. Volume 0..100, pan -100..100, frequency in Hz; -1, -1 and -101
  // leave the value as it is.
  void SoundPlay(int32_t id, bool loop, int32_t freq, int32_t volume, int32_t pan);
  void SoundPlayByStrID(const char* strID, bool loop, int32_t freq, int32_t volume, int32_t pan);
  void SoundPlay(const CSmartID& sid, bool loop, int32_t freq, int32_t volume, int32_t pan);
  void SoundStop(int32_t id);
  void SoundStopByStrID(const char* strID);
  void SoundStop(const CSmartID& sid);
  void SoundPause(int32_t id);
  void SoundPauseByStrID(const char* strID);
  void SoundPause(const CSmartID& sid);
  void SoundResume(int32_t id);
  void SoundResumeByStrID(const char* strID);
  void SoundResume(const CSmartID& sid);
  void SoundSetAttributes(int32_t id, int32_t freq, int32_t volume, int32_t pan);
  void SoundSetAttributesByStrID(const char* strID, int32_t freq, int32_t volume, int32_t pan);
  void SoundSetAttributes(const CSmartID& sid, int32_t freq, int32_t volume, int32_t pan);
  void SoundSlideAttributes(int32_t id, int32_t freq, int32_t volume, int32_t pan, int32_t time);
  void SoundSlideAttributesByStrID(const char* strID, int32_t freq, int32_t volume, int32_t pan, int32_t time);
  void SoundSlideAttributes(const CSmartID& sid, int32_t freq, int32_t volume, int32_t pan, int32_t time);
  // 0 stopped, 1 playing, 2 stalled, 3 paused.
  int32_t SoundGetStatus(int32_t id);
  int32_t SoundGetStatusByStrID(const char* strID);
  int32_t SoundGetStatus(const CSmartID& sid);

  // Music: one piece at a time. A new piece waits until the current one has
  // faded out; MusicUpdate makes the hand-over.
  int32_t LoadMusic(const char* path, const char* strID, int32_t tag, uint32_t offset, uint32_t length,
                    bool preload);
  int32_t GetMusicIID(const char* strID);
  void MusicPlay(int32_t id, bool loop, int32_t fadeTime);
  void MusicPlayByStrID(const char* strID, bool loop, int32_t fadeTime);
  void MusicStop(int32_t fadeTime);
  int32_t MusicGetStatus();
  void MusicSetVolume(int32_t volume, int32_t time);
  float MusicGetLevelLeft();
  float MusicGetLevelRight();
  void MusicUpdate();
  int32_t  MusicGetCurrent() const;
  int32_t  MusicGetPending() const;

  // Playlists: while one is set, each piece that ends is followed by a random
  // other piece of the list.
  int32_t LoadPlaylist(const void* data, uint32_t size);
  int32_t GetPlaylistIID(const char* strID);
  void PlaylistNext();
  void PlaylistSet(int32_t id);
  void PlaylistSetByStrID(const char* strID);
  void PlaylistStop();
  int32_t  PlaylistGetCurrent() const;

  // --- scripts ------------------------------------------------------------------
  // One Lua state with the base (and coroutine), math, io and os libraries and
  // the script API. Every failure inside a script ends as an error record:
  // Lua's own errors as Lua records, records raised by engine calls unchanged.
  void ScrInit();
  void ScrDeinit();
  // Adds script functions to the globals (the engine's families, the GUI's).
  void ScrRegisterFunctions(const O2DGlueEntry* entries, size_t count);
  // Compiles and runs a chunk; the name (a resource ID) appears in Lua's messages.
  void LoadScriptFromBuffer(const char* text, uint32_t length, const char* chunkName);
  // Parameters for the next CallLuaFunction, in order.
  void AddParam(const CLuaValue& value);
  // Calls a global Lua function with the pending parameters; a name that is not
  // a function calls nothing. results: how many to keep, -1 for all.
  void CallLuaFunction(const char* name, int32_t results);
  // The last call's results, the last returned value first.
  const std::vector<CLuaValue>& ScrGetResults() const;
  const std::string& ScrGetCurrentFunctionName() const;
  // For the host's own code and native extensions of the script API.
  CScrState* ScrGetState() const { return m_scr.get(); }
  lua_State* ScrGetLuaState() const;

 private:
  void InputOnEvent(const O2DWindowEvent& event);
  void InputLoseAcquisition();
  void KeyboardTextEntry();
  void SetCursorInside(bool inside);

  std::unique_ptr<CInpState> m_inp;

 private:
  void OnActivate(bool active) override;
  void OnClose() override;
  void OnWindowEvent(const O2DWindowEvent& event) override;

  // Graphics internals.
  void GfxWriteCapsReport(int32_t width, int32_t height);
  void GfxEnumerateTextureFormats(DisplayModeInfo& mode);
  void GfxDeviceSetup();
  void TexCheckStage(int32_t stage) const;
  void TexFree(int32_t id);
  // LoadTexture, trying the texture made ahead first when `ahead`.
  int32_t MakeTexture(const void* data, uint32_t size, bool ahead, int32_t formatSlot, const char* strID,
                      int32_t mipLevels, int32_t tag, int32_t textureSize);
  // What LoadTexture asks the image loader for, from a TEXTURE resource's parameters.
  O2DTextureRequest TexRequest(int32_t formatSlot, int32_t mipLevels, int32_t textureSize) const;
  void FontDraw(const char* text, float x, float y, int32_t limit, int32_t colorIndex, float alpha,
                bool applyTechnique, float scale, float letterSpacing, float lineSpacing, bool extended);
  void GfxReleaseVertexBuffer();
  const DisplayModeInfo& GfxModeInfo(int32_t displayMode) const;
  int32_t ScreenshotNextNumber() const;

  void RegisterStandardLoaders();
  void ResProcessDescriptor(const std::string& path);
  void ResProcessPack(const std::string& path);

  std::unique_ptr<CResState> m_res;

  SoundObject* SoundGetValid(int32_t id) const;  // "Invalid sound ID: " unless a filled slot
  SoundObject* SoundForOperation(int32_t id) const;

  std::unique_ptr<CSfxState> m_sfx;

  std::string m_strProgramName;
  std::string m_strProgramVersion;

  // Frame timer (milliseconds from the engine clock).
  uint32_t m_uCurrentTime = 0;
  uint32_t m_uLastFrameTime = 0;
  int32_t m_iTimeDeltaMs = 1;
  float m_fTimeDelta = 0.0f;
  int32_t m_iFPSAccumMs = 0;
  int32_t m_iFPSFrames = 1;
  int32_t m_iFPS = 1;

  O2DCallback m_pfnLostFocus = nullptr;
  O2DCallback m_pfnRestoredFocus = nullptr;
  O2DCallback m_pfnTermination = nullptr;
  uint8_t m_bTerminatedByFatalError = 0;

  CO2DWindow m_window;

  std::unique_ptr<CGfxState> m_gfx;

  std::unique_ptr<CScrState> m_scr;
};

// The process-wide engine instance, or null before construction and after deletion.
COstrak* O2D_GetEngine();

// Build date and time as the log header prints them ("Feb 16 2005", "20:45:28").
const char* O2D_BuildDate();
const char* O2D_BuildTime();
