#include "catalogues/manager/catalogue_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace ManagementPlugins;

std::vector<std::string> IdsOf(const CatalogueIndexReading& r)
{
  std::vector<std::string> ids;
  for (const OfferedCatalogue& c : r.offered)
    ids.push_back(c.id);
  return ids;
}

CatalogueIndexReading Read(const std::string& catalogues, const std::vector<InstalledCatalogue>& installed = {})
{
  xml::DomDocument document;
  EXPECT_TRUE(document.LoadXml("<plugins><organizations>" + catalogues + "</organizations></plugins>"));
  return ReadCatalogueIndex(document, installed);
}

TEST(CatalogueIndex, WhatIsOfferedAndWhatIsMarkedForUpdate)
{
  const CatalogueIndexReading r = Read(
      "<org><id>100000001</id><name>Older</name><date>20240101</date></org>"    // installed 20230101: update
      "<org><id>100000002</id><date>20230101</date><name>Same</name></org>"     // installed, same date
      "<org><id>100000009</id><name>Installed, no date</name></org>"
      "<org><id>100000003</id><name>Licensed</name><license_type>3</license_type></org>"
      "<org><id>100000004</id><name>Free</name><license_type>2</license_type><date>5</date>"
      "<icon>https://pictures.example/a.png</icon><extra>ignored</extra></org>"
      "<org><name>Before its id</name><id>100000005</id></org>"
      "<org><id>100000006</id><name>Never read</name></org>",
      {{"100000001", 20230101}, {"100000002", 20230101}, {"100000009", 1}});
  // A known element before "id" ends the reading with the error; what came before stays.
  EXPECT_TRUE(r.error);
  EXPECT_EQ(IdsOf(r), std::vector<std::string>{"100000004"});
  EXPECT_EQ(r.updates, std::vector<std::string>{"100000001"});
  ASSERT_EQ(r.offered.size(), 1u);
  EXPECT_EQ(r.offered[0].trademark, "Free");  // no trademark: the name stands in
  EXPECT_EQ(r.offered[0].date, 5);
  EXPECT_EQ(r.offered[0].iconAddress, "https://pictures.example/a.png");
}

TEST(CatalogueIndex, HostileEntriesAreDroppedAndReadingGoesOn)
{
  const std::string longText(300, 'x');
  const CatalogueIndexReading r =
      Read("<o><id>../../.bashrc</id><name>a</name></o>"
           "<o><id>a/b</id></o><o><id>a\\b</id></o><o><id>x?y</id></o><o><id>x#y</id></o><o><id>x%2e</id></o>"
           "<o><id>x&#9;y</id></o><o><id>" +
           std::string(65, '1') + "</id></o><o><name>no id at all</name></o>"
           "<o><id>after</id></o>");
  // Hostile ids are passed over; the entry without an id meets "name" first, which is the index's error.
  EXPECT_TRUE(r.error);
  EXPECT_EQ(IdsOf(r), std::vector<std::string>{});

  const CatalogueIndexReading rest =
      Read("<o><id>" + std::string(64, '7') + "</id><name>" + longText + "</name><trademark>T</trademark>"
           "<icon>file:///etc/passwd</icon></o>"
           "<o><id>ok</id><icon>javascript:alert(1)</icon><trademark>Ok</trademark></o>"
           "<o><id>ok2</id><icon>HTTP://pictures.example/b.bmp</icon></o><o><id>a/b</id></o><o>text</o>");
  EXPECT_FALSE(rest.error);
  EXPECT_EQ(IdsOf(rest), (std::vector<std::string>{std::string(64, '7'), "ok", "ok2"}));
  EXPECT_EQ(rest.offered[0].name.size(), kMaxCatalogueTextLength);
  EXPECT_EQ(rest.offered[0].iconAddress, "");
  EXPECT_EQ(rest.offered[1].iconAddress, "");
  EXPECT_EQ(rest.offered[2].iconAddress, "HTTP://pictures.example/b.bmp");
}

TEST(CatalogueIndex, IdsThatCanNameAFileAndAnAddress)
{
  struct Case {
    std::string id;
    bool safe;
  };
  const Case cases[] = {{"100000001", true},   {"Maker-2024_v2", true},     {"", false},   {"..", false},
                        {"a..b", false},       {"a/b", false},              {"a\\b", false}, {"a?b", false},
                        {"a#b", false},        {"a%b", false},              {"a:b", false},  {"a\nb", false},
                        {std::string(64, 'a'), true}, {std::string(65, 'a'), false}};
  for (const Case& c : cases)
    EXPECT_EQ(IsSafeCatalogueId(c.id), c.safe) << c.id;
}

TEST(CatalogueIndex, AnIndexWithoutOrganizationsIsAnError)
{
  xml::DomDocument document;
  ASSERT_TRUE(document.LoadXml("<plugins><organisations><o><id>1</id></o></organisations></plugins>"));
  EXPECT_TRUE(ReadCatalogueIndex(document, {}).error);
  xml::DomDocument empty;
  EXPECT_TRUE(ReadCatalogueIndex(empty, {}).error);
}

}  // namespace
