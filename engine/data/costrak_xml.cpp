#include "costrak_xml.h"

#include <fstream>
#include <limits>
#include <sstream>
#include <iterator>

#include "costrak_ehs.h"

static constexpr int EHS_FILE_ID = EHSF_COSTRAK_XML;

namespace {
bool g_xmlEncryptMode = false;  // constant-initialised: safe to read during static construction
const std::string kEmptyText;
}  // namespace

bool O2D_GetXMLEncryptMode() { return g_xmlEncryptMode; }
void O2D_SetXMLEncryptMode(bool on) { g_xmlEncryptMode = on; }

int32_t XML_ReadInt(const std::string& text, int32_t fallback) {
  std::istringstream in(text);
  long long value = 0;
  // The data was written for a 32-bit long: a number outside that range fails
  // the extraction there, so it gives the fallback here too.
  if (!(in >> value) || value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    return fallback;
  return static_cast<int32_t>(value);
}

float XML_ReadFloat(const std::string& text, float fallback) {
  std::istringstream in(text);
  float value = 0.0f;
  return (in >> value) ? value : fallback;
}

void XML_TransformBytes(void* data, size_t size) {
  auto* bytes = static_cast<uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) bytes[i] ^= XML_ENCRYPT_KEY;
}

// --- CXMLNode -----------------------------------------------------------------

CXMLNode::CXMLNode() : m_attribCursor(attributes.end()) {}

CXMLNode::~CXMLNode() {
  // Unlink the subtree onto an explicit stack; each node is freed childless.
  std::vector<std::unique_ptr<CXMLNode>> pending = std::move(children);
  while (!pending.empty()) {
    std::unique_ptr<CXMLNode> node = std::move(pending.back());
    pending.pop_back();
    for (auto& child : node->children) pending.push_back(std::move(child));
    node->children.clear();
  }
}

int32_t CXMLNode::GetChildCount() const { return static_cast<int32_t>(children.size()); }

CXMLNode* CXMLNode::GetChildNode(int32_t index) const {
  EHS_CP();
  if (index < 0 || static_cast<size_t>(index) >= children.size()) return nullptr;
  return children[static_cast<size_t>(index)].get();
}

const std::string& CXMLNode::GetAttribute(std::string_view attribName) const {
  auto it = attributes.find(attribName);
  return it == attributes.end() ? kEmptyText : it->second;
}

void CXMLNode::ResetAttribIterator() { m_attribCursor = attributes.begin(); }

const char* CXMLNode::GetCurrentAttribName() const {
  return m_attribCursor == attributes.end() ? nullptr : m_attribCursor->first.c_str();
}

void CXMLNode::NextAttrib() {
  if (m_attribCursor != attributes.end()) ++m_attribCursor;
}

// --- loading ------------------------------------------------------------------

void CXMLDocument::LoadFromFile(const std::string& path, uint8_t encryptMode) {
  EHS_CP();
  m_text.clear();
  std::ifstream in(path, std::ios::binary);
  std::string raw;
  if (in) raw.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  // The original platform read data files in text mode: a CR LF pair of the
  // stored bytes arrived as LF (a lone CR stayed), before the transform.
  m_text.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    char c = raw[i];
    if (encryptMode == 1) c = static_cast<char>(static_cast<uint8_t>(c) ^ XML_ENCRYPT_KEY);
    m_text.push_back(c);
  }
  if (m_text.empty()) EHS_ThrowText("XMLERROR: the file is empty - " + path);
}

void CXMLDocument::LoadFromBuffer(const void* bytes, int32_t length, uint8_t encryptMode) {
  EHS_CP();
  m_text.clear();
  const auto* src = static_cast<const uint8_t*>(bytes);
  if (src && length > 0) {
    m_text.reserve(static_cast<size_t>(length));
    for (int32_t i = 0; i < length; ++i) {
      uint8_t c = src[i];
      if (encryptMode == 1) c ^= XML_ENCRYPT_KEY;
      if (c != '\r') m_text.push_back(static_cast<char>(c));
    }
  }
  if (m_text.empty()) EHS_ThrowText("XMLERROR: buffer is empty.");
}

// --- parsing ------------------------------------------------------------------

namespace {

// One pass over the text. Every read past the end gives 0 and every scan stops
// at the end, which ends the parse with the nodes made so far.
class CXMLParser {
 public:
  CXMLParser(const std::string& text, CXMLDocument& doc) : m_text(text), m_doc(doc) {}

