#include "platform/mfc/document.h"

#include "platform/base/fileops.h"
#include "platform/base/paths.h"
#include "platform/mfc/doctemplate.h"
#include "platform/mfc/frame.h"
#include "platform/mfc/fileprompt.h"
#include "platform/mfc/msgbox.h"
#include "platform/mfc/richedit.h"
#include "platform/mfc/view.h"
#include "platform/mfc/winapp.h"

#include <sys/stat.h>

#include <algorithm>
#include <exception>
#include <string>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
  ON_COMMAND(ID_FILE_CLOSE, &CDocument::OnFileClose)
  ON_COMMAND(ID_FILE_SAVE, &CDocument::OnFileSave)
  ON_COMMAND(ID_FILE_SAVE_AS, &CDocument::OnFileSaveAs)
END_MESSAGE_MAP()

namespace platform::mfc {

CString FullPath(LPCSTR lpszPathName)
{
  std::string path = lpszPathName != nullptr ? lpszPathName : "";
  if (path.empty() || platform::IsPathSeparator(path[0])) {
    return CString(path);
  }
  char current[MAX_PATH];
  if (GetCurrentDirectory(MAX_PATH, current) == 0) {
    return CString(path);
  }
  return CString(platform::JoinPath(current, path));
}

}  // namespace platform::mfc

namespace {

// The new file takes the old one's place, so it takes its permissions too.
void KeepPermissions(LPCSTR target, LPCSTR replacement)
{
  struct stat old {};
  if (::stat(platform::ToFileSystemPath(target).c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
    ::chmod(platform::ToFileSystemPath(replacement).c_str(), old.st_mode & 07777);
  }
}

}  // namespace

CDocument::CDocument() = default;

CDocument::~CDocument()
{
  // Views outliving their document must not reach back into it.
  for (CView* pView : m_viewList) {
    pView->m_pDocument = nullptr;
  }
  if (m_pDocTemplate != nullptr) {
    m_pDocTemplate->RemoveDocument(this);
  }
}

void CDocument::SetTitle(LPCSTR lpszTitle)
{
  m_strTitle = lpszTitle;
  for (CView* pView : m_viewList) {
    if (CFrameWnd* pFrame = pView->GetParentFrame()) {
      pFrame->OnUpdateFrameTitle(TRUE);
    }
  }
}

void CDocument::SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU)
{
  m_strPathName = platform::mfc::FullPath(lpszPathName);
  m_bEmbedded = FALSE;
  SetTitle(CString(platform::FileNameOf(m_strPathName.str())));
  if (bAddToMRU) {
    if (CWinApp* app = AfxGetApp()) {
      app->AddToRecentFileList(m_strPathName);
    }
  }
}

void CDocument::ClearPathName()
{
  m_strPathName.Empty();
  m_bEmbedded = FALSE;
}

BOOL CDocument::IsModified() { return m_bModified; }

void CDocument::SetModifiedFlag(BOOL bModified) { m_bModified = bModified; }

void CDocument::AddView(CView* pView)
{
  if (std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end()) {
    return;
  }
  m_viewList.push_back(pView);
  pView->m_pDocument = this;
  OnChangedViewList();
}

void CDocument::RemoveView(CView* pView)
{
  auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
  if (it == m_viewList.end()) {
    return;
  }
  m_viewList.erase(it);
  pView->m_pDocument = nullptr;
  OnChangedViewList();
}

void CDocument::OnChangedViewList()
{
  // The last view gone closes a document that deletes itself.
  if (m_bAutoDelete && m_viewList.empty()) {
    OnCloseDocument();
  }
}

POSITION CDocument::GetFirstViewPosition() const
{
  // A position is the index plus one, so that the first view is not null.
  return m_viewList.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<UINT_PTR>(1));
}

CView* CDocument::GetNextView(POSITION& rPosition) const
{
  auto index = reinterpret_cast<UINT_PTR>(rPosition) - 1;
  if (rPosition == nullptr || index >= m_viewList.size()) {
    rPosition = nullptr;
    return nullptr;
  }
  CView* pView = m_viewList[index];
  rPosition = index + 1 < m_viewList.size() ? reinterpret_cast<POSITION>(index + 2) : nullptr;
  return pView;
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint)
{
  // A view's update may add or remove views; walk a copy.
  std::vector<CView*> views = m_viewList;
  for (CView* pView : views) {
    if (pView != pSender && std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end()) {
      pView->OnUpdate(pSender, lHint, pHint);
    }
  }
}

void CDocument::DeleteContents() {}

BOOL CDocument::OnNewDocument()
{
  DeleteContents();
  m_strPathName.Empty();
  SetModifiedFlag(FALSE);
  return TRUE;
}

CFile* CDocument::GetFile(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
  auto* pFile = new CFile;
  if (!pFile->Open(lpszFileName, nOpenFlags, pError)) {
    delete pFile;
    return nullptr;
  }
  return pFile;
}

