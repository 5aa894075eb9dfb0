// The common dialog classes without a screen: what each puts into its record for the responder, and what it
// reads back from the answer.
#include "platform/gdi/wingdi.h"
#include "platform/mfc/afxwin.h"
#include "platform/user/global_memory.h"
#include "platform/user/msgbox.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Answers every question with OK after letting `fill` change the record; keeps the kinds asked.
class Answering {
public:
  explicit Answering(std::function<void(const user::ModalQuestion&)> fill)
  {
    user::SetModalResponder([this, fill](const user::ModalQuestion& q) {
      asked.push_back(q.kind);
      fill(q);
      return IDOK;
    });
  }
  ~Answering() { user::SetModalResponder(nullptr); }
  std::vector<user::ModalQuestion::Kind> asked;
};

TEST(CFileDialogClass, TheFrameworkFilterBecomesThePairsAndTheAnswerSplitsIntoItsParts)
{
  CFileDialog dlg(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                  "Все файлы изображений (*.bmp; *.dxf)|*.bmp;*.dxf||");
  std::vector<user::commdlg::FileFilter> seen;
  DWORD flags = 0;
  Answering answer([&](const user::ModalQuestion& q) {
    auto* ofn = static_cast<OPENFILENAME*>(q.record);
    seen = user::commdlg::ParseFilter(ofn->lpstrFilter);
    flags = ofn->Flags;
    q.reply = "/data/планы/план.v2.DXF";
  });
  ASSERT_EQ(dlg.DoModal(), IDOK);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].name, "Все файлы изображений (*.bmp; *.dxf)");
  EXPECT_EQ(seen[0].patterns, (std::vector<std::string>{"*.bmp", "*.dxf"}));
  EXPECT_EQ(flags & (OFN_FILEMUSTEXIST | OFN_HIDEREADONLY), OFN_FILEMUSTEXIST | OFN_HIDEREADONLY);
  EXPECT_EQ(answer.asked, std::vector<user::ModalQuestion::Kind>{user::ModalQuestion::Kind::OpenFile});

  EXPECT_EQ(dlg.GetPathName(), "/data/планы/план.v2.DXF");
  EXPECT_EQ(dlg.GetFileName(), "план.v2.DXF");
  EXPECT_EQ(dlg.GetFileExt(), "DXF");
  EXPECT_EQ(dlg.GetFileTitle(), "план.v2");
  std::vector<CString> paths;
  for (POSITION pos = dlg.GetStartPosition(); pos != nullptr;) {
    paths.push_back(dlg.GetNextPathName(pos));
  }
  EXPECT_EQ(paths, std::vector<CString>{CString("/data/планы/план.v2.DXF")});
}

TEST(CFileDialogClass, ASaveTakesTheDefaultExtensionAndACancelAnswersCancel)
{
  CFileDialog save(FALSE, "qorr5", "Дорога");
  {
    Answering answer([](const user::ModalQuestion& q) {
      EXPECT_STREQ(static_cast<OPENFILENAME*>(q.record)->lpstrFile, "Дорога");
      q.reply = "/home/user/Дорога";
    });
    ASSERT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.GetPathName(), "/home/user/Дорога.qorr5");
    EXPECT_EQ(save.GetFileExt(), "qorr5");
  }
  user::ScriptedResponder nobody;
  CFileDialog open(TRUE);
  EXPECT_EQ(open.DoModal(), IDCANCEL);
  EXPECT_EQ(open.GetPathName(), "");
  EXPECT_EQ(open.GetFileExt(), "");
  EXPECT_EQ(open.GetStartPosition(), nullptr);
}

TEST(CColorDialogClass, TheInitialColourAndTheSharedCustomColoursReachTheRecord)
{
  CColorDialog dlg(RGB(10, 20, 30), CC_FULLOPEN);
  EXPECT_EQ(dlg.m_cc.Flags, CC_FULLOPEN | CC_RGBINIT);
  EXPECT_EQ(dlg.m_cc.lpCustColors, CColorDialog::GetSavedCustomColors());
  EXPECT_EQ(CColorDialog::GetSavedCustomColors()[15], RGB(255, 255, 255));
  COLORREF offered = 0;
  Answering answer([&](const user::ModalQuestion& q) {
    auto* cc = static_cast<CHOOSECOLOR*>(q.record);
    offered = cc->rgbResult;
    cc->rgbResult = RGB(200, 100, 0);
  });
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(offered, RGB(10, 20, 30));
  EXPECT_EQ(dlg.GetColor(), RGB(200, 100, 0));
  // Black is no initial colour: the dialog starts from its own.
  EXPECT_EQ(CColorDialog(0).m_cc.Flags & CC_RGBINIT, 0u);
}

