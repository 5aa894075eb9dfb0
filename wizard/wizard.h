// The object creation wizard "Мастер создания объектов": the driver the caller makes over its record, the
// wizard dialog with its buttons, caption and chain of pages, and the call that runs it.
//
// The caller makes the record (kind 0, no area) and the driver, runs the wizard, and afterwards releases the
// area the record holds (made when the first page was left, on Finish and on Cancel alike), frees the record
// and deletes the driver. The caller, not the wizard, places the area in a project.
#pragma once

#include "model/shell/shell_services.h"
#include "platform/mfc-core/array.h"
#include "wizard/page.h"

namespace Wizard {

class CWizard {
public:
  explicit CWizard(_WIZARD_DATA* data) : m_data(data) {}
  virtual ~CWizard() = default;  // the record is the caller's

  _WIZARD_DATA* m_data;
};

class CDlgWizard : public CDialog {
public:
  CDlgWizard(_WIZARD_DATA* data, CWnd* parent);
  ~CDlgWizard() override;

  BOOL OnInitDialog() override;
  virtual void DeletePages();

  // The first page whose window exists with this template id, else null.
  CWDialog* FindPage(int templateId) const;
  void HideAllPages();
  void UpdateButtons(BOOL captionOnly);
  void UpdateCaption() { UpdateButtons(TRUE); }

  CWDialog* m_current = nullptr;
  CArray<CDialog*, CDialog*> m_pages;
  _WIZARD_DATA* m_data;
  CString m_captionBase;
  int m_flags = 1;

protected:
  void OnNext();
  void OnBack();
  void OnFinish();
  void OnWizardCancel();
  void OnHelp();
  DECLARE_MESSAGE_MAP()

private:
  CWDialog* Page(int index) const;
  void ShowPage(CWDialog* page);
  void MakeArea();
};

// Runs the wizard modally over `parent`: IDOK when the user finished, IDCANCEL otherwise.
int RunWizard(CWizard* wizard, CWnd* parent);
// The shell's answer to the document's wizard command: the wizard over `data`, the area left in the record.
int RunWizardFor(HWND parent, _WIZARD_DATA* data);

}  // namespace Wizard
