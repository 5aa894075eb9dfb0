// A frame with a view that prints numbered pages and records every printing call, and a stand-in user who
// answers the print dialog (a page range, a PDF file, or Cancel) and the message boxes.
#pragma once

#include "platform/mfc/afxwin.h"
#include "platform/mfc/preview.h"
#include "platform/mfc/printing.h"
#include "platform/user/global_memory.h"
#include "platform/user/msgbox.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace printtest {

inline std::string Output(const std::string& command)
{
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) {
    return out;
  }
  std::array<char, 4096> buffer;
  while (std::fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr) {
    out += buffer.data();
  }
  return out;
}

inline int PdfPages(const std::string& path)
{
  const std::string info = Output("pdfinfo '" + path + "' 2>/dev/null");
  const std::size_t at = info.find("Pages:");
  return at == std::string::npos ? 0 : std::atoi(info.c_str() + at + 6);
}

// Prints "Page N" large at the top of page N, a frame round the printable area; `pages` long (0xFFFF: it does
// not say), and stops or breaks where a test asks.
class CPagesView : public CView {
public:
  UINT pages = 3;
  UINT stopAt = 0;   // OnPrepareDC refuses this page
  UINT breakAt = 0;  // OnPrint ends this page itself, so the framework's EndPage fails
  bool refuse = false;  // OnPreparePrinting says no
  std::vector<std::string> log;
  UINT drawing = 0;

  BOOL OnPreparePrinting(CPrintInfo* pInfo) override
  {
    log.push_back(pInfo->m_bPreview ? "prepare preview" : "prepare");
    if (pages != 0xFFFF) {
      pInfo->SetMaxPage(pages);
    }
    return !refuse && DoPreparePrinting(pInfo);
  }
  void OnBeginPrinting(CDC* pDC, CPrintInfo*) override { log.push_back(pDC->IsPrinting() ? "begin" : "begin?"); }
  void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) override
  {
    CView::OnPrepareDC(pDC, pInfo);
    if (pInfo != nullptr) {
      log.push_back("dc " + std::to_string(pInfo->m_nCurPage));
      if (pInfo->m_nCurPage == stopAt) {
        pInfo->m_bContinuePrinting = FALSE;
      }
    }
  }
  void OnPrint(CDC* pDC, CPrintInfo* pInfo) override
  {
    log.push_back("print " + std::to_string(pInfo->m_nCurPage));
    drawing = pInfo->m_nCurPage;
    CView::OnPrint(pDC, pInfo);  // draws with OnDraw
    if (pInfo->m_nCurPage == breakAt) {
      ::EndPage(pDC->m_hDC);
    }
  }
  void OnDraw(CDC* pDC) override
  {
    if (!pDC->IsPrinting()) {
      return;
    }
    const int w = pDC->GetDeviceCaps(HORZRES);
    const int h = pDC->GetDeviceCaps(VERTRES);
    CPen pen(PS_SOLID, std::max(w / 200, 1), RGB(0, 0, 160));
    CPen* oldPen = pDC->SelectObject(&pen);
    pDC->SelectStockObject(NULL_BRUSH);
    pDC->Rectangle(w / 20, h / 20, w - w / 20, h - h / 20);
    CFont font;
    font.CreateFont(-h / 12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, PROOF_QUALITY, VARIABLE_PITCH,
                    "MS Sans Serif");
    CFont* oldFont = pDC->SelectObject(&font);
    const std::string text = "Page " + std::to_string(drawing);
    pDC->TextOut(w / 8, h / 8, text.c_str(), static_cast<int>(text.size()));
    pDC->SelectObject(oldFont);
    pDC->SelectObject(oldPen);
  }
  void OnEndPrinting(CDC*, CPrintInfo*) override { log.push_back("end"); }

  DECLARE_MESSAGE_MAP()
};

// The user: answers the print dialog as told and reads every message box.
struct User {
  int answer = IDOK;
  int from = 0;  // a page range when non-zero
  int to = 0;
  std::string file;  // the PDF printer's file
  int printDialogs = 0;
  std::vector<std::string> messages;
};

class PrintFixture : public ::testing::Test {
protected:
  void SetUp() override
  {
    afx_print::ResetAppPrinter();
    folder_ = std::filesystem::temp_directory_path() / ("tesmira-printtest-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    user_.file = File("out.pdf");
    user::SetModalResponder([this](const user::ModalQuestion& q) {
      if (q.kind == user::ModalQuestion::Kind::MessageBox) {
        user_.messages.push_back(q.text);
        return IDOK;
      }
      if (q.kind == user::ModalQuestion::Kind::Dialog && q.record != nullptr && q.caption == "Печать") {
        ++user_.printDialogs;
        auto* pd = static_cast<PRINTDLG*>(q.record);
        if (user_.from != 0) {
          pd->Flags |= PD_PAGENUMS;
          pd->nFromPage = static_cast<WORD>(user_.from);
          pd->nToPage = static_cast<WORD>(user_.to);
        }
        q.reply = user_.file;
        return user_.answer;
      }
      return IDCANCEL;
    });
    frame_ = new CFrameWnd;
    ASSERT_TRUE(frame_->Create(nullptr, "Печать", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 820, 640)));
    view_ = new CPagesView;
    CRect client;
    frame_->GetClientRect(&client);
    ASSERT_TRUE(view_->Create(nullptr, "", WS_CHILD | WS_VISIBLE, client, frame_, AFX_IDW_PANE_FIRST));
    frame_->SetActiveView(view_);
  }

  void TearDown() override
  {
    if (frame_ != nullptr && ::IsWindow(frame_->m_hWnd)) {
      frame_->DestroyWindow();
    }
    Pump();
    user::SetModalResponder(nullptr);
    afx_print::ResetAppPrinter();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  std::string File(const std::string& name) const { return (folder_ / name).string(); }

  // The application's printer: the PDF printer writing `path`, as if chosen before.
  static void ChoosePdfPrinter(const std::string& path)
  {
    PRINTDLG pd;
    ASSERT_TRUE(afx_print::GetPrinterDeviceDefaults(&pd));
    const std::string driver = "winspool";
    const std::string device = "PDF";
    const std::size_t size = sizeof(DEVNAMES) + driver.size() + device.size() + path.size() + 3;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* names = static_cast<DEVNAMES*>(::GlobalLock(block));
    char* base = reinterpret_cast<char*>(names);
    names->wDriverOffset = sizeof(DEVNAMES);
    names->wDeviceOffset = static_cast<WORD>(names->wDriverOffset + driver.size() + 1);
    names->wOutputOffset = static_cast<WORD>(names->wDeviceOffset + device.size() + 1);
    std::copy(driver.begin(), driver.end(), base + names->wDriverOffset);
    std::copy(device.begin(), device.end(), base + names->wDeviceOffset);
    std::copy(path.begin(), path.end(), base + names->wOutputOffset);
    ::GlobalUnlock(block);
    ::GlobalFree(afx_print::AppDevNames());
    afx_print::AppDevNames() = block;
  }

  static void Pump()
  {
    MSG msg;
    while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessage(&msg);
    }
  }

  std::filesystem::path folder_;
  User user_;
  CFrameWnd* frame_ = nullptr;
  CPagesView* view_ = nullptr;
};

}  // namespace printtest
