#pragma once
// COstrakGUI, the GUI manager: the single owner of every element, with the
// registries of classes, parameters and native actions, the enum and style
// stores, the per-frame update and draw walks, tips and delayed commands.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "costrak_itemsmanager.h"
#include "o2dgui_datatypes.h"

class CGUIElement;
class CXMLDocument;
class CXMLNode;

// Makes a new element of one class with the given element ID.
using O2DGUIElementFactory = CGUIElement* (*)(const std::string& id);

struct GUIParamInfo {
  int32_t iID;
  int32_t type;
};

class COstrakGUI {
 public:
  // Registers the GUI resource types, the standard classes, every parameter and
  // the GUI script functions, and creates the root element "DESKTOP". Needs the
  // engine object; only one manager exists at a time.
  COstrakGUI();
  ~COstrakGUI();
  COstrakGUI(const COstrakGUI&) = delete;
  COstrakGUI& operator=(const COstrakGUI&) = delete;

  static COstrakGUI* GetInstance();
  // The manager, for code that runs only while it exists (loaders, script
  // functions, the game's actions); its absence is an assertion failure.
  static COstrakGUI& Get();

  // --- registries ---------------------------------------------------------------
  void RegisterAction(const std::string& name, O2DGUIActionFn fn);
  void RegisterClass(O2DGUIElementFactory factory, const std::string& classID);
  void RegisterParam(const std::string& strID, int32_t iID, int32_t type);
  O2DGUIActionFn FindAction(const std::string& name) const;       // null when there is none
  const GUIParamInfo* FindParam(const std::string& name) const;  // null when there is none

  // --- elements -------------------------------------------------------------------
  // The index of the first element with that ID (exact match), or -1.
  int32_t GetElementIndex(const std::string& id) const;
  int32_t AddElement(const std::string& classID, const std::string& elementID, int32_t parentIndex);
  int32_t AddElement(const std::string& classID, const std::string& elementID, const std::string& parentID);
  CGUIElement* GetElement(int32_t index) const;  // null outside the list
  int32_t GetElementCount() const { return static_cast<int32_t>(m_elements.size()); }

  void SetElementParam(int32_t index, int32_t iID, const CGUIValue& value);
  void SetElementParam(const std::string& id, int32_t iID, const CGUIValue& value);
  void SetElementParam(int32_t index, const std::string& param, const CGUIValue& value);
  void SetElementParam(const std::string& id, const std::string& param, const CGUIValue& value);
  void GetElementParam(int32_t index, int32_t iID, CGUIValue& value);
  void GetElementParam(const std::string& id, int32_t iID, CGUIValue& value);
  void GetElementParam(int32_t index, const std::string& param, CGUIValue& value);
  void GetElementParam(const std::string& id, const std::string& param, CGUIValue& value);
  // With a delay above 0 the command waits in the delayed list; else it runs now.
  void ExecuteElementCommand(int32_t index, int32_t command, float delay = 0.0f);
  void ExecuteElementCommand(const std::string& id, int32_t command, float delay = 0.0f);
  // An index outside the list is ignored.
  void SetCurTip(int32_t index);
  void SetCurTip(const std::string& id);
  int32_t GetCurTip() const { return m_iCurTip; }
  float GetTipCountdown() const { return m_fTipCountdown; }

  TItemsManager<CGUIEnum>* GetEnums() const { return m_enums.get(); }
  TItemsManager<CGUIStyle>* GetStyles() const { return m_styles.get(); }

  // --- frame ------------------------------------------------------------------------
  // Before the scene is begun: delayed commands, the element tree, tips.
  void Update();
  // After the scene is cleared: the element tree, then the due tip over it.
  void Draw();

  // --- actions ----------------------------------------------------------------------
  void ExecuteAction(const CGUIAction& action);
  // An event's data goes to Lua as call arguments (numbers and booleans), or to a
  // native action as the action-argument list, emptied once it has run.
  void ExecuteAction(const CGUIAction& action, const std::vector<CGUIValue>& args);
  const std::vector<CGUIValue>& GetActionArgs() const { return m_actionArgs; }

  // --- GUI data (XML) -----------------------------------------------------------------
  void LoadGUIData(CXMLDocument& doc);
  void LoadEnum(CXMLDocument& doc, const std::string& id);
  void LoadStyle(CXMLDocument& doc, const std::string& id);
  void ProcessElementNode(const CXMLNode& node, int32_t parentIndex);
  CGUIValue ProcessParam(const std::string& name, const std::string& text, int32_t& iID);
  // The enum or style with that ID, loaded from its resource when missing.
  CGUIEnum* DemandEnum(const std::string& id);
  CGUIStyle* DemandStyle(const std::string& id);

 private:
  struct DelayedCommand {
    int32_t element;
    int32_t command;
    float delay;
  };

  int32_t CheckedIndex(int32_t index, const char* message, const std::string& shown) const;
  int32_t ParamID(const std::string& name, const char* message) const;
  void UpdateTip();

  std::map<std::string, O2DGUIActionFn> m_actions;
  std::map<std::string, O2DGUIElementFactory> m_classes;
  std::map<std::string, GUIParamInfo> m_paramsByName;
  std::map<int32_t, std::string> m_paramsByID;
  std::vector<CGUIElement*> m_elements;

  int32_t m_iCurTip = -1;
  int32_t m_iPrevTip = -1;
  float m_fTipCountdown = 1.0f;
  float m_fPrevTipCountdown = 1.0f;
  float m_fTipDelay = 1.0f;

  std::vector<DelayedCommand> m_delayed;
  std::unique_ptr<TItemsManager<CGUIEnum>> m_enums;
  std::unique_ptr<TItemsManager<CGUIStyle>> m_styles;
  std::vector<CGUIValue> m_actionArgs;
};

// Process-wide GUI state every element reads: the frame time in seconds (copied
// from the engine at the start of each update walk) and the screen size.
float O2DGUI_GetFrameTime();
int32_t O2DGUI_GetScreenWidth();
int32_t O2DGUI_GetScreenHeight();

// The standard classes, registered by the manager's constructor.
void O2DGUI_RegisterStandardClasses(COstrakGUI& gui);
// The six GUI script functions, registered with the script host.
void O2DGUI_RegisterScriptFunctions();
// The loaders of the three GUI resource types.
void O2DGUI_RegisterResourceLoaders();
