// Projects of every kind of area there is: made by their commands, saved, opened and saved again to the same
// bytes. The calculated samples a person opens are made where the results are (the calculation run, the
// sample sites).
#include "document_env.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "model/project.h"

namespace {

struct KindCase {
  const char* name;
  void (CQorRoadDoc::*command)();
  int form;             // -1: a straight road
  const char* caption;  // the area's caption after numbering ends with it
};

const KindCase kKinds[] = {
    {"straight road", &CQorRoadDoc::OnNewStraightRoad, -1, "[Прямая дорога]"},
    {"open territory", &CQorRoadDoc::OnNewOpenTerritory, 0, "[Открытые территории в одном уровне]"},
    {"turn", &CQorRoadDoc::OnNewTurn, 1, "[Поворот]"},
    {"fork", &CQorRoadDoc::OnNewFork, 2, "[Развилка]"},
    {"crossing", &CQorRoadDoc::OnNewIntersection, 3, "[Пересечение]"},
    {"junction", &CQorRoadDoc::OnNewJunction, 4, "[Примыкание]"},
    {"widening", &CQorRoadDoc::OnNewWidening, 5, "[Уширение]"},
    {"roundabout", &CQorRoadDoc::OnNewRoundabout, 7, "[Кольцевое пересечение]"},
    {"interchange", &CQorRoadDoc::OnNewMultiLevel, 8, "[Многоуровневые развязки]"},
};

class EveryKind : public DocumentTest {
protected:
  IArea* ActiveArea()
  {
    void* area = nullptr;
    if (FAILED(doc->QueryInterface(IID_ActiveArea, &area)))
      return nullptr;
    static_cast<IArea*>(area)->Release();
    return static_cast<IArea*>(area);
  }
};

TEST_F(EveryKind, EachCommandMakesItsAreaAndTheFileRoundTripsByteForByte)
{
  Start();
  for (const KindCase& k : kKinds) {
    SCOPED_TRACE(k.name);
    doc->SetModifiedFlag(FALSE);
    (doc.get()->*k.command)();
    EXPECT_EQ(doc->GetStateCount(), 1);
    EXPECT_EQ(doc->GetViewType(), 2u);
    IArea* area = ActiveArea();
    ASSERT_NE(area, nullptr);
    void* open = nullptr;
    const HRESULT isOpenSite = area->QueryInterface(&IID_ICustomizeRoad, &open);
    if (SUCCEEDED(isOpenSite))
      static_cast<IModelUnknown*>(open)->Release();
    EXPECT_EQ(SUCCEEDED(isOpenSite), k.form >= 0);
    if (k.form >= 0) {
      EXPECT_EQ(*area->GetTypicalForm(), k.form);
    }
    const std::string caption(*area->GetCaption());
    EXPECT_EQ(caption.rfind("Объект - ", 0), 0u) << caption;
    EXPECT_EQ(caption.substr(caption.size() - std::strlen(k.caption)), k.caption);

    const std::string first = TempPath(std::string(k.name) + ".qorr5");
    const std::string again = TempPath(std::string(k.name) + "-again.qorr5");
    ASSERT_TRUE(doc->OnSaveDocument(first.c_str()));
    ASSERT_TRUE(doc->OnOpenDocument(first.c_str()));
    ASSERT_TRUE(doc->OnSaveDocument(again.c_str()));
    EXPECT_EQ(ReadFile(again), ReadFile(first));
  }
}

TEST_F(EveryKind, AnUnknownFormMakesAnOpenSiteWithAnEmptyCaption)
{
  Start();
  int kind = 6;
  doc->NewProjectOfKind(&kind);
  IArea* area = ActiveArea();
  ASSERT_NE(area, nullptr);
  EXPECT_EQ(*area->GetTypicalForm(), 6);
  EXPECT_EQ(std::string(*area->GetCaption()).substr(std::string(*area->GetCaption()).size() - 3), " []");
}

}  // namespace
