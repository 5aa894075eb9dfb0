// The scene object base: the state rule, labels, the archive record and the scene lists.
#include "geometry/object3d.h"
#include "geometry/vector_string3d.h"
#include "graphics/scene/object_containers.h"
#include "platform/mfc-core/exceptions.h"
#include "tests/geometry/fixtures.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// Starts from any word, as earlier requests would have left it.
class StateProbe : public CObject3D {
public:
  explicit StateProbe(DWORD state) { m_state = state; }
};

TEST(SceneObjectState, RequestsFollowTheStateRule)
{
  struct Case {
    DWORD before;
    DWORD request;
    DWORD after;
  };
  const Case cases[] = {
      {0x00A, 0x100, 0x10A},  // show label
      {0x10A, 0x100, 0x10A},  // again: unchanged
      {0x10A, 0x200, 0x00A},  // hide label
      {0x00A, 0x200, 0x00A},  // hide label without the bit: unchanged
      {0x00A, 0x004, 0x008},  // hide
      {0x10A, 0x008, 0x10A},  // a request sharing a bit is ignored
      {0x102, 0x008, 0x00A},  // a new word drops the label bit and stays visible
      {0x00A, 0x002, 0x00A},  // 2 to a visible object changes nothing
      {0x008, 0x002, 0x002},  // 2 to a hidden one replaces the word
      {0x00A, 0x040, 0x042},
      {0x00A, 0x012, 0x00A},  // shares the visible bit: ignored
      {0x008, 0x012, 0x012},
      {0x00A, 0x104, 0x008},  // hide wins when both bits come
      {0x00A, 0x300, 0x10A},  // show-label wins over hide-label
  };
  for (const Case& c : cases) {
    StateProbe object(c.before);
    object.SetState(c.request);
    EXPECT_EQ(object.GetState(), c.after) << std::hex << "from " << c.before << " request " << c.request;
  }
}

TEST(SceneObject, ConstructionAndLabels)
{
  CObject3D object;
  EXPECT_EQ(object.GetState(), 0xAu);
  EXPECT_EQ(object.GetLabel(), nullptr);
  object.SetLabelHeight(3);  // no label: nothing happens
  object.SetLabelColor(1, 0, 0);
  EXPECT_EQ(object.GetLabel(), nullptr);

  object.SetLabel("");
  ASSERT_NE(object.GetLabel(), nullptr);
  EXPECT_TRUE(object.GetLabel()->GetText().empty());

  object.SetLabel("Опора 7");
  ASSERT_NE(object.GetLabel(), nullptr);
  EXPECT_EQ(object.GetLabel()->GetText(), u"Опора 7");
  EXPECT_EQ(object.GetLabel()->GetHeight(), 6.0);  // the text's own default until the owner applies its height
  object.SetLabelHeight(0.5);
  object.SetLabelColor(0.25f, 0.5f, 1.0f);
  EXPECT_EQ(object.GetLabel()->GetHeight(), 0.5);
  EXPECT_EQ(object.GetLabel()->m_b, 1.0f);
}

// Subclasses overriding the change hooks see each setter pair reach them.
class HookCounter : public CObject3D {
public:
  void OnSizeChanged() override { ++sized; }
  void OnPositionChanged() override { ++moved; }
  void OnRotationChanged() override { ++turned; }
  int sized = 0, moved = 0, turned = 0;
};

TEST(SceneObject, SettersStoreAndCallTheirHooks)
{
  HookCounter object;
  object.SetPosition(1, 2, 3);
  object.MoveTo(4, 5, 6);
  object.SetRotation(10, 20, 30);
  object.TurnTo(0, 0, 90);
  object.SetSize(1, 1, 1);
  object.ResizeTo(0.1, 0.1, 10);
  EXPECT_EQ(object.moved, 2);
  EXPECT_EQ(object.turned, 2);
  EXPECT_EQ(object.sized, 2);
  EXPECT_EQ(object.m_position[2], 6.0);
  EXPECT_EQ(object.m_rotation[2], 90.0);
  EXPECT_EQ(object.m_size[2], 10.0);
}

std::vector<std::uint8_t> Hex(const std::string& text)
{
  std::vector<std::uint8_t> bytes;
  for (size_t i = 0; i + 1 < text.size();) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    bytes.push_back(static_cast<std::uint8_t>(std::stoi(text.substr(i, 2), nullptr, 16)));
    i += 2;
  }
  return bytes;
}

// A record written out by hand: position (1, -2, 0.5), rotation (0, 0, 90), size (0.1, 0.1, 10), colour id 4,
// the name "Опора" in code page 1251, number 7, reserved -1, pick id 500.
const char kPoleRecord[] =
    "000000000000F03F 00000000000000C0 000000000000E03F"
    "0000000000000000 0000000000000000 0000000000805640"
    "9A9999999999B93F 9A9999999999B93F 0000000000002440"
    "04000000"
    "05 CEEFEEF0E0"
    "07000000 FFFFFFFF F4010000";

