#include "o2dgui_costrakgui_main.h"

#include <new>

#include "costrak.h"
#include "o2dgui_cguielement_main.h"

static constexpr int EHS_FILE_ID = EHSF_O2DGUI_COSTRAKGUI_MAIN;

namespace {
COstrakGUI* g_pGUI = nullptr;
float g_fFrameTime = 0.0f;
int32_t g_iScreenWidth = 0;
int32_t g_iScreenHeight = 0;
}  // namespace

float O2DGUI_GetFrameTime() { return g_fFrameTime; }
int32_t O2DGUI_GetScreenWidth() { return g_iScreenWidth; }
int32_t O2DGUI_GetScreenHeight() { return g_iScreenHeight; }

COstrakGUI* COstrakGUI::GetInstance() { return g_pGUI; }

COstrakGUI& COstrakGUI::Get() {
  EHS_ASSERT(g_pGUI);
  return *g_pGUI;
}

COstrakGUI::COstrakGUI() {
  EHS_CP();
  EHS_ASSERT(g_pGUI == nullptr);
  COstrak* engine = O2D_GetEngine();
  EHS_ASSERT(engine);
  g_pGUI = this;
  // A refusal below leaves no half-made manager registered as the instance.
  try {
    O2DGUI_RegisterResourceLoaders();
    engine->GetScreenSize(g_iScreenWidth, g_iScreenHeight);
    O2DGUI_RegisterStandardClasses(*this);
    for (const GUIParamDef& param : O2DGUI_ParamTable()) RegisterParam(param.strID, param.iID, param.type);
    AddElement("desktop", "DESKTOP", 0);
    m_fTipDelay = 1.0f;
    m_enums.reset(new (std::nothrow) TItemsManager<CGUIEnum>());
    if (!m_enums) EHS_RAISE(EHS_GENERAL, 0, "Cannot create GUIEnums manager!");
    m_styles.reset(new (std::nothrow) TItemsManager<CGUIStyle>());
    if (!m_styles) EHS_RAISE(EHS_GENERAL, 0, "Cannot create GUIStyles manager!");
    O2DGUI_RegisterScriptFunctions();
  } catch (...) {
    for (CGUIElement* element : m_elements) delete element;
    g_pGUI = nullptr;
    throw;
  }
}

COstrakGUI::~COstrakGUI() {
  EHS_CP();
  for (CGUIElement* element : m_elements) delete element;
  m_elements.clear();
  m_delayed.clear();
  if (m_enums) m_enums->FreeAllItems();
  if (m_styles) m_styles->FreeAllItems();
  m_actions.clear();
  m_classes.clear();
  m_paramsByName.clear();
  m_paramsByID.clear();
  if (g_pGUI == this) g_pGUI = nullptr;
}

// ---- registries -----------------------------------------------------------------------

void COstrakGUI::RegisterAction(const std::string& name, O2DGUIActionFn fn) {
  EHS_CP();
  if (!m_actions.emplace(name, fn).second)
    EHS_RAISE(EHS_GAME, 0, "Dublicated C++ Action function! ID = " + name);
}

void COstrakGUI::RegisterClass(O2DGUIElementFactory factory, const std::string& classID) {
  EHS_CP();
  if (!m_classes.emplace(classID, factory).second)
    EHS_RAISE(EHS_GAME, 0, "Dublicated GUI Element class !ID = " + classID);
}

void COstrakGUI::RegisterParam(const std::string& strID, int32_t iID, int32_t type) {
  EHS_CP();
  const std::string tail = strID + " iID = " + std::to_string(iID);
  if (m_paramsByName.count(strID))
    EHS_RAISE(EHS_GAME, 0, "Dublicated GUI Element parameter(strID)! strID = " + tail);
  if (m_paramsByID.count(iID)) EHS_RAISE(EHS_GAME, 0, "Dublicated GUI Element parameter(iID)! strID = " + tail);
  m_paramsByName.emplace(strID, GUIParamInfo{iID, type});
  m_paramsByID.emplace(iID, strID);
}

O2DGUIActionFn COstrakGUI::FindAction(const std::string& name) const {
  auto it = m_actions.find(name);
  return it == m_actions.end() ? nullptr : it->second;
}

const GUIParamInfo* COstrakGUI::FindParam(const std::string& name) const {
  auto it = m_paramsByName.find(name);
  return it == m_paramsByName.end() ? nullptr : &it->second;
}

// ---- elements -------------------------------------------------------------------------

int32_t COstrakGUI::GetElementIndex(const std::string& id) const {
  for (size_t i = 0; i < m_elements.size(); ++i)
    if (m_elements[i]->GetID() == id) return static_cast<int32_t>(i);
  return -1;
}

CGUIElement* COstrakGUI::GetElement(int32_t index) const {
  return index >= 0 && index < GetElementCount() ? m_elements[static_cast<size_t>(index)] : nullptr;
}

