#pragma once
// COstrak, the engine object: created once by the process entry, reached through
// O2D_GetEngine(), and the owner of every engine subsystem's state.
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "costrak_ehs.h"
#include "costrak_itemsmanager.h"
#include "costrak_res_cres.h"
#include "costrak_res_main.h"
#include "o2d_window.h"

using O2DCallback = void (*)();

enum O2DCallbackKind : uint32_t {
  O2D_CALLBACK_LOSTFOCUS = 1,
  O2D_CALLBACK_RESTOREDFOCUS = 2,
  O2D_CALLBACK_TERMINATION = 3,
};

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
  // Stops every started subsystem and writes the log footer.
  void Cleanup();

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
  int32_t ResGetMode() const { return m_iResMode; }
  bool ResGetXMLEncryptMode() const;
  void ResSetXMLEncryptMode(bool on);
  TItemsManager<CO2DResource>* ResGetManager() { return m_pResManager.get(); }

  // --- subsystem-ready flags --------------------------------------------------
  uint8_t m_bGfxReady = 0;
  uint8_t m_bResReady = 0;
  uint8_t m_bInpReady = 0;
  uint8_t m_bSfxReady = 0;
  uint8_t m_bScrReady = 0;

 private:
  void OnActivate(bool active) override;
  void OnWindowEvent(const SDL_Event& event) override;

  void RegisterStandardLoaders();
  void ResProcessDescriptor(const std::string& path);
  void ResProcessPack(const std::string& path);

  bool m_bResInitialized = false;
  int32_t m_iResMode = O2D_RESMODE_NONE;
  std::unique_ptr<TItemsManager<CO2DResource>> m_pResManager;
  std::map<std::string, O2DLoadResFn, std::less<>> m_mapLoadRes;
  std::map<std::string, O2DLoadResExFn, std::less<>> m_mapLoadResEx;

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
};

// The process-wide engine instance, or null before construction and after deletion.
COstrak* O2D_GetEngine();

// Build date and time as the log header prints them ("Feb 16 2005", "20:45:28").
const char* O2D_BuildDate();
const char* O2D_BuildTime();
