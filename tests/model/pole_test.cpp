#include "archive_bytes.h"
#include "fake_servers.h"
#include "model/identifiers.h"
#include "model/pole.h"
#include "model/version.h"
#include "outside/servers/ipole_catalog.h"
#include "platform/com/comerror.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace ObjectModel;

// A pole on its own, with the reference its group would hold.
struct PoleHolder {
  explicit PoleHolder(IQorRoadDoc* doc) : pole(CreatePole(nullptr, doc)) {}
  ~PoleHolder() { pole->Release(); }
  IPole* operator->() const { return pole; }
  IPole* pole;
};

TEST(Pole, WithoutADocumentItUsesUserValues)
{
  PoleHolder p(nullptr);
  EXPECT_EQ(*p->GetTypical(), 0);
  EXPECT_EQ(p->GetLampPost()->GetCurrentBracket(), nullptr);
  EXPECT_EQ(p->GetHeight(0), 10.0);
  EXPECT_EQ(p->GetOutreach(0), 2.0);
  EXPECT_EQ(p->GetTilt(0), 15.0);
  EXPECT_EQ(p->GetPolePrice(), 0.0);
}

TEST(Pole, TypicalGeometryComesFromTheCurrentArm)
{
  ServerDocument doc;
  doc.hasPriceDatabase = false;
  PoleHolder p(&doc);
  EXPECT_EQ(*p->GetTypical(), 1);
  EXPECT_NEAR(p->GetHeight(0), 10.578, 0.0005);
  EXPECT_EQ(p->GetHeight(1), 8.5);
  EXPECT_NEAR(p->GetOutreach(0), 2.290, 0.0005);
  EXPECT_EQ(p->GetOutreach(1), 2.0);
  EXPECT_EQ(p->GetOutreach(3), 0.0);
  EXPECT_EQ(p->GetTilt(0), 15.0);
  EXPECT_EQ(p->GetTilt(1), 0.0);
}

TEST(Pole, DefaultsAskThePricesByTheModels)
{
  ServerDocument doc;
  doc.whole["13:ОТ-8,5"] = 1500000;
  doc.whole["52:ОТ-8,5"] = 250050;
  doc.whole["14:КТ-1"] = 29;
  PoleHolder p(&doc);
  EXPECT_EQ(p->GetPolePrice(), 15000.0);
  EXPECT_EQ(p->GetPoleMountPrice(), 2500.5);
  EXPECT_EQ(p->GetBracketPrice(), 0.29);
  EXPECT_EQ(p->GetBracketMountPrice(), 0.0);  // not known: stays 0

  doc.failingSlot = 14;
  doc.failingCode = E_FAIL;
  EXPECT_THROW(CreatePole(nullptr, &doc), _com_error);
}

TEST(Pole, PricesKeepWholeHundredths)
{
  PoleHolder p(nullptr);
  const double price = 0.29;
  p->SetBracketMountPrice(&price);
  EXPECT_EQ(p->GetBracketMountPrice(), 0.29);
  const double odd = 12.344;
  p->SetPolePrice(&odd);
  EXPECT_EQ(p->GetPolePrice(), 12.34);
}

TEST(Pole, DistanceAndAngleToThePreviousPole)
{
  PoleHolder first(nullptr);
  PoleHolder second(nullptr);
  EXPECT_EQ(first->GetDistanceToPrev(), 0.0);
  EXPECT_EQ(first->GetAngleToPrev(), 0.0);
  const double d = 3.0;
  EXPECT_EQ(first->SetDistanceToPrev(&d), 1);

  second->SetPrev(first.pole);
  const double at[3] = {3, -4, 0};
  second->SetPosition(at);
  EXPECT_EQ(second->GetDistanceToPrev(), 5.0);
  EXPECT_EQ(second->GetAngleToPrev(), -53.13);
  const double ten = 10.0;
  EXPECT_EQ(second->SetDistanceToPrev(&ten), 0);
  EXPECT_NEAR(second->GetPosition()[0], 6.0, 1e-2);
  EXPECT_NEAR(second->GetPosition()[1], -8.0, 1e-2);
  const double up = 90.0;
  second->SetAngleToPrev(&up);
  EXPECT_NEAR(second->GetPosition()[0], 0.0, 1e-9);
  EXPECT_NEAR(second->GetPosition()[1], 10.0, 1e-9);
  second->SetPrev(nullptr);
}

