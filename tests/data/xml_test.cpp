#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "costrak_ehs.h"
#include "costrak_xml.h"
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

std::string ParseToDump(const std::string& text) {
  CXMLDocument doc;
  ParseText(doc, text);
  return DumpDoc(doc);
}

std::string TextErrorOf(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const CEHSTextError& e) {
    return e.Text;
  }
  return "<no error>";
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

}  // namespace

TEST(XMLParser, AttributesReplaceDuplicatesAndSkipUpToTheQuote) {
  EXPECT_EQ(ParseToDump("<a x=\"1\" x=\"2\"/>"), "?{}a{x=2,}()");
  EXPECT_EQ(ParseToDump("<a b = \"c d\"/>"), "?{}a{b=c d,}()");
  // Only double quotes delimit; entities and blanks inside values are kept as written.
  EXPECT_EQ(ParseToDump("<a\tv=\"it's &amp; \"\nw=\"\"/>"), "?{}a{v=it's &amp; ,w=,}()");
}

TEST(XMLParser, ChildrenInOrderTextSkippedClosingNamesNotCompared) {
  EXPECT_EQ(ParseToDump("<a><b/><c></c></a>"), "?{}a{}(b{}()c{}())");
  EXPECT_EQ(ParseToDump("<a><b/><c></b></a>"), "?{}a{}(b{}()c{}())");
  EXPECT_EQ(ParseToDump("<a>text<b/>more</a>"), "?{}a{}(b{}())");
  EXPECT_EQ(ParseToDump("<a/><b/>"), "?{}a{}()");
  EXPECT_EQ(ParseToDump("<a></a><b/>"), "?{}a{}()");
}

TEST(XMLParser, DeclarationAndComments) {
  EXPECT_EQ(ParseToDump("<?xml version=\"1.0\"?><!-- note --><root/>"), "?xml{version=1.0,}root{}()");
  // A comment hides the elements inside it.
  EXPECT_EQ(ParseToDump("<r><!-- <x/> --><y/></r>"), "?{}r{}(y{}())");
  CXMLDocument doc;
  ParseText(doc, kRealistic);
  EXPECT_EQ(DumpDoc(doc),
            "?xml{encoding=utf-8,version=1.0,}techniquespack{}("
            "technique{id=TEQ_STD2,tag=1,}(pass{blend=1,dst=6,src=5,}()stage{colorop=MODULATE,n=0,name=it's,}())"
            "technique{id=TEQ_ADD,}(pass{}()))");
  // Single quotes are ordinary bytes: the value runs between the next two double quotes.
  EXPECT_EQ(ParseToDump("<a n='x' m=\"y\"/>"), "?{}a{n=y,}()");
}

TEST(XMLParser, ChildIndexBoundsAndMissingAttributes) {
  CXMLDocument doc;
  ParseText(doc, "<a k=\"v\"><b/><c/></a>");
  EXPECT_EQ(doc.root.parent, nullptr);
  EXPECT_EQ(doc.root.GetChildCount(), 2);
  EXPECT_EQ(doc.root.GetChildNode(-1), nullptr);
  EXPECT_EQ(doc.root.GetChildNode(2), nullptr);
  ASSERT_NE(doc.root.GetChildNode(1), nullptr);
  EXPECT_EQ(doc.root.GetChildNode(1)->name, "c");
  EXPECT_EQ(doc.root.GetChildNode(0)->GetChildNode(0), nullptr);
  EXPECT_EQ(doc.root.GetAttribute("k"), "v");
  EXPECT_EQ(doc.root.GetAttribute("K"), "");
  EXPECT_EQ(doc.root.GetAttribute("missing"), "");
}