int32_t COstrakGUI::AddElement(const std::string& classID, const std::string& elementID, int32_t parentIndex) {
  EHS_CP();
  // The root is its own parent's stand-in: it is created at index 0 with none.
  const bool root = m_elements.empty() && parentIndex == 0;
  if (!root && (parentIndex < 0 || parentIndex >= GetElementCount()))
    EHS_RAISE(EHS_GAME, 0, "Cannot add GUI element: invalid parent ID! Parent ID = " + std::to_string(parentIndex));
  auto cls = m_classes.find(classID);
  if (cls == m_classes.end())
    EHS_RAISE(EHS_GAME, 0, "Cannot add GUI element: invalid class! Class ID = " + classID + " Element ID = " + elementID);
  if (GetElementIndex(elementID) != -1)
    EHS_RAISE(EHS_GAME, 0, "Cannot add GUI element: dublicated element ID! Element ID = " + elementID);
  if (elementID.empty()) EHS_RAISE(EHS_GAME, 0, "Cannot add GUI element: element ID is null string!");
  std::unique_ptr<CGUIElement> element(cls->second(elementID));
  EHS_ASSERT(element);
  m_elements.push_back(element.get());
  CGUIElement* made = element.release();
  if (!root) made->SetParent(m_elements[static_cast<size_t>(parentIndex)]);
  return GetElementCount() - 1;
}

int32_t COstrakGUI::AddElement(const std::string& classID, const std::string& elementID, const std::string& parentID) {
  return AddElement(classID, elementID, GetElementIndex(parentID));
}

int32_t COstrakGUI::CheckedIndex(int32_t index, const char* message, const std::string& shown) const {
  if (index < 0 || index >= GetElementCount()) EHS_RAISE(EHS_GAME, 0, message + shown);
  return index;
}

int32_t COstrakGUI::ParamID(const std::string& name, const char* message) const {
  const GUIParamInfo* info = FindParam(name);
  if (!info) EHS_RAISE(EHS_GAME, 0, message + name);
  return info->iID;
}

namespace {
constexpr const char* kSetBadElement = "Cannot set element param: invalid element ID! Element ID = ";
constexpr const char* kSetBadParam = "Cannot set element param: invalid param ID! Param ID = ";
constexpr const char* kGetBadElement = "Cannot get element param: invalid element ID! Element ID = ";
constexpr const char* kGetBadParam = "Cannot get element param: invalid param ID! Param ID = ";
constexpr const char* kCmdBadElement = "Cannot pass command to element: invalid element ID! Element ID = ";
}  // namespace

void COstrakGUI::SetElementParam(int32_t index, int32_t iID, const CGUIValue& value) {
  EHS_CP();
  m_elements[static_cast<size_t>(CheckedIndex(index, kSetBadElement, std::to_string(index)))]->SetParam(iID, value);
}
void COstrakGUI::SetElementParam(const std::string& id, int32_t iID, const CGUIValue& value) {
  EHS_CP();
  m_elements[static_cast<size_t>(CheckedIndex(GetElementIndex(id), kSetBadElement, id))]->SetParam(iID, value);
}
void COstrakGUI::SetElementParam(int32_t index, const std::string& param, const CGUIValue& value) {
  EHS_CP();
  const int32_t at = CheckedIndex(index, kSetBadElement, std::to_string(index));
  m_elements[static_cast<size_t>(at)]->SetParam(ParamID(param, kSetBadParam), value);
}
void COstrakGUI::SetElementParam(const std::string& id, const std::string& param, const CGUIValue& value) {
  EHS_CP();
  const int32_t at = CheckedIndex(GetElementIndex(id), kSetBadElement, id);
  m_elements[static_cast<size_t>(at)]->SetParam(ParamID(param, kSetBadParam), value);
}

void COstrakGUI::GetElementParam(int32_t index, int32_t iID, CGUIValue& value) {
  EHS_CP();
  value = m_elements[static_cast<size_t>(CheckedIndex(index, kGetBadElement, std::to_string(index)))]->GetParam(iID);
}
void COstrakGUI::GetElementParam(const std::string& id, int32_t iID, CGUIValue& value) {
  EHS_CP();
  value = m_elements[static_cast<size_t>(CheckedIndex(GetElementIndex(id), kGetBadElement, id))]->GetParam(iID);
}
void COstrakGUI::GetElementParam(int32_t index, const std::string& param, CGUIValue& value) {
  EHS_CP();
  const int32_t at = CheckedIndex(index, kGetBadElement, std::to_string(index));
  value = m_elements[static_cast<size_t>(at)]->GetParam(ParamID(param, kGetBadParam));
}
void COstrakGUI::GetElementParam(const std::string& id, const std::string& param, CGUIValue& value) {
  EHS_CP();
  const int32_t at = CheckedIndex(GetElementIndex(id), kGetBadElement, id);
  value = m_elements[static_cast<size_t>(at)]->GetParam(ParamID(param, kGetBadParam));
}

