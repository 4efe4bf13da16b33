#pragma once
// CSmartID: a resource's string ID bound to the integer ID under which its item
// manager currently holds the item, so per-frame calls never search by string.
// The item managers bind (SetIDByStrID) and unbind (ClearID) the IDs.
#include <cstdint>
#include <string>
#include <string_view>

// Resource types addressed by string IDs, detected from the first three
// characters of the string ID.
inline constexpr int32_t SMARTID_DETECT = 0;
inline constexpr int32_t SMARTID_TEXTURE = 1;    // "TEX"
inline constexpr int32_t SMARTID_TECHNIQUE = 2;  // "TEQ"
inline constexpr int32_t SMARTID_FONT = 3;       // "FNT"
inline constexpr int32_t SMARTID_SOUND = 4;      // "SND"

class CSmartID {
 public:
  // resType SMARTID_DETECT (0) detects the type from the prefix. A second
  // object with the same strID is refused.
  explicit CSmartID(const char* strID, int32_t resType = SMARTID_DETECT);
  ~CSmartID();
  CSmartID(const CSmartID&) = delete;
  CSmartID& operator=(const CSmartID&) = delete;

  void DetectResType();
  // Creates the process-wide registry if there is none yet.
  static void CreateIDsMap();
  // Binds the registered object of that strID; an unknown strID changes nothing.
  static void SetIDByStrID(std::string_view strID, int32_t id);
  // Unbinds (ID -1) the first object, in strID order, bound to id with resType.
  static void ClearID(int32_t id, int32_t resType);

  int32_t GetID() const { return m_iID; }
  const std::string& GetStrID() const { return m_strID; }
  int32_t GetResType() const { return m_iResType; }

 private:
  std::string m_strID;
  int32_t m_iID = -1;
  int32_t m_iResType = SMARTID_DETECT;
};
