// The program's document makes its own item class for an object embedded in rich text.
#include "tests/app/app_session.h"

#include "app/qor_road_cntr_item.h"
#include "document/qor_road_doc.h"

#include <memory>

namespace apptest {
namespace {

using ClientItemTest = AppSession;

TEST_F(ClientItemTest, TheDocumentsFactoryMakesTheProgramsItem)
{
  ASSERT_TRUE(Start());
  auto* document = dynamic_cast<CQorRoadDoc*>(Frame()->GetActiveDocument());
  ASSERT_NE(document, nullptr);
  std::unique_ptr<CRichEditCntrItem> item(document->CreateClientItem());
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->IsKindOf(RUNTIME_CLASS(CQorRoadCntrItem)));
  EXPECT_EQ(item->GetDocument(), document);
}

}  // namespace
}  // namespace apptest
