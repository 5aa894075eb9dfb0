// Document templates: which document, frame and view classes belong together, and the document strings of
// their resource ("title\ndocName\nfileNewName\nfilterName\nfilterExt\nregFileTypeId\nregFileTypeName").
// CSingleDocTemplate keeps one document and one frame for the whole run and reuses them for every new or
// opened file.
#pragma once

#include "platform/mfc-core/collection_support.h"
#include "platform/mfc/cmdtarget.h"

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
  DECLARE_DYNAMIC(CDocTemplate)
public:
  enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
  enum Confidence { noAttempt, maybeAttemptForeign, maybeAttemptNative, yesAttemptForeign, yesAttemptNative,
                    yesAlreadyOpen };

  ~CDocTemplate() override;

  virtual void LoadTemplate();
  virtual BOOL GetDocString(CString& rString, DocStringIndex index) const;
  UINT GetResourceID() const { return m_nIDResource; }

  virtual POSITION GetFirstDocPosition() const = 0;
  virtual CDocument* GetNextDoc(POSITION& rPos) const = 0;
  virtual void AddDocument(CDocument* pDoc);
  virtual void RemoveDocument(CDocument* pDoc);

  virtual CDocument* CreateNewDocument();
  virtual CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther);
  virtual void InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible = TRUE);
  virtual void SetDefaultTitle(CDocument* pDocument) = 0;
  // lpszPathName null: a new document.
  virtual CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) = 0;
  virtual Confidence MatchDocType(LPCSTR lpszPathName, CDocument*& rpDocMatch);

  virtual BOOL SaveAllModified();
  virtual void CloseAllDocuments(BOOL bEndSession);

  // The item class (a kind of CRichEditCntrItem) its documents' client-item factory makes.
  void SetClientItemClass(CRuntimeClass* pClass) { m_pClientItemClass = pClass; }
  CRuntimeClass* GetClientItemClass() const { return m_pClientItemClass; }

protected:
  CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass);

  UINT m_nIDResource;
  CRuntimeClass* m_pDocClass;
  CRuntimeClass* m_pFrameClass;
  CRuntimeClass* m_pViewClass;
  CRuntimeClass* m_pClientItemClass = nullptr;
  CString m_strDocStrings;
};

class CSingleDocTemplate : public CDocTemplate {
  DECLARE_DYNAMIC(CSingleDocTemplate)
public:
  CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                     CRuntimeClass* pViewClass);
  ~CSingleDocTemplate() override;

  POSITION GetFirstDocPosition() const override;
  CDocument* GetNextDoc(POSITION& rPos) const override;
  void AddDocument(CDocument* pDoc) override;
  void RemoveDocument(CDocument* pDoc) override;
  void SetDefaultTitle(CDocument* pDocument) override;
  CDocument* OpenDocumentFile(LPCSTR lpszPathName, BOOL bMakeVisible = TRUE) override;

protected:
  CDocument* m_pOnlyDoc = nullptr;
};
