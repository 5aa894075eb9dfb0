// The measured luminaire of outside/servers/data through both readers, the catalogue file and the database.
#include "outside/servers/photometry.h"
#include "outside/servers/qord_file.h"
#include "outside/servers/starter_catalogue.h"
#include "server_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

using namespace qorsrv;
using namespace servers_test;

namespace {

std::string ReadAll(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The candela values of the measured .ies as the file lists them (horizontal angle by horizontal angle), read
// here without the importer: everything after the 13 numbers and the 131 + 360 angles that follow "TILT=NONE".
std::vector<double> RawCandela()
{
  std::string text = ReadAll(SharedIes());
  std::istringstream in(text.substr(text.find("TILT=NONE") + 9));
  in.imbue(std::locale::classic());
  std::vector<double> numbers;
  for (double v; in >> v;)
    numbers.push_back(v);
  return std::vector<double>(numbers.begin() + 13 + 131 + 360, numbers.end());
}

}  // namespace

TEST(MeasuredLuminaire, IesReadsWholeAndReportsTheTooSmallLampFlux)
{
  Photometry p = ReadPhotometricFile(SharedIes());
  EXPECT_EQ(p.format, "IES LM-63-1991");
  EXPECT_EQ(p.symmetry, PlaneSymmetry::Full);
  ASSERT_EQ(p.planes.size(), 361u);  // 0..359 and 360 repeating 0
  ASSERT_EQ(p.gammas.size(), 131u);
  EXPECT_EQ(p.luminaireName, "LED Leuchte Hella 8 NS 010 758-014 mess03");
  // One lamp of 1000 lm declared: cd/klm are the file's candela.
  EXPECT_EQ(p.At(0, 0), 287.66);
  EXPECT_EQ(p.At(0, 60), 899.24);
  EXPECT_EQ(p.At(90, 60), 231.08);
  EXPECT_EQ(p.At(359, 130), 3.894);
  EXPECT_EQ(p.At(360, 60), p.At(0, 60));
  // About 2074 lm out of a declared 1000 lm lamp.
  EXPECT_NEAR(LightOutputRatio(p), 207.4, 0.5);
  ASSERT_EQ(p.warnings.size(), 1u);
  EXPECT_NE(p.warnings[0].find("above 100 %"), std::string::npos);
}

TEST(MeasuredLuminaire, EulumdatAndIesFormsGiveTheSameDistribution)
{
  Photometry ldt = ReadPhotometricFile(SharedLdt());
  Photometry ies = ReadPhotometricFile(SharedIes());
  RestateForLampFlux(ies, kStarterStreetLampFlux);
  EXPECT_EQ(ldt.format, "EULUMDAT");
  EXPECT_EQ(ldt.lampFlux, 2070.0);
  EXPECT_TRUE(ldt.warnings.empty()) << ldt.warnings[0];
  ASSERT_EQ(ldt.planes, ies.planes);
  ASSERT_EQ(ldt.gammas, ies.gammas);
  for (std::size_t i = 0; i < ldt.intensities.size(); ++i)
    ASSERT_NEAR(ldt.intensities[i], ies.intensities[i], 1e-6) << i;
}

TEST(MeasuredLuminaire, StarterCatalogueHandsOutTheMeasuredTableThroughTheInterface)
{
  TempFolder folder;
  BuildStarterCatalogue(folder / "QorRoad.qord", SharedIes());
  Database db;
  LONG status = -1;
  ASSERT_EQ(AddCatalog(db, folder / "QorRoad.qord", TRUE, &status), S_OK);
  LONG count = 0;
  db->LuminaireDbGetCount(&count);
  EXPECT_EQ(count, 2);

  ASSERT_EQ(db->LuminaireDbSelectDefault(), S_OK);
  LuminaireRecord* r = nullptr;
  ASSERT_EQ(db->LuminaireDbGetLuminaire(&r, -1, 0), S_OK);
  EXPECT_EQ(r->textA, "1/hella-8ns010758-014");
  EXPECT_EQ(r->luminaireMaker, "Hella");
  EXPECT_EQ(r->lampType.rfind("СД ", 0), 0u) << r->lampType;
  EXPECT_EQ(r->lampFlux, 2070.0);
  EXPECT_EQ(r->lampCount, 1);
  EXPECT_EQ(r->symmetryWord, 0x10010200u);
  EXPECT_EQ(r->displayName, "Hella 8 NS 010 758-014, светодиодный, 2070 лм");
  // The file's candela, per 1000 lm of the 2070 lm test lamp, at every plane and angle.
  const std::vector<double> candela = RawCandela();
  ASSERT_EQ(candela.size(), 360u * 131u);
  ASSERT_EQ(r->table.rows, 362);
  ASSERT_EQ(r->table.columns, 132);
  for (int g = 0; g < 131; ++g)
    ASSERT_EQ(r->table.At(g + 2, 1), g);
  for (int c = 0; c <= 360; ++c) {
    ASSERT_EQ(r->table.At(1, c + 2), c);
    for (int g = 0; g < 131; ++g)
      ASSERT_NEAR(r->table.At(g + 2, c + 2), candela[(c % 360) * 131 + g] * 1000.0 / 2070.0, 1e-9);
  }

  ASSERT_EQ(db->LuminaireDbGetLuminaire(&r, 1, 0), S_OK);
  EXPECT_EQ(r->extraWord, 1);
  EXPECT_EQ(r->symmetryWord, 0x10100200u);
  EXPECT_NE(r->displayName.find("аналитическое распределение"), std::string::npos);
}

TEST(MeasuredLuminaire, EulumdatImportedIntoACatalogueReadsBackAsTheFileSaysIt)
{
  TempFolder folder;
  const std::string qord = folder / "maker.qord";
  CatalogueInfo info;
  info.id = "200000001";
  info.maker = "Hella";
  info.trademark = "Hella";
  QordFile::OpenForWriting(qord).AddCatalogue(info);
  ImportPhotometricFile(qord, info.id, SharedLdt(), "8ns010758");

  Database db;
  LONG status = -1;
  ASSERT_EQ(AddCatalog(db, qord, FALSE, &status), S_OK);
  LuminaireRecord* r = nullptr;
  ASSERT_EQ(db->LuminaireDbGetLuminaire(&r, 0, 0), S_OK);
  EXPECT_EQ(r->textF, "EULUMDAT");
  EXPECT_EQ(r->textG, "led-street-2070lm.ldt");
  // Intensities stand one per line after 42 header lines, 360 C angles and 131 gamma angles.
  std::istringstream in(ReadAll(SharedLdt()));
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  const std::size_t first = 42 + 360 + 131;
  ASSERT_EQ(lines.size(), first + 360u * 131u);
  for (int c = 0; c <= 360; ++c)
    for (int g = 0; g < 131; ++g)
      ASSERT_EQ(r->table.At(g + 2, c + 2), std::strtod(lines[first + (c % 360) * 131 + g].c_str(), nullptr));
}

TEST(MeasuredLuminaire, TruncatedFileIsRefusedWithItsLineAndLeavesTheCatalogueAsItWas)
{
  TempFolder folder;
  const std::string qord = folder / "c.qord";
  CatalogueInfo info;
  info.id = "c";
  QordFile::OpenForWriting(qord).AddCatalogue(info);
  ImportPhotometricFile(qord, "c", SharedIes(), "whole");

  std::string text = ReadAll(SharedIes());
  std::size_t cut = 0;
  for (int i = 0; i < 3000; ++i)
    cut = text.find('\n', cut) + 1;
  std::ofstream(folder / "cut.ies", std::ios::binary) << text.substr(0, cut);
  try {
    ImportPhotometricFile(qord, "c", folder / "cut.ies", "cut");
    FAIL() << "a truncated file was imported";
  } catch (const PhotometryError& e) {
    EXPECT_EQ(e.file(), "cut.ies");
    EXPECT_EQ(e.line(), 3000);
    EXPECT_NE(std::string(e.what()).find("cut.ies, line 3000"), std::string::npos) << e.what();
  }
  // A batch that fails part-way leaves none of its luminaires behind.
  LuminaireEntry good;
  good.catalogueId = "c";
  good.code = "new";
  good.photometry = ReadPhotometricFile(SharedLdt());
  LuminaireEntry duplicate = good;
  duplicate.code = "whole";
  EXPECT_THROW(QordFile::OpenForWriting(qord).AddLuminaires({good, duplicate}), QordError);
  auto list = QordFile::OpenForReading(qord).Luminaires();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].code, "whole");
}
