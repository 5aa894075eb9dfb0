#include "model/class_obj_model.h"
#include "model/iarea.h"
#include "model/identifiers.h"
#include "platform/com/unknown.h"

#include <gtest/gtest.h>

namespace {

using ObjectModel::CClassObjModel;

// A model object that says when it is destroyed.
class Tracked : public CClassObjModel {
public:
  explicit Tracked(bool* destroyed) : m_destroyed(destroyed) {}
  ~Tracked() override { *m_destroyed = true; }

private:
  bool* m_destroyed;
};

IClassObjModel* QueryObject(IClassObjModel* object)
{
  void* out = nullptr;
  EXPECT_EQ(object->QueryInterface(&IID_IClassObjModel, &out), S_OK);
  return static_cast<IClassObjModel*>(out);
}

TEST(ModelObject, ReferenceCountFromBirthToDeletion)
{
  bool destroyed = false;
  auto* object = new Tracked(&destroyed);
  // Born with count 0: the owner's QueryInterface takes the first reference.
  EXPECT_EQ(object->AddRef(), 1);
  EXPECT_EQ(object->ReleaseNoDelete(), 0);
  IClassObjModel* held = QueryObject(object);
  EXPECT_EQ(held, static_cast<IClassObjModel*>(object));
  EXPECT_EQ(held->AddRef(), 2);
  EXPECT_EQ(held->Release(), 1);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(held->Release(), 0);
  EXPECT_TRUE(destroyed);
}

TEST(ModelObject, ReleaseNoDeleteKeepsTheObjectAlive)
{
  bool destroyed = false;
  auto* object = new Tracked(&destroyed);
  IClassObjModel* held = QueryObject(object);
  EXPECT_EQ(held->ReleaseNoDelete(), 0);
  EXPECT_FALSE(destroyed);
  held->DeleteThis(1);
  EXPECT_TRUE(destroyed);
}

TEST(ModelObject, FreshObjectIdsAndDefaultClass)
{
  bool d1 = false, d2 = false;
  IClassObjModel* a = QueryObject(new Tracked(&d1));
  IClassObjModel* b = QueryObject(new Tracked(&d2));
  CGuid idA, idB, classA;
  a->GetObjectId(&idA);
  b->GetObjectId(&idB);
  a->GetClassId(&classA);
  EXPECT_TRUE(idA.IsNotEqual(&GUID_NULL));
  EXPECT_TRUE(idA.IsNotEqual(&idB.Value()));
  EXPECT_TRUE(classA.IsEqual(&CLSID_CClassObjModel));
  EXPECT_EQ(*a->GetExpanded(), 1);
  EXPECT_EQ(a->IsSelected(), 0);
  EXPECT_EQ(a->GetParent(), nullptr);
  a->Release();
  b->Release();
}

TEST(ModelObject, CopyToCopiesIdentityUnlessAskedToKeepIt)
{
  bool d1 = false, d2 = false;
  IClassObjModel* source = QueryObject(new Tracked(&d1));
  IClassObjModel* dest = QueryObject(new Tracked(&d2));
  const CGuid nodeClass(&CLSID_MarkingNode);
  const CString name("Разметка");
  const int collapsed = 0;
  source->SetClassId(&nodeClass);
  source->SetName(&name);
  source->SetSelected(1);
  source->SetExpanded(&collapsed);
  CGuid sourceId, destIdBefore, id;
  source->GetObjectId(&sourceId);
  dest->GetObjectId(&destIdBefore);

  EXPECT_EQ(source->CopyTo(dest, ObjectModel::kCopyKeepIdentity), 0);
  dest->GetObjectId(&id);
  EXPECT_TRUE(id.IsEqual(&destIdBefore.Value()));
  dest->GetClassId(&id);
  EXPECT_TRUE(id.IsEqual(&CLSID_CClassObjModel));
  EXPECT_TRUE(dest->GetName()->IsEmpty());
  EXPECT_EQ(dest->IsSelected(), 0);

  EXPECT_EQ(source->CopyTo(dest, 0), 0);
  dest->GetObjectId(&id);
  EXPECT_TRUE(id.IsEqual(&sourceId.Value()));
  dest->GetClassId(&id);
  EXPECT_TRUE(id.IsEqual(&CLSID_MarkingNode));
  EXPECT_STREQ(dest->GetName()->GetString(), name.GetString());
  EXPECT_EQ(dest->IsSelected(), 1);
  EXPECT_EQ(*dest->GetExpanded(), 0);

  // Onto itself: nothing changes.
  EXPECT_EQ(source->CopyTo(source, 0), 0);
  source->GetObjectId(&id);
  EXPECT_TRUE(id.IsEqual(&sourceId.Value()));
  source->Release();
  dest->Release();
}

TEST(ModelObject, CategoryNodeAnswersOnlyItsObjectInterface)
{
  bool destroyed = false;
  IClassObjModel* node = QueryObject(new Tracked(&destroyed));
  const CGuid roadNode(&CLSID_RoadNode);
  node->SetClassId(&roadNode);
  for (const IID* iid : {&IID_IArea, &IID_IPrimitive, &IID_IRoad, &IID_ILineOfRoad, &IID_IProject, &IID_IUnknown,
                         &IID_IResultsOfCalc, &IID_RoadNode}) {
    void* out = reinterpret_cast<void*>(0x1);
    EXPECT_EQ(node->QueryInterface(iid, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
  }
  // The failed questions took no references.
  EXPECT_EQ(node->Release(), 0);
  EXPECT_TRUE(destroyed);
}

}  // namespace
