#include <string>

#include "costrak_xml.h"
#include "raised.h"
#include "test_support.h"

namespace {

// A compact picture of a tree: name{attr=value,...}(children...).
std::string Dump(const CXMLNode& node) {
  std::string out = node.name + "{";
  for (const auto& [key, value] : node.attributes) out += key + "=" + value + ",";
  out += "}(";
  for (int32_t i = 0; i < node.GetChildCount(); ++i) {
    const CXMLNode* child = node.GetChildNode(i);
    EXPECT_EQ(child->parent, &node);
    out += Dump(*child);
  }
  return out + ")";
}

std::string DumpDoc(const CXMLDocument& doc) {
  std::string out = "?" + doc.declarationName + "{";
  for (const auto& [key, value] : doc.declarationAttributes) out += key + "=" + value + ",";
  return out + "}" + Dump(doc.root);
}

void ParseText(CXMLDocument& doc, const std::string& text, uint8_t mode = 0) {
  doc.LoadFromBuffer(text.data(), static_cast<int32_t>(text.size()), mode);
  doc.Parse();
}

const std::string kRealistic =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<!-- board settings -->\n"
    "<techniquespack>\n"
    "  <technique id=\"TEQ_STD2\" tag=\"1\">\n"
    "    <pass blend=\"1\" src=\"5\" dst = \"6\">some text</pass>\n"
    "    <stage n=\"0\" colorop=\"MODULATE\" name=\"it's\"/>\n"
    "  </technique>\n"
    "  <technique id=\"TEQ_ADD\"><pass/></technique>\n"
    "</techniquespack>\n";
const std::string kRealisticTree =
    "?xml{encoding=utf-8,version=1.0,}techniquespack{}("
    "technique{id=TEQ_STD2,tag=1,}(pass{blend=1,dst=6,src=5,}()stage{colorop=MODULATE,n=0,name=it's,}())"
    "technique{id=TEQ_ADD,}(pass{}()))";

}  // namespace

TEST(XMLParser, TextsGiveTheirTrees) {
  const std::pair<const char*, const char*> cases[] = {
      // Duplicates replace; values are kept as written; single quotes are ordinary bytes.
      {"<a x=\"1\" x=\"it's &amp; \" n='x' m=\"y\"/>", "?{}a{n=y,x=it's &amp; ,}()"},
      // Text is skipped; closing names are not compared; a comment hides what is inside it.
      {"<a>text<b/><!-- <x/> --><c></b></a><d/>", "?{}a{}(b{}()c{}())"},
      // Broken tags keep what was built.
      {"<a><b x=\"1", "?{}a{}(b{x=1,}())"},
      {"<a b/>", "?{}a{b/>=,}()"},
      {"<!-- never closed <a/>", "?{}{}()"},
      {"</x><a/>", "?{}a{}()"},
  };
  CXMLDocument doc;
  for (const auto& [text, tree] : cases) {
    ParseText(doc, text);
    EXPECT_EQ(DumpDoc(doc), tree) << text;
  }
  ParseText(doc, kRealistic);
  doc.Parse();  // parsing again gives the same tree
  EXPECT_EQ(DumpDoc(doc), kRealisticTree);
}

TEST(XMLParser, TruncationsNeverReadOutOfBounds) {
  for (size_t len = 1; len <= kRealistic.size(); ++len) {
    CXMLDocument doc;
    ParseText(doc, kRealistic.substr(0, len));
    // The root is absent, cut off or whole; nothing else can appear.
    EXPECT_EQ(std::string("techniquespack").rfind(doc.root.name, 0), 0u) << len;
  }
}

TEST(XMLParser, DeepTreesAreBuiltAndFreedWithoutRecursion) {
  std::string text;
  const int depth = 200000;
  for (int i = 0; i < depth; ++i) text += "<n>";
  CXMLDocument doc;
  ParseText(doc, text);
  const CXMLNode* node = &doc.root;
  int levels = 1;
  for (; node->GetChildCount() == 1; ++levels) node = node->GetChildNode(0);
  EXPECT_EQ(levels, depth);
}

// Transformed XML itself is read from packs by the resource and sound tests.
TEST(XMLParser, CRIsDroppedAfterTheTransform) {
  // A stored 0x0D is a plain byte 0xAA.
  std::string withCR = "<a\r\n/>";
  XML_TransformBytes(withCR.data(), withCR.size());
  CXMLDocument encrypted;
  ParseText(encrypted, withCR, 1);
  EXPECT_EQ(encrypted.GetText(), "<a\n/>");
}

class XMLFileTest : public TempDirTest {};

TEST_F(XMLFileTest, CRLFIsJoinedAndEmptyBuffersAndFilesRaiseTheTextError) {
  std::string crlf;
  for (char c : kRealistic) crlf += c == '\n' ? "\r\n" : std::string(1, c);
  WriteFileBytes("crlf.xml", crlf);
  CXMLDocument doc;
  doc.LoadFromFile("crlf.xml", 0);
  EXPECT_EQ(doc.GetText(), kRealistic);

  const std::string kMsg = "XMLERROR: buffer is empty.";
  EXPECT_EQ(Raised([&] { doc.LoadFromBuffer("", 0, 0); }), kMsg);
  EXPECT_EQ(Raised([&] { doc.LoadFromBuffer("\r\r\r", 3, 0); }), kMsg);
  const std::string storedCRs(5, static_cast<char>('\r' ^ XML_ENCRYPT_KEY));
  EXPECT_EQ(Raised([&] { doc.LoadFromBuffer(storedCRs.data(), 5, 1); }), kMsg);
  // A stored CR is not a CR once transformed.
  EXPECT_EQ(Raised([&] { doc.LoadFromBuffer("\r\r\r", 3, 1); }), "<no error>");
  // Missing and empty files raise the text error with the path.
  EXPECT_EQ(Raised([&] { doc.LoadFromFile("nothere.xml", 0); }), "XMLERROR: the file is empty - nothere.xml");
  WriteFileBytes("empty.xml", "");
  EXPECT_EQ(Raised([&] { doc.LoadFromFile("empty.xml", 0); }), "XMLERROR: the file is empty - empty.xml");
}
