// Runs the object creation wizard modally with the test's hands on it: the test acts on the open wizard, every
// message box it shows is kept (and answered OK), and the record's area is the test's to release.
#pragma once

#include "model/class_obj_model.h"
#include "model/iarea.h"
#include "model/shell/shell_services.h"
#include "platform/mfc/afxwin.h"
#include "platform/user/common_controls.h"
#include "platform/user/msgbox.h"
#include "res/modules.h"
#include "wizard/wizard.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace wizard_testing {

class ProfileShell : public Shell::CShellServices {
public:
  ProfileShell() { Shell::SetShellServices(this); }
  ~ProfileShell() override { Shell::SetShellServices(nullptr); }
  UINT GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue) override
  {
    if (std::string(section) == "Settings" && std::string(entry) == "Transparence")
      return transparence;
    return static_cast<UINT>(defaultValue);
  }
  UINT transparence = 255;
};

class WizardTest : public ::testing::Test {
protected:
  class CTestApp : public CWinApp {
  public:
    CTestApp() : CWinApp(nullptr) {}
  };

  void SetUp() override
  {
    res::RegisterModules();
    ASSERT_TRUE(owner_.CreateEx(0, AfxRegisterWndClass(0), "Tesmira Road", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                800, 600, nullptr, nullptr));
  }
  void TearDown() override
  {
    user::SetModalResponder(nullptr);
    if (data_.area) {
      // The caller's one reference is the only one left: the wizard keeps none.
      EXPECT_EQ(data_.area->Release(), 0);
      data_.area = nullptr;
    }
    owner_.DestroyWindow();
  }

  // Runs the wizard; `act` answers how it ends (0: the wizard's own loop goes on with what was posted).
  int Run(const std::function<int(Wizard::CDlgWizard&)>& act)
  {
    user::SetModalResponder([&](const user::ModalQuestion& q) {
      if (q.kind == user::ModalQuestion::Kind::MessageBox) {
        boxes.push_back(q.text);
        boxCaptions.push_back(q.caption);
        return IDOK;
      }
      if (q.kind == user::ModalQuestion::Kind::Dialog && q.dialogId == static_cast<int>(Wizard::kWizardTemplate)) {
        auto* wizard = dynamic_cast<Wizard::CDlgWizard*>(CWnd::FromHandlePermanent(q.dialog));
        if (!wizard)
          return IDCANCEL;
        const int answer = act(*wizard);
        // A finish the wizard would refuse leaves its loop waiting: end the run instead of hanging.
        if (answer == IDOK && !wizard->GetDlgItem(IDOK)->IsWindowEnabled()) {
          ADD_FAILURE() << "the wizard cannot finish on page " << wizard->m_current->m_templateId;
          return IDCANCEL;
        }
        return answer;
      }
      return IDCANCEL;
    });
    Wizard::CWizard driver(&data_);
    const int answer = Wizard::RunWizard(&driver, &owner_);
    user::SetModalResponder(nullptr);
    return answer;
  }

  static void Next(Wizard::CDlgWizard& w) { w.SendMessage(WM_COMMAND, Wizard::kNextCommand, 0); }
  static void Back(Wizard::CDlgWizard& w) { w.SendMessage(WM_COMMAND, Wizard::kBackCommand, 0); }
  static void ChooseKind(Wizard::CDlgWizard& w, int index) { Choose(w.m_current, 1030, index); }
  static void Choose(CWnd* page, int comboId, int index)
  {
    CWnd* combo = page->GetDlgItem(comboId);
    combo->SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index));
    page->SendMessage(WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo->m_hWnd));
  }
  // A check box ticked or unticked by the user, then its click.
  static void Toggle(CWnd* page, int id)
  {
    const UINT state = ::IsDlgButtonChecked(page->m_hWnd, id);
    ::CheckDlgButton(page->m_hWnd, id, state == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
    page->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(page->GetDlgItem(id)->m_hWnd));
  }
  // Typing into an edit: the text set, and the page told of the change.
  static void Type(CWnd* page, int id, const char* text) { page->SetDlgItemText(id, text); }
  static std::string Text(CWnd* page, int id)
  {
    CString text;
    page->GetDlgItemText(id, text);
    return std::string(text);
  }
  // One click on an up-down control: up adds a unit (its delta is -1).
  static void Spin(CWnd* page, int id, int delta)
  {
    NMUPDOWN notify{};
    notify.hdr.hwndFrom = page->GetDlgItem(id)->m_hWnd;
    notify.hdr.idFrom = static_cast<UINT_PTR>(id);
    notify.hdr.code = UDN_DELTAPOS;
    notify.iDelta = delta;
    page->SendMessage(WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&notify));
  }
  static bool Enabled(CWnd* window, int id) { return window->GetDlgItem(id)->IsWindowEnabled() != FALSE; }
  static std::string Caption(CWnd& window)
  {
    CString text;
    window.GetWindowText(text);
    return std::string(text);
  }

  CTestApp app_;
  CWnd owner_;
  _WIZARD_DATA data_;
  std::vector<std::string> boxes;
  std::vector<std::string> boxCaptions;
};

}  // namespace wizard_testing
