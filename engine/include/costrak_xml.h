#pragma once
// The engine's own XML reader: elements with attributes, comments and one
// declaration. Values travel in attributes only; text between tags is skipped.
// A reader loads a text into a CXMLDocument, calls Parse() and walks `root` by
// child index and attribute name.
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Attributes ordered by plain byte comparison of their names.
using XMLAttribMap = std::map<std::string, std::string, std::less<>>;

class CXMLNode {
 public:
  CXMLNode();
  ~CXMLNode();  // frees the subtree without recursion, so deep trees cannot exhaust the stack
  CXMLNode(const CXMLNode&) = delete;
  CXMLNode& operator=(const CXMLNode&) = delete;

  int32_t GetChildCount() const;
  // Null for a negative index or one not less than the child count.
  CXMLNode* GetChildNode(int32_t index) const;
  // The value, or the empty text when the node has no such attribute.
  const std::string& GetAttribute(std::string_view name) const;

  // Attribute walk in ascending byte order of the names:
  // ResetAttribIterator(); while (GetCurrentAttribName()) { ...; NextAttrib(); }
  void ResetAttribIterator();
  const char* GetCurrentAttribName() const;  // null past the last attribute
  void NextAttrib();

  CXMLNode* parent = nullptr;  // not owning; null for the root
  std::string name;
  XMLAttribMap attributes;
  // The attribute names in the order the text first gives them, for readers
  // whose meaning follows that order (GUI data applies styles and parameters so).
  std::vector<std::string> attributeOrder;
  std::vector<std::unique_ptr<CXMLNode>> children;  // document order

 private:
  XMLAttribMap::const_iterator m_attribCursor;
};

class CXMLDocument {
 public:
  CXMLDocument() = default;
  CXMLDocument(const CXMLDocument&) = delete;
  CXMLDocument& operator=(const CXMLDocument&) = delete;

  // Reads the file as the original platform's text-mode read did (CR LF arrives
  // as LF), transforming each byte when encryptMode is 1. A missing or empty
  // file throws the text "XMLERROR: the file is empty - " + path.
  void LoadFromFile(const std::string& path, uint8_t encryptMode);
  // Takes bytes 0 .. length-1, transformed when encryptMode is 1, dropping every
  // CR. An empty result throws the text "XMLERROR: buffer is empty.".
  void LoadFromBuffer(const void* bytes, int32_t length, uint8_t encryptMode);
  // Builds the tree from the loaded text. Malformed input never fails here: the
  // nodes made before the text ran out stand, and the readers' checks reject them.
  void Parse();

  const std::string& GetText() const { return m_text; }

  std::string declarationName;  // the name after "<?", usually "xml"
  XMLAttribMap declarationAttributes;
  CXMLNode root;  // the first element of the text; an empty name when there is none

 private:
  std::string m_text;
};

// Key of the XML encrypt mode. The stored form of a text is every byte
// exclusive-or this key; applying the same transform again restores it.
inline constexpr uint8_t XML_ENCRYPT_KEY = 0xA7;
void XML_TransformBytes(void* data, size_t size);

// The engine's XML encrypt flag, passed to every load of XML out of resource
// data. Off at start; the resource subsystem turns it on in pack mode.
bool O2D_GetXMLEncryptMode();
void O2D_SetXMLEncryptMode(bool on);

// Numbers in XML text, read by stream extraction as the data files write them
// (leading blanks, optional sign, digits up to the first character that does not
// fit); `fallback` when there is no number or an integer does not fit 32 bits.
int32_t XML_ReadInt(const std::string& text, int32_t fallback);
float XML_ReadFloat(const std::string& text, float fallback);