TEST(XMLParser, AttributeWalkRunsInByteOrderOfNames) {
  CXMLDocument doc;
  ParseText(doc, "<a zeta=\"1\" alpha=\"2\" Alpha=\"3\" al=\"4\" \xC3\xA9t\xC3\xA9=\"5\" _=\"6\"/>");
  std::string order;
  doc.root.ResetAttribIterator();
  while (const char* name = doc.root.GetCurrentAttribName()) {
    order += std::string(name) + "=" + doc.root.GetAttribute(name) + ";";
    doc.root.NextAttrib();
  }
  EXPECT_EQ(order, "Alpha=3;_=6;al=4;alpha=2;zeta=1;\xC3\xA9t\xC3\xA9=5;");
  doc.root.NextAttrib();  // already past the end: stays there
  EXPECT_EQ(doc.root.GetCurrentAttribName(), nullptr);
  doc.root.ResetAttribIterator();
  EXPECT_STREQ(doc.root.GetCurrentAttribName(), "Alpha");

  CXMLNode empty;
  empty.ResetAttribIterator();
  EXPECT_EQ(empty.GetCurrentAttribName(), nullptr);
}

TEST(XMLParser, TruncatedAndMalformedTextsKeepWhatWasBuilt) {
  EXPECT_EQ(ParseToDump("<a><b x=\"1\""), "?{}a{}(b{x=1,}())");
  EXPECT_EQ(ParseToDump("<a><b x=\"1"), "?{}a{}(b{}())");  // a value cut off is not stored
  EXPECT_EQ(ParseToDump("<a><b></b"), "?{}a{}(b{}())");
  EXPECT_EQ(ParseToDump("just text"), "?{}{}()");
  EXPECT_EQ(ParseToDump("<!-- never closed <a/>"), "?{}{}()");
  EXPECT_EQ(ParseToDump("<?xml version=\"1.0\""), "?xml{version=1.0,}{}()");
  // A closing tag before any element has nothing to close.
  EXPECT_EQ(ParseToDump("</x><a/>"), "?{}a{}()");
  // CR is no blank inside a tag (a file load keeps a lone CR).
  EXPECT_EQ(ParseToDump("<a\tb=\"1\"\n/>"), "?{}a{b=1,}()");
}

TEST(XMLParser, TruncationsAndGarbageNeverReadOutOfBounds) {
  for (size_t len = 1; len <= kRealistic.size(); ++len) {
    CXMLDocument doc;
    ParseText(doc, kRealistic.substr(0, len));
    // The root is absent, cut off or whole; nothing else can appear.
    EXPECT_EQ(std::string("techniquespack").rfind(doc.root.name, 0), 0u) << len;
  }
  const char* const samples[] = {"<",      "<!",        "<!-",         "<?",         "</",        "<a",
                                 "<a ",    "<a x",      "<a x=",       "<a x=\"",    "<a/",       "<a>",
                                 "<a><",   "<a></",     "<?x?",        "<?x a",      "<a x y z>", "<<<<>>>>",
                                 "<a =\"", "\"<a\">\"", "<a><!--><b/>", "<a></><b/>"};
  for (const char* s : samples) {
    CXMLDocument doc;
    EXPECT_NO_THROW(ParseText(doc, s)) << s;
  }
  std::mt19937 rng(12345);
  const std::string alphabet = "<>/?!-=\" \t\nab";
  for (int round = 0; round < 2000; ++round) {
    std::string text(1 + rng() % 40, ' ');
    for (char& c : text) c = alphabet[rng() % alphabet.size()];
    CXMLDocument doc;
    ParseText(doc, text);
  }
}

TEST(XMLParser, DeepTreesAreBuiltAndFreedWithoutRecursion) {
  std::string text;
  const int depth = 200000;
  for (int i = 0; i < depth; ++i) text += "<n>";
  {
    CXMLDocument doc;
    ParseText(doc, text);
    const CXMLNode* node = &doc.root;
    int levels = 1;
    while (node->GetChildCount() == 1) {
      node = node->GetChildNode(0);
      ++levels;
    }
    EXPECT_EQ(levels, depth);
  }
}

TEST(XMLParser, ParsingTwiceGivesTheSameTree) {
  CXMLDocument doc;
  ParseText(doc, kRealistic);
  const std::string first = DumpDoc(doc);
  doc.Parse();
  EXPECT_EQ(DumpDoc(doc), first);
}

