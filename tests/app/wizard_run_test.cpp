// The object wizard run from the program's menu: its end page names the luminaire the new project then gets
// from the luminaire database, and the luminaire chooser lists the database's luminaires.
#include "tests/app/app_session.h"

#include "app/resource.h"
#include "app/shell/luminaire_chooser.h"
#include "document/qor_road_doc.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/igroups.h"
#include "model/light_device.h"
#include "wizard/page.h"
#include "wizard/wizard.h"

namespace apptest {
namespace {

using WizardRunTest = AppSession;

// The first group of the active area, with the reference the caller releases.
IGroupOfDev* FirstGroup(CQorRoadDoc* document)
{
  void* area = nullptr;
  if (FAILED(document->QueryInterface(IID_ActiveArea, &area)) || !area)
    return nullptr;
  void* groups = nullptr;
  static_cast<IArea*>(area)->QueryInterface(&IID_IGroupsOfDev, &groups);
  static_cast<IArea*>(area)->Release();
  if (!groups)
    return nullptr;
  void* group = nullptr;
  static_cast<IGroupsOfDev*>(groups)->QueryInterface(&IID_IGroupOfDev, &group);
  static_cast<IGroupsOfDev*>(groups)->Release();
  return static_cast<IGroupOfDev*>(group);
}

TEST_F(WizardRunTest, TheEndPageNamesTheLuminaireTheProjectGets)
{
  ASSERT_TRUE(Start());
  Pump();
  std::string summary;
  user::SetModalResponder([&](const user::ModalQuestion& q) {
    if (q.kind == user::ModalQuestion::Kind::Dialog && q.dialogId == static_cast<int>(Wizard::kWizardTemplate)) {
      auto* w = dynamic_cast<Wizard::CDlgWizard*>(CWnd::FromHandlePermanent(q.dialog));
      if (!w)
        return IDCANCEL;
      for (int i = 0; i < 10 && w->m_current && w->m_current->m_templateId != static_cast<int>(Wizard::kEndTemplate);
           ++i)
        w->SendMessage(WM_COMMAND, Wizard::kNextCommand, 0);
      CString text;
      if (w->m_current)
        w->m_current->GetDlgItemText(1036, text);
      summary = static_cast<LPCSTR>(text);
      return IDOK;
    }
    return q.kind == user::ModalQuestion::Kind::MessageBox ? IDNO : IDCANCEL;
  });
  Frame()->SendMessage(WM_COMMAND, ids::ID_OBJECT_WIZARD);
  Pump();
  user::SetModalResponder(nullptr);

  auto* document = dynamic_cast<CQorRoadDoc*>(Frame()->GetActiveDocument());
  ASSERT_NE(document, nullptr);
  IGroupOfDev* group = FirstGroup(document);
  ASSERT_NE(group, nullptr);
  const CLightDevice* device = group->GetLightDevice();
  const std::string name(static_cast<LPCSTR>(device->luminaireName));
  char flux[64];
  std::snprintf(flux, sizeof flux, "      Световой поток: %g лм\r\n", device->lampFlux * device->lampCount);
  group->Release();
  ASSERT_FALSE(name.empty());
  EXPECT_NE(summary.find("      Наименование: " + name + "\r\n"), std::string::npos) << summary;
  EXPECT_NE(summary.find(flux), std::string::npos) << summary;
  EXPECT_EQ(summary.find("11500"), std::string::npos) << summary;
}

TEST(LuminaireChooserLine, NamesMakerLuminaireLampPowerAndFlux)
{
  qorsrv::LuminaireRecord record;
  record.luminaireMaker = "Tesmira Road";
  record.luminaireName = "Прожектор";
  record.lampType = "МГЛ 400 Вт";
  record.lampPower = 430;
  record.lampFlux = 16000;
  record.lampCount = 2;
  EXPECT_EQ(shell::LuminaireLine(record), "Tesmira Road  Прожектор, МГЛ 400 Вт, 860 Вт, 32000 лм");
  record.luminaireMaker.clear();
  record.lampType.clear();
  record.lampCount = 1;
  EXPECT_EQ(shell::LuminaireLine(record), "Прожектор, 430 Вт, 16000 лм");
}

}  // namespace
}  // namespace apptest