TEST(CFontDialogClass, TheInitialFontGoesInAndTheChosenOneComesOut)
{
  LOGFONTA initial;
  initial.lfHeight = -13;
  initial.lfWeight = FW_NORMAL;
  std::strcpy(initial.lfFaceName, "Tahoma");
  CFontDialog dlg(&initial, CF_SCREENFONTS);
  EXPECT_EQ(dlg.m_cf.Flags, CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT);
  Answering answer([](const user::ModalQuestion& q) {
    auto* cf = static_cast<CHOOSEFONT*>(q.record);
    EXPECT_STREQ(cf->lpLogFont->lfFaceName, "Tahoma");
    cf->lpLogFont->lfWeight = FW_BOLD;
    cf->lpLogFont->lfItalic = 1;
    cf->lpLogFont->lfHeight = -16;
    cf->iPointSize = 120;
  });
  ASSERT_EQ(dlg.DoModal(), IDOK);
  LOGFONTA chosen;
  dlg.GetCurrentFont(&chosen);
  EXPECT_EQ(chosen.lfHeight, -16);
  EXPECT_TRUE(dlg.IsBold());
  EXPECT_TRUE(dlg.IsItalic());
  EXPECT_FALSE(dlg.IsUnderline());
  EXPECT_EQ(dlg.GetFaceName(), "Tahoma");
  EXPECT_EQ(dlg.GetSize(), 120);
  EXPECT_EQ(initial.lfWeight, FW_NORMAL);  // the caller's font is only read
}

TEST(CPrintDialogClass, DefaultsNameThePdfPrinterAndTheChosenSettingsMakeItsDc)
{
  CPrintDialog dlg(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOSELECTION);
  ASSERT_TRUE(dlg.GetDefaults());
  EXPECT_EQ(dlg.m_pd.Flags & PD_RETURNDEFAULT, 0u);
  EXPECT_EQ(dlg.GetDeviceName(), "PDF");
  EXPECT_EQ(dlg.GetPortName(), "");
  DEVMODEA* mode = dlg.GetDevMode();
  ASSERT_NE(mode, nullptr);
  EXPECT_EQ(mode->dmPaperSize, DMPAPER_A4);
  mode->dmCopies = 3;
  GlobalUnlock(dlg.m_pd.hDevMode);

  Answering answer([](const user::ModalQuestion& q) {
    auto* pd = static_cast<PRINTDLG*>(q.record);
    pd->Flags |= PD_PAGENUMS;
    pd->nFromPage = 2;
    pd->nToPage = 5;
    q.reply = "/tmp/отчёт.pdf";  // the file the printer writes
  });
  ASSERT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(dlg.PrintRange());
  EXPECT_FALSE(dlg.PrintAll());
  EXPECT_EQ(dlg.GetFromPage(), 2);
  EXPECT_EQ(dlg.GetToPage(), 5);
  EXPECT_EQ(dlg.GetCopies(), 3);  // from the settings, as PD_USEDEVMODECOPIES asks
  EXPECT_EQ(dlg.GetPortName(), "/tmp/отчёт.pdf");
  HDC dc = dlg.CreatePrinterDC();
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
  EXPECT_EQ(dlg.GetPrinterDC(), dc);  // freed with the dialog
  GlobalFree(dlg.m_pd.hDevMode);
  GlobalFree(dlg.m_pd.hDevNames);
}

TEST(FilePrompt, WithoutAScriptOrAScreenTheQuestionIsCancelled)
{
  platform::mfc::FileNamePrompt prompt;
  prompt.open = true;
  prompt.filter = "Проекты (*.qorr5)|*.qorr5||";
  EXPECT_FALSE(platform::mfc::AskFileName(prompt).has_value());
  platform::mfc::ScriptedFileNames script;
  script.Answer("/home/user/a.qorr5");
  EXPECT_EQ(platform::mfc::AskFileName(prompt), std::optional<CString>(CString("/home/user/a.qorr5")));
}

}  // namespace
