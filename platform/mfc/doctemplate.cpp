#include "platform/mfc/doctemplate.h"

#include "platform/base/paths.h"
#include "platform/mfc/document.h"
#include "platform/mfc/frame.h"
#include "platform/mfc/msgbox.h"
#include "platform/mfc/view.h"
#include "platform/mfc/winapp.h"

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass), m_pViewClass(pViewClass)
{
}

CDocTemplate::~CDocTemplate() = default;

void CDocTemplate::LoadTemplate()
{
  if (m_strDocStrings.IsEmpty()) {
    m_strDocStrings.LoadString(m_nIDResource);
  }
}

BOOL CDocTemplate::GetDocString(CString& rString, DocStringIndex index) const
{
  const_cast<CDocTemplate*>(this)->LoadTemplate();
  return AfxExtractSubString(rString, m_strDocStrings, static_cast<int>(index));
}

void CDocTemplate::AddDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = this; }

void CDocTemplate::RemoveDocument(CDocument* pDoc) { pDoc->m_pDocTemplate = nullptr; }

CDocument* CDocTemplate::CreateNewDocument()
{
  if (m_pDocClass == nullptr) {
    return nullptr;
  }
  CObject* object = m_pDocClass->CreateObject();
  auto* pDocument = dynamic_cast<CDocument*>(object);
  if (pDocument == nullptr) {
    delete object;
    return nullptr;
  }
  AddDocument(pDocument);
  return pDocument;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
  if (m_pFrameClass == nullptr) {
    return nullptr;
  }
  CCreateContext context;
  context.m_pCurrentFrame = pOther;
  context.m_pCurrentDoc = pDoc;
  context.m_pNewViewClass = m_pViewClass;
  context.m_pNewDocTemplate = this;
  CObject* object = m_pFrameClass->CreateObject();
  auto* pFrame = dynamic_cast<CFrameWnd*>(object);
  if (pFrame == nullptr) {
    delete object;
    return nullptr;
  }
  // A frame that fails to load has deleted itself.
  if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context)) {
    return nullptr;
  }
  return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible)
{
  pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

CDocTemplate::Confidence CDocTemplate::MatchDocType(LPCSTR lpszPathName, CDocument*& rpDocMatch)
{
  rpDocMatch = nullptr;
  POSITION pos = GetFirstDocPosition();
  while (pos != nullptr) {
    CDocument* pDoc = GetNextDoc(pos);
    if (pDoc->GetPathName() == lpszPathName) {
      rpDocMatch = pDoc;
      return yesAlreadyOpen;
    }
  }
  CString extensions;
  if (GetDocString(extensions, filterExt) && !extensions.IsEmpty()) {
    CString extension(platform::ExtensionOf(lpszPathName));
    CString candidate;
    for (int i = 0; AfxExtractSubString(candidate, extensions, i, ';'); ++i) {
      if (!candidate.IsEmpty() && candidate.CompareNoCase(extension) == 0) {
        return yesAttemptNative;
      }
    }
  }
  return yesAttemptForeign;
}

BOOL CDocTemplate::SaveAllModified()
{
  POSITION pos = GetFirstDocPosition();
  while (pos != nullptr) {
    if (!GetNextDoc(pos)->SaveModified()) {
      return FALSE;
    }
  }
  return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL)
{
  POSITION pos = GetFirstDocPosition();
  while (pos != nullptr) {
    CDocument* pDoc = GetNextDoc(pos);
    pDoc->OnCloseDocument();
  }
}

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                       CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
}

CSingleDocTemplate::~CSingleDocTemplate()
{
  // A document still open outlives the template only as an orphan.
  if (m_pOnlyDoc != nullptr) {
    CDocTemplate::RemoveDocument(m_pOnlyDoc);
  }
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const
{
  return m_pOnlyDoc != nullptr ? reinterpret_cast<POSITION>(m_pOnlyDoc) : nullptr;
}

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& rPos) const
{
  CDocument* pDoc = rPos != nullptr ? m_pOnlyDoc : nullptr;
  rPos = nullptr;
  return pDoc;
}

void CSingleDocTemplate::AddDocument(CDocument* pDoc)
{
  CDocTemplate::AddDocument(pDoc);
  m_pOnlyDoc = pDoc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* pDoc)
{
  if (pDoc == m_pOnlyDoc) {
    m_pOnlyDoc = nullptr;
  }
  CDocTemplate::RemoveDocument(pDoc);
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
  CString title;
  if (!GetDocString(title, docName) || title.IsEmpty()) {
    title.LoadString(AFX_IDS_UNTITLED);
  }
  pDocument->SetTitle(title);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible)
{
  CDocument* pDocument = nullptr;
  CFrameWnd* pFrame = nullptr;
  BOOL bCreated = FALSE;
  if (m_pOnlyDoc != nullptr) {
    // The one document is reused: it must be allowed to let go of what it holds.
    pDocument = m_pOnlyDoc;
    if (!pDocument->SaveModified()) {
      return nullptr;
    }
    CWnd* mainWnd = AfxGetMainWnd();
    pFrame = mainWnd != nullptr && mainWnd->IsFrameWnd() ? static_cast<CFrameWnd*>(mainWnd) : nullptr;
  } else {
    pDocument = CreateNewDocument();
    if (pDocument == nullptr) {
      AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
      return nullptr;
    }
    bCreated = TRUE;
  }

  if (pFrame == nullptr) {
    BOOL autoDelete = pDocument->m_bAutoDelete;
    pDocument->m_bAutoDelete = FALSE;  // a frame failing to load must not take the document with it
    pFrame = CreateNewFrame(pDocument, nullptr);
    pDocument->m_bAutoDelete = autoDelete;
    if (pFrame == nullptr) {
      AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
      if (bCreated) {
        delete pDocument;
      }
      return nullptr;
    }
  }

  if (lpszPathName == nullptr) {
    SetDefaultTitle(pDocument);
    if (!pDocument->OnNewDocument()) {
      if (bCreated) {
        pFrame->DestroyWindow();  // takes the document with it
      }
      return nullptr;
    }
  } else {
    CWaitCursor wait;
    BOOL wasModified = pDocument->IsModified();
    pDocument->SetModifiedFlag(FALSE);
    if (!pDocument->OnOpenDocument(lpszPathName)) {
      if (bCreated) {
        pFrame->DestroyWindow();
      } else if (!pDocument->OpenReplacedContents()) {
        // The file never opened: the document still holds what it held.
        pDocument->SetModifiedFlag(wasModified);
      } else {
        // The contents are gone, so the document belongs to no file any more: neither the one that failed
        // nor the one it held before. A later Save must ask for a name.
        pDocument->ClearPathName();
        if (pDocument->IsModified()) {
          SetDefaultTitle(pDocument);
          pDocument->OnNewDocument();
        }
      }
      return nullptr;
    }
    pDocument->SetPathName(lpszPathName);
  }

  CWinApp* app = AfxGetApp();
  if (bCreated && app != nullptr && app->m_pMainWnd == nullptr) {
    app->m_pMainWnd = pFrame;
  }
  InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
  return pDocument;
}
