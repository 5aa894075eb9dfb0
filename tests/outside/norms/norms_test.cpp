// The norms library stand-in: its class dialog over a record the program hands it, by the program's own path
// (loaded by name, through the norms record) and on a block laid out by hand.
#include "outside/norms/norms.h"

#include "model/standards.h"
#include "platform/base/module.h"
#include "platform/user/controls.h"
#include "platform/user/dialog.h"
#include "platform/user/msgbox.h"
#include "platform/user/window.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

class NormsLibrary : public ::testing::Test {
protected:
  void SetUp() override { qorstd::RegisterLibrary(); }
  void TearDown() override
  {
    user::SetModalResponder(nullptr);
    platform::UnregisterModule(qorstd::kModuleName);
  }

  // Answers the class dialog: picks the entry `index` (when not -1) and presses `answer`; the list is kept.
  void Answer(int index, int answer)
  {
    user::SetModalResponder([this, index, answer](const user::ModalQuestion& q) {
      captions.push_back(q.caption);
      HWND list = GetDlgItem(q.dialog, qorstd::kClassListId);
      entries.clear();
      const auto count = static_cast<int>(SendMessage(list, LB_GETCOUNT, 0, 0));
      for (int i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessage(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        entries.emplace_back(text);
      }
      selectedAtOpen = static_cast<int>(SendMessage(list, LB_GETCURSEL, 0, 0));
      if (index >= 0)
        SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
      return answer;
    });
  }

  std::vector<std::string> captions;
  std::vector<std::string> entries;
  int selectedAtOpen = -2;
};

TEST_F(NormsLibrary, TheChosenClassFillsTheAreaRecordThroughTheProgramsPath)
{
  CStandardsOfRoad norms;
  const int document = 2;
  norms.SetNormDocument(&document);
  Answer(4, IDOK);
  ASSERT_NE(CStandardsOfRoad::RunWizard(&norms), 0);

  ASSERT_EQ(captions.size(), 1u);
  EXPECT_EQ(captions[0], "Нормы: СП 52.13330.2011");
  ASSERT_GE(entries.size(), 5u);
  EXPECT_EQ(entries[4].rfind("Б1", 0), 0u) << entries[4];
  const _STANDARDS_OF_ROAD& r = *norms.GetRecord();
  EXPECT_EQ(r.normDocumentId, 2);
  EXPECT_STREQ(r.objectClass, "Б1");
  EXPECT_DOUBLE_EQ(r.documentValues[kNormRoadLuminance], 0.8);
  EXPECT_DOUBLE_EQ(r.effectiveValues[kNormRoadLuminance], 0.8);
  // Indicators the class does not set carry no requirement.
  EXPECT_DOUBLE_EQ(r.documentValues[kNormRoadIlluminance], -1.0);
  EXPECT_DOUBLE_EQ(r.roadMaximum[0], -1.0);

  // Asked again, the dialog opens on the class the record holds.
  Answer(-1, IDCANCEL);
  EXPECT_EQ(CStandardsOfRoad::RunWizard(&norms), 0);
  EXPECT_EQ(selectedAtOpen, 4);
  EXPECT_STREQ(norms.GetRecord()->objectClass, "Б1");
}

TEST_F(NormsLibrary, CancelAndUnknownDocumentsLeaveTheRecordAlone)
{
  for (int document : {1, 0, 7, -3}) {
    SCOPED_TRACE(document);
    captions.clear();
    CStandardsOfRoad norms;
    norms.SetNormDocument(&document);
    std::strcpy(norms.GetRecord()->objectClass, "прежний");
    _STANDARDS_OF_ROAD before;
    std::memcpy(&before, norms.GetRecord(), sizeof before);
    Answer(0, IDCANCEL);
    EXPECT_EQ(CStandardsOfRoad::RunWizard(&norms), 0);
    // Only a document the library knows opens the dialog.
    EXPECT_EQ(captions.size(), document == 1 ? 1u : 0u);
    before.ownerWindow = norms.GetRecord()->ownerWindow;
    EXPECT_EQ(std::memcmp(&before, norms.GetRecord(), sizeof before), 0);
  }
}

TEST_F(NormsLibrary, TheBlockIsFilledAtTheOffsetsOfTheExchange)
{
  // 1336 bytes: document id at 4, the class text from 8, the norms word at 1032, the document values from 1048,
  // the effective ones from 1128, the threshold increment pair at 1208.
  std::vector<unsigned char> block(1336, 0xAB);
  const std::int32_t document = 3;
  std::memset(block.data(), 0, 4);
  std::memcpy(block.data() + 4, &document, 4);
  block[8] = 0;  // an empty class
  Answer(1, IDOK);
  ASSERT_EQ(qorstd::StartOfWizard(block.data(), 255), 1);

  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data() + 8)), "А2");
  EXPECT_EQ(block[8 + 3], 0u);  // the rest of the field is cleared
  EXPECT_EQ(block[1031], 0u);
  std::int32_t word = 0;
  std::memcpy(&word, block.data() + 1032, 4);
  EXPECT_EQ(word, 2);
  double luminance = 0;
  double effective = 0;
  double increment[2] = {};
  std::memcpy(&luminance, block.data() + 1048, 8);
  std::memcpy(&effective, block.data() + 1128, 8);
  std::memcpy(increment, block.data() + 1208, 16);
  EXPECT_DOUBLE_EQ(luminance, 1.5);
  EXPECT_DOUBLE_EQ(effective, 1.5);
  EXPECT_DOUBLE_EQ(increment[0], 10);
  EXPECT_DOUBLE_EQ(increment[1], 10);
  // Past the values the library leaves the block as it came.
  EXPECT_EQ(block[1288], 0xAB);
  EXPECT_EQ(block[1335], 0xAB);
  EXPECT_EQ(qorstd::StartOfWizard(nullptr, 255), 0);
}

}  // namespace