TEST(XMLParser, EncryptModeRoundTrip) {
  std::string stored = kRealistic;
  XML_TransformBytes(stored.data(), stored.size());
  EXPECT_NE(stored, kRealistic);
  CXMLDocument plain, encrypted;
  ParseText(plain, kRealistic, 0);
  ParseText(encrypted, stored, 1);
  EXPECT_EQ(DumpDoc(encrypted), DumpDoc(plain));
  EXPECT_EQ(encrypted.GetText(), kRealistic);

  // Only the byte value 1 turns the mode on.
  CXMLDocument other;
  ParseText(other, "<a/>", 2);
  EXPECT_EQ(other.root.name, "a");

  // CR is dropped after the transform: a stored 0x0D is a plain byte 0xAA.
  std::string withCR = "<a\r\n/>";
  XML_TransformBytes(withCR.data(), withCR.size());
  CXMLDocument dropped;
  ParseText(dropped, withCR, 1);
  EXPECT_EQ(dropped.GetText(), "<a\n/>");
}

TEST(XMLParser, EmptyBuffersRaiseTheTextError) {
  CXMLDocument doc;
  const std::string kMsg = "XMLERROR: buffer is empty.";
  EXPECT_EQ(TextErrorOf([&] { doc.LoadFromBuffer("", 0, 0); }), kMsg);
  EXPECT_EQ(TextErrorOf([&] { doc.LoadFromBuffer("<a/>", -4, 0); }), kMsg);
  EXPECT_EQ(TextErrorOf([&] { doc.LoadFromBuffer(nullptr, 10, 0); }), kMsg);
  EXPECT_EQ(TextErrorOf([&] { doc.LoadFromBuffer("\r\r\r", 3, 0); }), kMsg);
  const std::string storedCRs(5, static_cast<char>('\r' ^ XML_ENCRYPT_KEY));
  EXPECT_EQ(TextErrorOf([&] { doc.LoadFromBuffer(storedCRs.data(), 5, 1); }), kMsg);
  // A stored CR is not a CR once transformed.
  EXPECT_EQ(TextErrorOf([&] { doc.LoadFromBuffer("\r\r\r", 3, 1); }), "<no error>");
}

class XMLFileTest : public TempDirTest {};

TEST_F(XMLFileTest, CRLFFileGivesTheSameTreeAsLFAndAsTheBuffer) {
  std::string crlf;
  for (char c : kRealistic) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  WriteFileBytes("lf.xml", kRealistic);
  WriteFileBytes("crlf.xml", crlf);
  CXMLDocument lf, fromCrlf, buffer;
  lf.LoadFromFile("lf.xml", 0);
  lf.Parse();
  fromCrlf.LoadFromFile("crlf.xml", 0);
  fromCrlf.Parse();
  ParseText(buffer, crlf);
  EXPECT_EQ(fromCrlf.GetText(), kRealistic);
  EXPECT_EQ(DumpDoc(fromCrlf), DumpDoc(lf));
  EXPECT_EQ(DumpDoc(buffer), DumpDoc(lf));

  // A lone CR is no line end and stays; CR LF pairs are joined before the transform.
  WriteFileBytes("lone.xml", "<a\rb=\"1\"/>");
  CXMLDocument lone;
  lone.LoadFromFile("lone.xml", 0);
  EXPECT_EQ(lone.GetText(), "<a\rb=\"1\"/>");
  std::string stored = "<a>\r\n</a>";
  XML_TransformBytes(stored.data(), stored.size());
  stored.insert(3, "\r\n");  // a raw CR LF inside the stored form
  WriteFileBytes("enc.xml", stored);
  CXMLDocument enc;
  enc.LoadFromFile("enc.xml", 1);
  EXPECT_EQ(enc.GetText(), std::string("<a>") + static_cast<char>('\n' ^ XML_ENCRYPT_KEY) + "\r\n</a>");
}

TEST_F(XMLFileTest, MissingOrEmptyFilesRaiseTheTextErrorWithThePath) {
  CXMLDocument doc;
  EXPECT_EQ(TextErrorOf([&] { doc.LoadFromFile("nothere.xml", 0); }), "XMLERROR: the file is empty - nothere.xml");
  WriteFileBytes("empty.xml", "");
  EXPECT_EQ(TextErrorOf([&] { doc.LoadFromFile("empty.xml", 0); }), "XMLERROR: the file is empty - empty.xml");
}