void COstrakGUI::ExecuteElementCommand(int32_t index, int32_t command, float delay) {
  EHS_CP();
  CheckedIndex(index, kCmdBadElement, std::to_string(index));
  if (delay > 0.0f) {
    m_delayed.push_back({index, command, delay});
    return;
  }
  m_elements[static_cast<size_t>(index)]->ExecuteCommand(command);
}
void COstrakGUI::ExecuteElementCommand(const std::string& id, int32_t command, float delay) {
  EHS_CP();
  ExecuteElementCommand(CheckedIndex(GetElementIndex(id), kCmdBadElement, id), command, delay);
}

void COstrakGUI::SetCurTip(int32_t index) {
  if (index >= 0 && index < GetElementCount()) m_iCurTip = index;
}
void COstrakGUI::SetCurTip(const std::string& id) { SetCurTip(GetElementIndex(id)); }

// ---- frame ------------------------------------------------------------------------------

void COstrakGUI::Update() {
  EHS_CP();
  COstrak* engine = O2D_GetEngine();
  g_fFrameTime = engine->TimerGetDelta();
  m_iCurTip = -1;

  // Delayed commands run in the order they were issued. A command may issue
  // new ones; they wait at least until the next frame.
  std::vector<DelayedCommand> due;
  for (auto it = m_delayed.begin(); it != m_delayed.end();) {
    it->delay -= g_fFrameTime;
    if (it->delay <= 0.0f) {
      due.push_back(*it);
      it = m_delayed.erase(it);
    } else {
      ++it;
    }
  }
  for (const DelayedCommand& cmd : due) m_elements[static_cast<size_t>(cmd.element)]->ExecuteCommand(cmd.command);

  m_elements[0]->Update(GUIRECT{}, GUIRECT{1.0f, 1.0f, 1.0f, 1.0f}, true, true, 0.0f, 0.0f);
  UpdateTip();
}

void COstrakGUI::UpdateTip() {
  COstrak* engine = O2D_GetEngine();
  if (m_iCurTip != m_iPrevTip) m_fTipCountdown = m_fTipDelay;
  if (m_iCurTip == -1) {
    m_fTipCountdown = m_fTipDelay;
  } else {
    if (engine->MouseGetDeltaX() != 0 || engine->MouseGetDeltaY() != 0) m_fTipCountdown = m_fTipDelay;
    if (engine->MouseIsKeyPressed(2)) m_fTipCountdown = 0.0f;
    m_fTipCountdown -= g_fFrameTime;
    if (m_fTipCountdown < 0.0f) m_fTipCountdown = 0.0f;
    if (m_fTipCountdown == 0.0f) {
      CGUIElement* tip = m_elements[static_cast<size_t>(m_iCurTip)];
      if (m_fPrevTipCountdown > 0.0f || (m_iPrevTip != -1 && m_iPrevTip != m_iCurTip)) tip->ExecuteCommand(GUICMD_SHOW);
      tip->Update(GUIRECT{}, GUIRECT{1.0f, 1.0f, 1.0f, 1.0f}, true, true, 0.0f, 0.0f);
    }
  }
  m_fPrevTipCountdown = m_fTipCountdown;
  m_iPrevTip = m_iCurTip;
}

void COstrakGUI::Draw() {
  EHS_CP();
  m_elements[0]->Draw();
  if (m_iCurTip != -1 && m_fTipCountdown == 0.0f) m_elements[static_cast<size_t>(m_iCurTip)]->Draw();
}

// ---- actions -----------------------------------------------------------------------------

void COstrakGUI::ExecuteAction(const CGUIAction& action) { ExecuteAction(action, {}); }

void COstrakGUI::ExecuteAction(const CGUIAction& action, const std::vector<CGUIValue>& args) {
  EHS_CP();
  if (action.iKind == GUIACTION_LUA) {
    COstrak* engine = O2D_GetEngine();
    for (const CGUIValue& arg : args) {
      switch (arg.GetType()) {
        case GUIVT_FLOAT: engine->AddParam(CLuaValue(static_cast<double>(arg.GetFloat()))); break;
        case GUIVT_BOOLEAN: engine->AddParam(CLuaValue(arg.GetBool())); break;
        case GUIVT_POINT: {
          const GUIPOINT& p = arg.GetPoint();
          engine->AddParam(CLuaValue(static_cast<double>(p.x)));
          engine->AddParam(CLuaValue(static_cast<double>(p.y)));
          break;
        }
        case GUIVT_RECT: {
          const GUIRECT& r = arg.GetRect();
          for (float f : {r.x, r.y, r.width, r.height}) engine->AddParam(CLuaValue(static_cast<double>(f)));
          break;
        }
        default: break;
      }
    }
    engine->CallLuaFunction(action.strFunction.c_str(), -1);
  } else if (action.iKind == GUIACTION_NATIVE) {
    // A native action may run another; each sees only its own arguments.
    std::vector<CGUIValue> outer = std::move(m_actionArgs);
    m_actionArgs = args;
    struct Restore {
      std::vector<CGUIValue>& list;
      std::vector<CGUIValue>& saved;
      ~Restore() { list = std::move(saved); }
    } restore{m_actionArgs, outer};
    if (action.pfnFunction) action.pfnFunction();
  } else {
    EHS_RAISE(EHS_GAME, 0, "Unknown action type!");
  }
}
