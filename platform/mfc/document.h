// CDocument: the data of one open file, its views, its path and title, and the modified flag.
//
// Opening reads the file through Serialize, an empty file too. Saving writes the whole document into a temporary file beside the
// target and puts it in the target's place only when everything was written; a failed save leaves the old
// file as it was, removes the temporary file and tells the user. A Serialize that rejects a file after telling
// the user itself throws CUserException (AfxThrowUserException): the framework then reports nothing more.
// After a failed open that had begun to replace the contents, the document is bound to no file, so a later
// Save asks for a name.
#pragma once

#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/cfile.h"
#include "platform/mfc-core/collection_support.h"
#include "platform/mfc/cmdtarget.h"

#include <vector>

class CView;
class CFrameWnd;
class CDocTemplate;
class CRichEditCntrItem;
struct REOBJECT;

namespace platform::mfc {
// A path taken from the current folder when it is relative, as the file dialogs hand out absolute ones.
CString FullPath(LPCSTR lpszPathName);
}  // namespace platform::mfc

class CDocument : public CCmdTarget {
  DECLARE_DYNAMIC(CDocument)
public:
  ~CDocument() override;

  // Title, path and template
  const CString& GetTitle() const { return m_strTitle; }
  virtual void SetTitle(LPCSTR lpszTitle);
  const CString& GetPathName() const { return m_strPathName; }
  // Binds the document to a file: the path made absolute, the file's name as title, and with bAddToMRU the
  // path goes to the recent-file list.
  virtual void SetPathName(LPCSTR lpszPathName, BOOL bAddToMRU = TRUE);
  // Binds the document to no file; the title stays.
  virtual void ClearPathName();
  CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

  virtual BOOL IsModified();
  virtual void SetModifiedFlag(BOOL bModified = TRUE);

  // Views
  void AddView(CView* pView);
  void RemoveView(CView* pView);
  POSITION GetFirstViewPosition() const;
  CView* GetNextView(POSITION& rPosition) const;
  // Every view but pSender gets OnUpdate(pSender, lHint, pHint).
  void UpdateAllViews(CView* pSender, LPARAM lHint = 0, CObject* pHint = nullptr);
  virtual void OnChangedViewList();

  // The life cycle, as the template and the file commands call it.
  virtual void DeleteContents();
  virtual BOOL OnNewDocument();
  virtual BOOL OnOpenDocument(LPCSTR lpszPathName);
  virtual BOOL OnSaveDocument(LPCSTR lpszPathName);
  virtual void OnCloseDocument();
  virtual void PreCloseFrame(CFrameWnd* pFrame);
  // Asks to save when modified (Yes saves, No drops the changes, Cancel answers FALSE).
  virtual BOOL SaveModified();
  virtual BOOL CanCloseFrame(CFrameWnd* pFrame);
  // Saves to the document's own file, or asks for a name when it has none or the file is read-only.
  virtual BOOL DoFileSave();
  // Saves to lpszPathName; null asks for a name. With bReplace the document is bound to the new name.
  virtual BOOL DoSave(LPCSTR lpszPathName, BOOL bReplace = TRUE);
  // Tells the user what went wrong with a file; nothing for CUserException (already told).
  virtual void ReportSaveLoadException(LPCSTR lpszPathName, CException* e, BOOL bSaving, UINT nIDPDefault);

  BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

  // The client-item factory: a new item for an object embedded in the document's rich text, of the class its
  // template names (CDocTemplate::SetClientItemClass), held by this document; null when the template names none.
  // The caller deletes the item.
  virtual CRichEditCntrItem* CreateClientItem(REOBJECT* preo = nullptr) const;

  // File commands of the document's map.
  void OnFileClose();
  void OnFileSave();
  void OnFileSaveAs();

  BOOL m_bAutoDelete = TRUE;  // deleted when its last view goes
  BOOL m_bEmbedded = FALSE;

  // Whether the last OnOpenDocument got as far as replacing the contents (the template reads it on failure).
  BOOL OpenReplacedContents() const { return m_bOpenReplacedContents; }

protected:
  CDocument();

  // Opens the file for OnOpenDocument; null (with the cause in *pError) when it cannot be opened.
  virtual CFile* GetFile(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError);
  virtual void ReleaseFile(CFile* pFile, BOOL bAbort);

  CString m_strTitle;
  CString m_strPathName;
  CDocTemplate* m_pDocTemplate = nullptr;
  BOOL m_bModified = FALSE;
  BOOL m_bOpenReplacedContents = FALSE;
  std::vector<CView*> m_viewList;

  friend class CDocTemplate;

  DECLARE_MESSAGE_MAP()
};
