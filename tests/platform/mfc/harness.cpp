#include "tests/platform/mfc/harness.h"

#include "platform/mfc-core/resources.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace mfctest {

std::vector<std::string>& Log()
{
  static std::vector<std::string> log;
  return log;
}

IMPLEMENT_DYNCREATE(CTestDoc, CDocument)
IMPLEMENT_DYNCREATE(CTestView, CView)
IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
  ON_COMMAND(kCmdAll, &CTestDoc::OnAll)
  ON_COMMAND(kCmdDocDown, &CTestDoc::OnDocDown)
  ON_COMMAND_RANGE(kCmdRangeFirst, kCmdRangeLast, &CTestDoc::OnRange)
  ON_UPDATE_COMMAND_UI(kCmdDisabled, &CTestDoc::OnUpdateDisabled)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CTestView, CView)
  ON_COMMAND(kCmdAll, &CTestView::OnAll)
  ON_COMMAND_EX(kCmdViewDeclines, &CTestView::OnDeclines)
  ON_UPDATE_COMMAND_UI(kCmdChecked, &CTestView::OnUpdateChecked)
  ON_UPDATE_COMMAND_UI(kCmdPassOn, &CTestView::OnUpdatePassOn)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
  ON_COMMAND(kCmdAll, &CTestFrame::OnHandled)
  ON_COMMAND(kCmdDocDown, &CTestFrame::OnHandled)
  ON_COMMAND(kCmdTemplateDown, &CTestFrame::OnHandled)
  ON_COMMAND(kCmdFrameDown, &CTestFrame::OnHandled)
  ON_COMMAND(kCmdViewDeclines, &CTestFrame::OnHandled)
  ON_COMMAND(kCmdDisabled, &CTestFrame::OnHandled)
  ON_UPDATE_COMMAND_UI(kCmdPassOn, &CTestFrame::OnUpdatePassOn)
  ON_COMMAND(kCmdThrows, &CTestFrame::OnThrows)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CTestTemplate, CSingleDocTemplate)
  ON_COMMAND(kCmdAll, &CTestTemplate::OnHandled)
  ON_COMMAND(kCmdDocDown, &CTestTemplate::OnHandled)
  ON_COMMAND(kCmdTemplateDown, &CTestTemplate::OnHandled)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
  ON_COMMAND(kCmdAll, &CTestApp::OnHandled)
  ON_COMMAND(kCmdDocDown, &CTestApp::OnHandled)
  ON_COMMAND(kCmdTemplateDown, &CTestApp::OnHandled)
  ON_COMMAND(kCmdFrameDown, &CTestApp::OnHandled)
  ON_COMMAND(kCmdAppOnly, &CTestApp::OnHandled)
  ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
  ON_COMMAND(ID_FILE_OPEN, &CWinApp::OnFileOpen)
END_MESSAGE_MAP()

void CTestDoc::Serialize(CArchive& ar)
{
  if (ar.IsStoring()) {
    if (failStoreAfterWriting) {
      ar << CString("partial");
      AfxThrowFileException(CFileException::diskFull);
    }
    ar << m_text;
  } else {
    if (rejectOnLoad) {
      // As the program's document does: its own message, a fresh state of its own making, and no word of where
      // the document came from.
      AfxMessageBox("rejected by the document");
      m_text.Empty();
      SetModifiedFlag(FALSE);
      AfxThrowUserException();
    }
    ar >> m_text;
  }
}

void CTestDoc::DeleteContents() { m_text.Empty(); }

BOOL CTestDoc::OnNewDocument()
{
  ++m_newDocuments;
  return CDocument::OnNewDocument();
}

void RegisterTestStrings()
{
  static const platform::StringResource strings[] = {
      {kDocTemplateId, 0, "Tesmira Road\n\nQorRoad\nTesmira Road (*.qorr5;*.qorr4)\n.qorr5;.qorr4\nQorRoad5.Document"},
      {AFX_IDS_APP_TITLE, 0, "Tesmira Road"},
      {AFX_IDS_UNTITLED, 0, "Untitled"},
      {AFX_IDP_FAILED_TO_OPEN_DOC, 0, "Failed to open %1."},
      {AFX_IDP_FAILED_TO_SAVE_DOC, 0, "Failed to save %1."},
      {AFX_IDP_ASK_TO_SAVE, 0, "Save changes to %1?"},
      {AFX_IDP_FAILED_INVALID_FORMAT, 0, "Unexpected file format in %1."},
      {AFX_IDP_FAILED_INVALID_PATH, 0, "%1 was not found."},
      {AFX_IDP_FAILED_DISK_FULL, 0, "Disk full while saving %1."},
      {AFX_IDP_FAILED_ACCESS_WRITE, 0, "Access denied to %1."},
  };
  static platform::StringResource table[std::size(strings)];
  static platform::ResourceModuleData module{"MfcTests", table, std::size(strings)};
  static HINSTANCE handle = [] {
    for (std::size_t i = 0; i < std::size(strings); ++i) {
      table[i] = strings[i];
      table[i].length = static_cast<UINT>(std::strlen(strings[i].text));
    }
    HINSTANCE h = platform::RegisterResourceModule(module);
    platform::SetProgramModule(h);
    return h;
  }();
  (void)handle;
}

TempFolder::TempFolder()
{
  std::string pattern = (std::filesystem::temp_directory_path() / "mfctest-XXXXXX").string();
  char* made = ::mkdtemp(pattern.data());
  path_ = made != nullptr ? made : "";
}

TempFolder::~TempFolder()
{
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::vector<std::string> TempFolder::Names() const
{
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFile(const std::string& path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes)
{
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

void FrameworkTest::SetUp()
{
  RegisterTestStrings();
  ::setenv("TESMIRA_PROFILE_DIR", folder_.Path().c_str(), 1);
  Log().clear();
  CTestDoc::failStoreAfterWriting = false;
  CTestDoc::rejectOnLoad = false;
  app_ = std::make_unique<CTestApp>();
  app_->SetRegistryKey("Marvesta");
  app_->LoadStdProfileSettings(4);
  template_ = new CTestTemplate(kDocTemplateId, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestFrame),
                                RUNTIME_CLASS(CTestView));
  app_->AddDocTemplate(template_);
  app_->OnFileNew();
  ASSERT_NE(app_->m_pMainWnd, nullptr);
  ASSERT_NE(Doc(), nullptr);
}

void FrameworkTest::TearDown()
{
  if (app_ && app_->m_pMainWnd != nullptr) {
    app_->m_pMainWnd->DestroyWindow();
  }
  // The main window's end posts WM_QUIT; the next test starts with an empty queue.
  MSG msg;
  while (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  app_.reset();
  ::unsetenv("TESMIRA_PROFILE_DIR");
}

CTestFrame* FrameworkTest::Frame() { return dynamic_cast<CTestFrame*>(app_->m_pMainWnd); }

CTestDoc* FrameworkTest::Doc()
{
  CTestFrame* frame = Frame();
  return frame != nullptr ? dynamic_cast<CTestDoc*>(frame->GetActiveDocument()) : nullptr;
}

CTestView* FrameworkTest::View()
{
  CTestFrame* frame = Frame();
  return frame != nullptr ? dynamic_cast<CTestView*>(frame->GetActiveView()) : nullptr;
}

void FrameworkTest::Command(UINT id) { ::SendMessage(app_->m_pMainWnd->m_hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

std::string FrameworkTest::DocumentBytes(const std::string& text)
{
  // A short CString: one length byte, then the bytes.
  return std::string(1, static_cast<char>(text.size())) + text;
}

}  // namespace mfctest
