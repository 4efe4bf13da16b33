#pragma once
// Named variables of the game (its game ID, board size, action time) declared in
// code and assigned by XML data resources: every attribute of every child of an
// "xmldata" root sets the variable of that name.
#include <cstdint>
#include <string_view>

class CXMLVar {
 public:
  // Registers the variable under name; a second variable of that name is refused.
  explicit CXMLVar(const char* name);
  CXMLVar(const CXMLVar&) = delete;
  CXMLVar& operator=(const CXMLVar&) = delete;

  // Converts the text and stores the value; a text that does not convert stores nothing.
  virtual void SetValue(const char* text) = 0;
  virtual ~CXMLVar();

  // Creates the process-wide registry if there is none yet.
  static void CreateXMLVarsMap();
  // Sets the variable of that name; an undeclared name logs
  // "Warning: unused xml variable: " + name at level 5.
  static void SetVarByName(std::string_view name, const char* value);
};

class CXMLVarInt : public CXMLVar {
 public:
  explicit CXMLVarInt(const char* name) : CXMLVar(name) {}
  void SetValue(const char* text) override;
  int32_t GetValue() const { return m_iValue; }

 private:
  int32_t m_iValue = 0;
};

class CXMLVarFloat : public CXMLVar {
 public:
  explicit CXMLVarFloat(const char* name) : CXMLVar(name) {}
  void SetValue(const char* text) override;
  float GetValue() const { return m_fValue; }

 private:
  float m_fValue = 0.0f;
};

// The load function of XMLDATA resources: parses the bytes (with the engine's
// XML encrypt flag) and sets the variables they name.
void RESLOAD_XMLData(const void* data, uint32_t size);