TEST(SceneObjectRecord, ReadsAndWritesTheHandWrittenBytes)
{
  CObject3D object;
  LoadingArchive load(Hex(kPoleRecord));
  object.Serialize(*load, 0);
  EXPECT_TRUE(load.AtEnd());
  EXPECT_EQ(object.m_position[1], -2.0);
  EXPECT_EQ(object.m_rotation[2], 90.0);
  EXPECT_EQ(object.m_size[0], 0.1);
  EXPECT_EQ(object.m_size[2], 10.0);
  EXPECT_EQ(object.GetColor(), 4);
  EXPECT_EQ(object.GetName(), CString("Опора"));
  EXPECT_EQ(object.m_number, 7);
  EXPECT_EQ(object.m_reserved, -1);
  EXPECT_EQ(object.m_pickId, 500);

  StoringArchive store;
  object.Serialize(*store, 0);
  EXPECT_EQ(store.bytes(), Hex(kPoleRecord));
}

TEST(SceneObjectRecord, DefaultRecordAndLongNames)
{
  {
    CObject3D object;
    StoringArchive store;
    object.Serialize(*store, 0);
    std::vector<std::uint8_t> expected(9 * 8 + 4 + 1 + 3 * 4, 0);
    EXPECT_EQ(store.bytes(), expected);
  }
  // Names of 255 characters and more take the 0xFF prefix with a 16-bit length.
  for (int length : {254, 255, 300}) {
    CObject3D object;
    object.SetName(CString(std::string(static_cast<size_t>(length), 'x').c_str()));
    StoringArchive store;
    object.Serialize(*store, 0);
    const auto bytes = store.bytes();
    const size_t prefix = length < 255 ? 1 : 3;
    ASSERT_EQ(bytes.size(), 76 + prefix + static_cast<size_t>(length) + 12);
    if (prefix == 3) {
      EXPECT_EQ(bytes[76], 0xFF);
      EXPECT_EQ(bytes[77] | bytes[78] << 8, length);
    } else {
      EXPECT_EQ(bytes[76], length);
    }
    CObject3D back;
    LoadingArchive load(bytes);
    back.Serialize(*load, 0);
    EXPECT_EQ(back.GetName().GetLength(), length);
  }
}

TEST(SceneObjectRecord, ShortOrLyingInputRaisesTheArchiveError)
{
  std::vector<std::uint8_t> record = Hex(kPoleRecord);
  // Cut inside the doubles, inside the name, before the pick id; and a name claiming 60000 bytes.
  std::vector<std::vector<std::uint8_t>> inputs = {
      {record.begin(), record.begin() + 20},
      {record.begin(), record.begin() + 78},
      {record.begin(), record.end() - 2},
  };
  std::vector<std::uint8_t> lying(record.begin(), record.begin() + 76);
  for (int b : {0xFF, 0x60, 0xEA}) lying.push_back(static_cast<std::uint8_t>(b));
  inputs.push_back(lying);
  for (const auto& input : inputs) {
    CObject3D object;
    LoadingArchive load(input);
    bool thrown = false;
    try {
      object.Serialize(*load, 0);
    } catch (CArchiveException* e) {
      thrown = true;
      e->Delete();
    }
    EXPECT_TRUE(thrown) << input.size() << " bytes";
  }
}

// Counts its own destruction, to show who deletes what.
class Counted : public CObject3D {
public:
  explicit Counted(int* deaths) : m_deaths(deaths) {}
  ~Counted() override { ++*m_deaths; }

private:
  int* m_deaths;
};

TEST(SceneLists, OwningListDeletesOnceAndBorrowedListLeavesAlive)
{
  int deaths = 0;
  {
    CObjectContainer3D owned;
    owned.DeleteAll();  // empty: nothing
    owned.Add(new Counted(&deaths));
    owned.Add(new Counted(&deaths));
    owned.DeleteAll();
    EXPECT_EQ(deaths, 2);
    EXPECT_EQ(owned.GetCount(), 0u);
    owned.Add(new Counted(&deaths));
  }
  EXPECT_EQ(deaths, 3);  // the destructor deletes what is left

  deaths = 0;
  Counted kept(&deaths);
  {
    CMRUObjectContainer3D borrowed;
    borrowed.Add(&kept);
  }
  EXPECT_EQ(deaths, 0);
}

TEST(SceneLists, BroadcastsReachTheOwningListInOrder)
{
  CSceneObjects scene;
  auto* labelled = new CObject3D;
  auto* plain = new CObject3D;
  labelled->SetLabel("A");
  scene.GetOwned()->Add(labelled);
  scene.GetOwned()->Add(plain);
  scene.SetStateAll(0x100);
  scene.SetLabelHeightAll(0.3);
  scene.SetLabelColorAll(1, 1, 0);
  EXPECT_EQ(labelled->GetState(), 0x10Au);
  EXPECT_EQ(plain->GetState(), 0x10Au);
  EXPECT_EQ(labelled->GetLabel()->GetHeight(), 0.3);
  EXPECT_EQ(labelled->GetLabel()->m_g, 1.0f);
  scene.SetStateAll(0x200);
  EXPECT_EQ(plain->GetState(), 0xAu);
  EXPECT_EQ(scene.GetBorrowed()->GetCount(), 0u);
}

}  // namespace
