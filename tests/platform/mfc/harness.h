// A small application for the framework's tests: a document, its view, a frame, a single-document template
// and the application, each with a command map that records who handled what; a string table with the
// framework's texts; and a private folder for files and the profile.
#pragma once

#include "platform/base/fileops.h"
#include "platform/mfc/afxwin.h"
#include "platform/user/msgbox.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace mfctest {

// Test commands. Which classes handle each is the routing table of msgmap_test.cpp.
enum : UINT {
  kCmdAll = 40001,          // view, document, template, frame, application
  kCmdDocDown = 40002,      // document, template, frame, application
  kCmdTemplateDown = 40003, // template, frame, application
  kCmdFrameDown = 40004,    // frame, application
  kCmdAppOnly = 40005,      // application
  kCmdNobody = 40006,
  kCmdViewDeclines = 40007, // view (ON_COMMAND_EX answering FALSE), then frame
  kCmdRangeFirst = 40010,   // document, a range
  kCmdRangeLast = 40012,
  kCmdDisabled = 40020,     // frame handles it, the document's update handler disables it
  kCmdChecked = 40021,      // view: update handler checks it and sets a text
  kCmdPassOn = 40022,       // view's update handler continues routing; the frame's enables it
  kCmdThrows = 40023,       // frame: the handler throws a framework exception
};

// Who handled what, in order.
std::vector<std::string>& Log();

class CTestDoc : public CDocument {
  DECLARE_DYNCREATE(CTestDoc)
public:
  CString m_text;
  int m_newDocuments = 0;

  // Faults to inject into Serialize.
  static inline bool failStoreAfterWriting = false;  // writes part, then the disk is full
  static inline bool rejectOnLoad = false;          // tells the user, empties itself, throws CUserException

  void Serialize(CArchive& ar) override;
  void DeleteContents() override;
  BOOL OnNewDocument() override;

  void OnAll() { Log().push_back("doc"); }
  void OnDocDown() { Log().push_back("doc"); }
  void OnRange(UINT id) { Log().push_back("doc range " + std::to_string(id)); }
  void OnUpdateDisabled(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }

  DECLARE_MESSAGE_MAP()
};

class CTestView : public CView {
  DECLARE_DYNCREATE(CTestView)
public:
  int m_updates = 0;
  CView* m_lastSender = nullptr;

  void OnAll() { Log().push_back("view"); }
  BOOL OnDeclines(UINT) { Log().push_back("view declined"); return FALSE; }
  void OnUpdateChecked(CCmdUI* pCmdUI)
  {
    pCmdUI->SetCheck(1);
    pCmdUI->SetText("checked by view");
  }
  void OnUpdatePassOn(CCmdUI* pCmdUI) { pCmdUI->ContinueRouting(); }

protected:
  void OnUpdate(CView* pSender, LPARAM, CObject*) override
  {
    ++m_updates;
    m_lastSender = pSender;
  }

  DECLARE_MESSAGE_MAP()
};

class CTestFrame : public CFrameWnd {
  DECLARE_DYNCREATE(CTestFrame)
public:
  void OnHandled() { Log().push_back("frame"); }
  void OnThrows() { AfxThrowFileException(CFileException::accessDenied, 5, "locked.qorr5"); }
  void OnUpdatePassOn(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); pCmdUI->SetText("enabled by frame"); }

  DECLARE_MESSAGE_MAP()
};

class CTestTemplate : public CSingleDocTemplate {
public:
  using CSingleDocTemplate::CSingleDocTemplate;
  void OnHandled() { Log().push_back("template"); }

  DECLARE_MESSAGE_MAP()
};

class CTestApp : public CWinApp {
public:
  CTestApp() : CWinApp(nullptr) {}
  void OnHandled() { Log().push_back("app"); }

  DECLARE_MESSAGE_MAP()
};

// The resource id of the template's strings.
inline constexpr UINT kDocTemplateId = 128;

// Registers the test string table once.
void RegisterTestStrings();

// A folder of its own under the temporary folder, removed afterwards; the profile lives there too.
class TempFolder {
public:
  TempFolder();
  ~TempFolder();
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> Names() const;

private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

// The application started the way the program starts it: registry key, four recent files, one template,
// and a new document in a shown frame.
class FrameworkTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  CTestDoc* Doc();
  CTestView* View();
  CTestFrame* Frame();
  // A command as a menu sends it to the main window.
  void Command(UINT id);
  // A bytes-exact file as the test document stores `text`.
  static std::string DocumentBytes(const std::string& text);

  TempFolder folder_;
  std::unique_ptr<CTestApp> app_;
  CTestTemplate* template_ = nullptr;
};

}  // namespace mfctest