TEST(Pole, AimingBelowTheLightCentre)
{
  PoleHolder p(nullptr);
  const int mode = 0;
  const double aim[3] = {2.0, 0, 0};  // the light centre of the default pole in plan
  p->SetAimPoint(aim);
  EXPECT_EQ(p->ComputeAimTilt(&mode), 90.0);
  EXPECT_EQ(p->ComputeAimTurn(&mode), 0.0);

  const double tilt = 45.0;
  p->ApplyAimTilt(&tilt, &mode);  // height 10: the aim point 10 m beyond the light centre
  double out[3] = {};
  p->GetAimPoint(out);
  EXPECT_NEAR(out[0], 12.0, 1e-9);
  EXPECT_NEAR(p->ComputeAimTilt(&mode), 45.0, 1e-9);
  const double turn = 90.0;
  p->ApplyAimTurn(&turn, &mode);
  p->GetAimPoint(out);
  EXPECT_NEAR(out[0], 2.0, 1e-9);
  EXPECT_NEAR(out[1], 10.0, 1e-9);
  EXPECT_NEAR(p->ComputeAimTurn(&mode), 90.0, 1e-9);
  const double straightDown = 90.0;
  p->ApplyAimTilt(&straightDown, &mode);
  p->GetAimPoint(out);
  EXPECT_NEAR(out[0], 2.0, 1e-9);
  EXPECT_NEAR(out[1], 0.0, 1e-9);
}

// A pole block of a 4.0.9.0 file, written by hand: no aim fields, a pole record with one 4.1-style bracket.
TEST(Pole, OldFileLoadsWithTheGatedDefaults)
{
  Bytes b;
  b.f64s({9.0, 1.5, 0.5, 10.0, 0.0}).i32(1);    // h, a, b, tilt, psi; typical
  b.f64s({1, 2, 3}).i32(33);                     // position (4.0.4.0); coordinate flags (4.0.8.0)
  b.str("P").str("Опора").str("PM").f64(9.0);    // pole record: code, designation, model, height
  b.i32(1).i32(5);                               // one bracket, current index out of range
  b.str("K").str("KM").str("Кронштейн").f64s({1.0, 1.5, 5.0});
  PoleHolder p(nullptr);
  LoadingArchive ar(b.data());
  p->Serialize(ar.get(), MakeFormatVersion(4, 0, 9, 0));
  double aim[3] = {};
  p->GetAimPoint(aim);
  EXPECT_EQ(*p->GetAimFlags(), 19);
  EXPECT_EQ(p->GetAimTilt(), 90.0);
  EXPECT_EQ(*p->GetLuminaireTurn(), 0.0);
  EXPECT_EQ(*p->GetCoordFlags(), 33);
  EXPECT_EQ(p->GetPosition()[2], 3.0);
  const CLampPost* post = p->GetLampPost();
  ASSERT_EQ(post->GetCurrentBracketIndex(), 0);
  const CLampConsole* bracket = post->GetCurrentBracket();
  ASSERT_EQ(bracket->arms.GetSize(), 1);
  EXPECT_EQ(bracket->currentArm, 0);
  EXPECT_EQ(bracket->arms[0].turn, 0.0);
  EXPECT_EQ(bracket->word1, 0);
  EXPECT_NEAR(p->GetHeight(0), 9.0 + 1.0 + 0.3 * std::sin(5.0 * M_PI / 180), 1e-12);
}

