#include "platform/xml/dom_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> NamesOf(const std::vector<xml::DomNode>& nodes)
{
  std::vector<std::string> names;
  for (const xml::DomNode& n : nodes)
    names.push_back(n.NodeName());
  return names;
}

TEST(DomDocument, NamesChildrenAndTextsInDocumentOrder)
{
  xml::DomDocument document;
  // UTF-8 on the wire, code page 1251 out; the sun is no cp1251 character.
  ASSERT_TRUE(document.LoadXml("<?xml version=\"1.0\"?>\n<root>\n  <organizations>\n    <org><id>7</id>"
                               "<name>\xD0\xA1\xD0\xB2\xD0\xB5\xD1\x82 &amp; \xE2\x98\x80</name>"
                               "<note>a<![CDATA[<b>]]>c<!-- x --></note></org>\n  </organizations>\n</root>"));
  const xml::DomNode root = document.DocumentElement();
  EXPECT_EQ(root.NodeName(), "root");
  const auto top = root.ChildNodes();
  ASSERT_EQ(NamesOf(top), std::vector<std::string>{"organizations"});
  const auto org = top[0].ChildNodes()[0].ChildNodes();
  EXPECT_EQ(NamesOf(org), (std::vector<std::string>{"id", "name", "note"}));
  EXPECT_EQ(org[0].Text(), "7");
  EXPECT_EQ(org[1].Text(), "Свет & ?");
  EXPECT_EQ(org[2].Text(), "a<b>c");
  EXPECT_EQ(NamesOf(org[2].ChildNodes()), (std::vector<std::string>{"#text", "#cdata-section", "#text"}));
  EXPECT_EQ(root.Text(), "7Свет & ?a<b>c");
}

TEST(DomDocument, RefusesWhatIsNoDocumentOrTooLarge)
{
  struct Case {
    const char* what;
    std::string bytes;
    std::size_t cap;
  };
  const Case cases[] = {
      {"unclosed element", "<root><organizations></root>", xml::kDefaultMaxDocumentBytes},
      {"not XML at all", "<html>\x01\x02", xml::kDefaultMaxDocumentBytes},
      {"empty", "", xml::kDefaultMaxDocumentBytes},
      {"no element", "<?xml version=\"1.0\"?>", xml::kDefaultMaxDocumentBytes},
      {"over the cap", "<root>" + std::string(100, 'x') + "</root>", 64},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    xml::DomDocument document;
    EXPECT_FALSE(document.LoadXml(c.bytes, c.cap));
    EXPECT_TRUE(document.DocumentElement().IsNull());
    EXPECT_FALSE(document.ParseError().empty());
    EXPECT_TRUE(document.DocumentElement().ChildNodes().empty());
  }
  xml::DomDocument missing;
  EXPECT_FALSE(missing.Load("/nonexistent/index.xml"));
}

TEST(DomDocument, DeclaredEntitiesAreNeverExpanded)
{
  // A document that would grow to gigabytes if its entities were expanded.
  const std::string bomb =
      "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
      "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]><r><id>&c;</id></r>";
  xml::DomDocument document;
  ASSERT_TRUE(document.LoadXml(bomb));
  EXPECT_EQ(document.DocumentElement().Text(), "&c;");
}

}  // namespace
