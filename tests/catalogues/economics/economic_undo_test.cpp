// The economic parameters in the program's own document: edits made in the dialog and then cancelled leave the
// saved project byte for byte as it was; OK keeps them.
#include "tests/document/document_env.h"

#include "catalogues/economics/economic_price_dialog.h"
#include "catalogues/economics/economic_view.h"
#include "model/igroups.h"
#include "model/light_device.h"
#include "platform/mfc/afxrich.h"
#include "res/program_ids.h"

namespace {

class EconomicUndoTest : public DocumentTest {
protected:
  std::vector<std::uint8_t> Saved(const std::string& name)
  {
    const std::string path = TempPath(name);
    EXPECT_TRUE(doc->OnSaveDocument(path.c_str()));
    return ReadFile(path);
  }
  // Runs the pane's parameters command; the dialog gets a price typed into it and ends with `answer`.
  void EditPricesAndEnd(VisualCtrl::CEconomicView& view, int answer)
  {
    user::SetModalResponder([answer](const user::ModalQuestion& q) {
      if (q.kind == user::ModalQuestion::Kind::Dialog && q.dialogId == res::program::IDD_ECONOMIC_PRICE) {
        auto* dialog = dynamic_cast<CDlgEconomPrice*>(CWnd::FromHandlePermanent(q.dialog));
        EXPECT_NE(dialog, nullptr);
        if (dialog) {
          CTKPropertyGridItems* categories = dialog->m_grid.GetGridView().GetCategories();
          CTKPropertyGridItem* tariff = categories->GetAt(0)->GetChilds()->GetAt(0);
          tariff->OnValueChanged("7.25");
        }
        return answer;
      }
      return IDOK;
    });
    view.SendMessage(WM_COMMAND, res::program::ID_ECONOMIC_PARAMETERS, 0);
    user::SetModalResponder(nullptr);
  }
};

TEST_F(EconomicUndoTest, CancelLeavesTheProjectByteIdenticalAndOkKeepsTheEdit)
{
  Start();
  AfxInitRichEdit2();
  CWnd owner;
  ASSERT_TRUE(owner.CreateEx(0, AfxRegisterWndClass(0), "Tesmira Road", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400,
                             nullptr, nullptr));
  auto* container = new VisualCtrl::CEcnmContainerWnd(doc.get());
  ASSERT_TRUE(container->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 500, 300), &owner, 32777));
  const std::vector<std::uint8_t> before = Saved("before.qorr5");
  const double tariffBefore = doc->GetCurrentProject()->GetElectricityTariff();

  EditPricesAndEnd(*container->GetView(), IDCANCEL);
  EXPECT_EQ(doc->GetCurrentProject()->GetElectricityTariff(), tariffBefore);
  EXPECT_EQ(Saved("cancelled.qorr5"), before);

  EditPricesAndEnd(*container->GetView(), IDOK);
  EXPECT_EQ(doc->GetCurrentProject()->GetElectricityTariff(), 7.25);

  container->DestroyWindow();
  delete container;
  owner.DestroyWindow();
}

}  // namespace