TEST(Pole, StoreThenLoadKeepsTheRecordAndNamesTheFirstArmCurrent)
{
  ServerDocument doc;
  doc.hasPriceDatabase = false;
  PoleHolder p(&doc);
  CLampConsole* bracket = p->GetLampPost()->GetCurrentBracket();
  bracket->arms.Add(LAMP_CONSOLE_INFO{3.0, 1.0, 0.0, 180.0, 0, 0, 0});
  bracket->currentArm = 1;
  StoringArchive out;
  p->Serialize(out.get(), kCurrentFormatVersion);
  const auto bytes = out.bytes();
  EXPECT_EQ(bracket->currentArm, 0);

  PoleHolder loaded(nullptr);
  LoadingArchive in(bytes);
  loaded->Serialize(in.get(), kCurrentFormatVersion);
  EXPECT_EQ(loaded->GetLampPost()->GetCurrentBracket()->arms.GetSize(), 2);
  EXPECT_EQ(loaded->GetLampPost()->GetCurrentBracket()->arms[1].turn, 180.0);
  EXPECT_NEAR(loaded->GetHeight(0), 10.578, 0.0005);
  StoringArchive again;
  loaded->Serialize(again.get(), kCurrentFormatVersion);
  EXPECT_EQ(again.bytes(), bytes);
}

TEST(LampPost, BracketListAssignAndTrimmedTexts)
{
  CLampPost post;
  EXPECT_EQ(post.GetCurrentBracketIndex(), -1);
  post.AddBracket("A");
  CLampConsole* b = post.AddBracket("B");
  post.AddBracket("C");
  EXPECT_EQ(post.GetCurrentBracketIndex(), 2);
  post.currentBracket = b;
  b->word3 = 7;

  CLampPost copy;
  copy.AddBracket("old");
  copy.catalogueWord1 = 4;
  post.catalogueWord1 = 9;
  copy.Assign(post);
  EXPECT_EQ(copy.GetBracketCount(), 3);
  EXPECT_EQ(copy.GetCurrentBracketIndex(), 1);
  EXPECT_NE(copy.GetCurrentBracket(), b);
  EXPECT_EQ(copy.GetCurrentBracket()->word3, 7);
  EXPECT_EQ(copy.catalogueWord1, 4);
  EXPECT_EQ(post.GetCurrentBracket(), b);

  post.SetCatalogueText1("КОД   ");
  EXPECT_STREQ(post.code, "КОД");
  post.SetCatalogueText1("   ");
  EXPECT_STREQ(post.code, " ");
  b->currentArm = 3;
  bool refused = false;
  try {
    b->GetRise();
  } catch (CInvalidArgException* e) {
    refused = true;
    e->Delete();
  }
  EXPECT_TRUE(refused);
}

TEST(Pole, UpdateFromTheCatalogueTakesItsRecord)
{
  ServerDocument doc;
  doc.hasPriceDatabase = false;
  PoleHolder p(&doc);
  EXPECT_EQ(p->UpdateFromCatalogue(), 1);  // nothing chosen

  qorsrv::PoleRecord record;
  record.code = "ОТ-10";
  record.height = 10.0;
  record.catalogueWord1 = 3;
  qorsrv::BracketRecord bracket;
  bracket.code = "К2";
  bracket.arms = {{1.0, 1.5, 10.0, 0, 0, 0, 0}, {1.0, 1.5, 10.0, 180, 0, 0, 0}};
  record.brackets = {bracket};
  record.currentBracket = 0;
  doc.pole = &record;
  EXPECT_EQ(p->UpdateFromCatalogue(), 0);
  EXPECT_STREQ(p->GetLampPost()->code, "ОТ-10");
  EXPECT_EQ(p->GetLampPost()->catalogueWord1, 3);
  EXPECT_EQ(p->GetLampPost()->GetCurrentBracket()->arms.GetSize(), 2);
  EXPECT_NEAR(p->GetHeight(1), 10.0, 1e-12);

  doc.hasPoleCatalog = false;
  EXPECT_EQ(p->UpdateFromCatalogue(), 1);
}

}  // namespace
