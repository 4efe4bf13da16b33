// XML documents, plain or encrypted (the first byte's low bit), as the resource
// loaders read them: load, parse, then read every attribute as a number.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "costrak_ehs.h"
#include "costrak_xml.h"

namespace {
// Without recursion: the parser takes trees of any depth.
void Walk(const CXMLNode& root) {
  std::vector<const CXMLNode*> pending{&root};
  while (!pending.empty()) {
    const CXMLNode* node = pending.back();
    pending.pop_back();
    for (const auto& attribute : node->attributes) (void)XML_ReadInt(attribute.second, 0);
    for (const auto& child : node->children) pending.push_back(child.get());
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 20)) return 0;
  CXMLDocument doc;
  try {
    doc.LoadFromBuffer(data + 1, static_cast<int32_t>(size - 1), data[0] & 1);
    doc.Parse();
    Walk(doc.root);
  } catch (const CEHSException&) {
  } catch (const CEHSTextError&) {
  }
  return 0;
}