void CDocument::ReleaseFile(CFile* pFile, BOOL bAbort)
{
  if (bAbort) {
    pFile->Abort();
  } else {
    pFile->Close();
  }
  delete pFile;
}

BOOL CDocument::OnOpenDocument(LPCSTR lpszPathName)
{
  m_bOpenReplacedContents = FALSE;
  CFileException fe;
  CFile* pFile = GetFile(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &fe);
  if (pFile == nullptr) {
    ReportSaveLoadException(lpszPathName, &fe, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
    return FALSE;
  }
  DeleteContents();
  m_bOpenReplacedContents = TRUE;
  SetModifiedFlag();  // half-loaded contents are not the file's
  try {
    {
      CArchive loadArchive(pFile, CArchive::load | CArchive::bNoFlushOnDelete);
      loadArchive.m_pDocument = this;
      CWaitCursor wait;
      // An empty file is read like any other: a document that needs contents refuses it, rather than keep
      // what it held under the empty file's name.
      Serialize(loadArchive);
      loadArchive.Close();
    }
    ReleaseFile(pFile, FALSE);
  } catch (CException* e) {
    ReleaseFile(pFile, TRUE);
    DeleteContents();
    ReportSaveLoadException(lpszPathName, e, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
    e->Delete();
    return FALSE;
  } catch (const std::exception&) {
    ReleaseFile(pFile, TRUE);
    DeleteContents();
    ReportSaveLoadException(lpszPathName, nullptr, FALSE, AFX_IDP_FAILED_TO_OPEN_DOC);
    return FALSE;
  }
  SetModifiedFlag(FALSE);
  return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCSTR lpszPathName)
{
  // The whole document goes into a temporary file beside the target first; only a complete file, on disk,
  // takes the target's place, so a failure at any point leaves the old file as it was.
  // The temporary is named after the target and this process, so that one left by a save that was killed is
  // known for what it is and removed here, or at the next start.
  std::string target = lpszPathName != nullptr ? lpszPathName : "";
  platform::RemoveLeftSaveTemporaries(platform::FolderOf(target));
  const std::string temporary = platform::SaveTemporaryName(target);
  const char* tempName = temporary.c_str();
  CFileException fe;
  CFile* pFile = GetFile(tempName, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive, &fe);
  if (pFile == nullptr) {
    DeleteFile(tempName);
    ReportSaveLoadException(lpszPathName, &fe, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
    return FALSE;
  }
  auto fail = [&](CException* e) {
    ReleaseFile(pFile, TRUE);
    DeleteFile(tempName);
    ReportSaveLoadException(lpszPathName, e, TRUE, AFX_IDP_FAILED_TO_SAVE_DOC);
  };
  try {
    {
      CArchive saveArchive(pFile, CArchive::store | CArchive::bNoFlushOnDelete);
      saveArchive.m_pDocument = this;
      CWaitCursor wait;
      Serialize(saveArchive);
      saveArchive.Close();
    }
    pFile->Flush();
    pFile->Close();
    KeepPermissions(lpszPathName, tempName);
    if (!MoveFileEx(tempName, lpszPathName, MOVEFILE_REPLACE_EXISTING)) {
      CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszPathName);
    }
  } catch (CException* e) {
    fail(e);
    e->Delete();
    return FALSE;
  } catch (const std::exception&) {
    fail(nullptr);
    return FALSE;
  }
  delete pFile;
  SetModifiedFlag(FALSE);
  return TRUE;
}

void CDocument::ReportSaveLoadException(LPCSTR lpszPathName, CException* e, BOOL bSaving, UINT nIDPDefault)
{
  if (e != nullptr && e->IsKindOf(RUNTIME_CLASS(CUserException))) {
    return;  // the user has been told already
  }
  UINT nIDP = nIDPDefault;
  if (auto* fe = dynamic_cast<CFileException*>(e)) {
    switch (fe->m_cause) {
      case CFileException::fileNotFound:
      case CFileException::badPath:
        nIDP = AFX_IDP_FAILED_INVALID_PATH;
        break;
      case CFileException::diskFull:
        nIDP = AFX_IDP_FAILED_DISK_FULL;
        break;
      case CFileException::accessDenied:
      case CFileException::sharingViolation:
        nIDP = bSaving ? AFX_IDP_FAILED_ACCESS_WRITE : AFX_IDP_FAILED_ACCESS_READ;
        break;
      case CFileException::badSeek:
      case CFileException::hardIO:
      case CFileException::endOfFile:
        nIDP = bSaving ? AFX_IDP_FAILED_IO_ERROR_WRITE : AFX_IDP_FAILED_IO_ERROR_READ;
        break;
      default:
        break;
    }
  } else if (auto* ae = dynamic_cast<CArchiveException*>(e)) {
    switch (ae->m_cause) {
      case CArchiveException::endOfFile:
      case CArchiveException::badIndex:
      case CArchiveException::badClass:
      case CArchiveException::badSchema:
        if (!bSaving) {
          nIDP = AFX_IDP_FAILED_INVALID_FORMAT;
        }
        break;
      default:
        break;
    }
  }
  CString prompt;
  AfxFormatString1(prompt, nIDP, lpszPathName);
  if (prompt.IsEmpty() && e != nullptr) {
    // The resources lack the framework's text; the exception's own is better than nothing.
    prompt = e->GetErrorMessage();
  }
  AfxMessageBox(prompt, MB_ICONEXCLAMATION, nIDP);
}

BOOL CDocument::SaveModified()
{
  if (!IsModified()) {
    return TRUE;
  }
  CString name;
  if (m_strPathName.IsEmpty()) {
    name = m_strTitle;
    if (name.IsEmpty()) {
      name.LoadString(AFX_IDS_UNTITLED);
    }
  } else {
    name = CString(platform::FileNameOf(m_strPathName.str()));
  }
  CString prompt;
  AfxFormatString1(prompt, AFX_IDP_ASK_TO_SAVE, name);
  switch (AfxMessageBox(prompt, MB_YESNOCANCEL, AFX_IDP_ASK_TO_SAVE)) {
    case IDCANCEL:
      return FALSE;
    case IDYES:
      return DoFileSave();
    default:
      return TRUE;  // the changes are dropped
  }
}

BOOL CDocument::CanCloseFrame(CFrameWnd*) { return SaveModified(); }

BOOL CDocument::DoFileSave()
{
  // No file, a file that is gone, or a read-only one: ask for a name.
  DWORD attributes = m_strPathName.IsEmpty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributes(m_strPathName);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return DoSave(nullptr);
  }
  return DoSave(m_strPathName);
}

BOOL CDocument::DoSave(LPCSTR lpszPathName, BOOL bReplace)
{
  CString newName = lpszPathName != nullptr ? lpszPathName : "";
  if (newName.IsEmpty()) {
    newName = m_strPathName;
    if (bReplace && newName.IsEmpty()) {
      // Propose the title, cut at anything that would make it a path, with the template's first extension.
      newName = m_strTitle;
      int bad = newName.FindOneOf(":/\\");
      if (bad != -1) {
        newName.Truncate(bad);
      }
      CString extensions;
      if (m_pDocTemplate != nullptr && m_pDocTemplate->GetDocString(extensions, CDocTemplate::filterExt) &&
          !extensions.IsEmpty()) {
        CString first;
        AfxExtractSubString(first, extensions, 0, ';');
        newName += first;
      }
    }
    CWinApp* app = AfxGetApp();
    if (app == nullptr || !app->DoPromptFileName(newName, bReplace ? AFX_IDS_SAVEFILE : AFX_IDS_SAVEFILECOPY,
                                                 platform::mfc::kOfnHideReadOnly | platform::mfc::kOfnPathMustExist, FALSE, m_pDocTemplate)) {
      return FALSE;
    }
  }
  CWaitCursor wait;
  // A failed save has left whatever stood at newName untouched; nothing to clean up there.
  if (!OnSaveDocument(newName)) {
    return FALSE;
  }
  if (bReplace) {
    SetPathName(newName);
  }
  return TRUE;
}

void CDocument::PreCloseFrame(CFrameWnd*) {}

void CDocument::OnCloseDocument()
{
  // Destroying the frames removes the views; the document must outlive that.
  BOOL autoDelete = m_bAutoDelete;
  m_bAutoDelete = FALSE;
  while (!m_viewList.empty()) {
    CView* pView = m_viewList.front();
    CFrameWnd* pFrame = pView->GetParentFrame();
    if (pFrame == nullptr) {
      RemoveView(pView);
      continue;
    }
    PreCloseFrame(pFrame);
    pFrame->DestroyWindow();
    // A frame that did not take its views with it leaves them listed; let go of them here.
    if (!m_viewList.empty() && m_viewList.front() == pView) {
      RemoveView(pView);
    }
  }
  m_bAutoDelete = autoDelete;
  DeleteContents();
  if (m_bAutoDelete) {
    delete this;
  }
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
  if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) {
    return TRUE;
  }
  return m_pDocTemplate != nullptr && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CDocument::OnFileClose()
{
  if (!SaveModified()) {
    return;
  }
  OnCloseDocument();
}

void CDocument::OnFileSave() { DoFileSave(); }

void CDocument::OnFileSaveAs() { DoSave(nullptr); }

CRichEditCntrItem* CDocument::CreateClientItem(REOBJECT*) const
{
  CRuntimeClass* itemClass = m_pDocTemplate ? m_pDocTemplate->GetClientItemClass() : nullptr;
  if (!itemClass || !itemClass->IsDerivedFrom(RUNTIME_CLASS(CRichEditCntrItem)))
    return nullptr;
  auto* item = static_cast<CRichEditCntrItem*>(itemClass->CreateObject());
  if (item)
    item->m_pDocument = const_cast<CDocument*>(this);
  return item;
}