  void Run() {
    enum class State { Outside, Comment, Declaration, Element, Closing };
    State state = State::Outside;
    for (;;) {
      switch (state) {
        case State::Outside: {
          if (!ScanTo('<')) return;
          const size_t lt = m_p;
          const char next = At(lt + 1);
          if (next == '!') {
            m_p = lt + 3;
            state = State::Comment;
          } else if (next == '/') {
            m_p = lt + 2;
            state = State::Closing;
          } else if (next == '?') {
            m_p = lt + 2;
            state = State::Declaration;
          } else {
            m_p = lt + 1;
            state = State::Element;
          }
          break;
        }
        case State::Comment:
          while (!(At(m_p) == '-' && At(m_p + 1) == '-' && At(m_p + 2) == '>')) {
            if (AtEnd()) return;
            ++m_p;
          }
          m_p += 3;
          state = State::Outside;
          break;
        case State::Declaration:
          if (!Declaration()) return;
          state = State::Outside;
          break;
        case State::Element:
          if (!Element()) return;
          state = State::Outside;
          break;
        case State::Closing:
          if (!ScanTo('>')) return;
          ++m_p;
          if (!CloseElement()) return;
          state = State::Outside;
          break;
      }
    }
  }

 private:
  static bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\t'; }

  bool AtEnd() const { return m_p >= m_text.size(); }
  char At(size_t pos) const { return pos < m_text.size() ? m_text[pos] : '\0'; }

  // Moves to the next occurrence of c; false when the text ends first.
  bool ScanTo(char c) {
    while (!AtEnd() && m_text[m_p] != c) ++m_p;
    return !AtEnd();
  }

  void SkipSpace() {
    while (!AtEnd() && IsSpace(m_text[m_p])) ++m_p;
  }

  template <typename StopPred>
  std::string Collect(StopPred stop) {
    const size_t start = m_p;
    while (!AtEnd() && !stop(m_text[m_p])) ++m_p;
    return m_text.substr(start, m_p - start);
  }

  // name, anything up to a double quote, the value up to the next double quote.
  // A text that ends on the way still stores the pair read so far, then the
  // parse ends.
  bool ReadAttribute(XMLAttribMap& into, std::vector<std::string>* order = nullptr) {
    std::string attribName = Collect([](char c) { return IsSpace(c) || c == '='; });
    const bool quote = ScanTo('"');
    if (quote) ++m_p;
    std::string value = quote ? Collect([](char c) { return c == '"'; }) : std::string();
    const bool closed = !AtEnd();
    if (closed) ++m_p;
    if (order && !into.count(attribName)) order->push_back(attribName);
    into.insert_or_assign(std::move(attribName), std::move(value));
    return closed;
  }

  bool Declaration() {
    m_doc.declarationName = Collect([](char c) { return IsSpace(c) || c == '?'; });
    for (;;) {
      SkipSpace();
      if (At(m_p) == '?' && At(m_p + 1) == '>') {
        m_p += 2;
        return true;
      }
      if (AtEnd() || !ReadAttribute(m_doc.declarationAttributes)) return false;
    }
  }

  // Opens an element and reads its start tag; false when the parse is over.
  bool Element() {
    CXMLNode* node;
    if (!m_current) {
      node = &m_doc.root;
    } else {
      auto child = std::make_unique<CXMLNode>();
      child->parent = m_current;
      node = child.get();
      m_current->children.push_back(std::move(child));
    }
    m_current = node;
    node->name = Collect([](char c) { return IsSpace(c) || c == '/' || c == '>'; });
    for (;;) {
      SkipSpace();
      if (At(m_p) == '/' && At(m_p + 1) == '>') {
        m_p += 2;
        return CloseElement();
      }
      if (At(m_p) == '>') {
        ++m_p;
        return true;
      }
      if (AtEnd() || !ReadAttribute(node->attributes, &node->attributeOrder)) return false;
    }
  }

  // Closing the root ends the parse. A closing tag with no open element has
  // nothing to close and is skipped.
  bool CloseElement() {
    if (!m_current) return true;
    if (m_current == &m_doc.root) return false;
    m_current = m_current->parent;
    return true;
  }

  const std::string& m_text;
  CXMLDocument& m_doc;
  size_t m_p = 0;
  CXMLNode* m_current = nullptr;
};

}  // namespace

void CXMLDocument::Parse() {
  EHS_CP();
  // A document parsed twice describes its text once.
  declarationName.clear();
  declarationAttributes.clear();
  root.name.clear();
  root.attributes.clear();
  root.attributeOrder.clear();
  root.children.clear();
  root.ResetAttribIterator();
  CXMLParser(m_text, *this).Run();
}
