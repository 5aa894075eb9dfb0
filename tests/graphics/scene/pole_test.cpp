// Poles as the builder assembles them: arms placed on the bracket, the light centre, states and colour ids
// travelling down to the luminaires, pole records without arms, and every scene class through the archive.
#include "graphics/scene/buildings.h"
#include "graphics/scene/groups.h"
#include "graphics/scene/light_devices.h"
#include "graphics/scene/object_containers.h"
#include "graphics/scene/street_devices.h"
#include "graphics/scene/supports.h"
#include "tests/geometry/fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

namespace {

_ARM_PLACEMENT Arm(double endHeight, double length, double tilt, double azimuth, double poleHeight)
{
  _ARM_PLACEMENT p;
  p.endHeight = endHeight;
  p.armLength = length;
  p.tilt = tilt;
  p.azimuth = azimuth;
  p.poleHeight = poleHeight;
  return p;
}

TEST(Bracket, ArmsRiseFromTheTubeToTheirEndHeight)
{
  CStreetSupport support;
  CFixtureBracket bracket(&support);
  EXPECT_EQ(bracket.m_size[2], 0.05);
  bracket.AddArm(10, 2, 15, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  ASSERT_EQ(bracket.GetArms().size(), 1u);
  const CBaseArm* arm = bracket.GetArms()[0];
  EXPECT_NEAR(bracket.GetTubeHeight(), 9.48236, 1e-5);
  EXPECT_EQ(bracket.m_size[2], 10.0);
  EXPECT_NEAR(arm->m_position[2], 9.48236, 1e-5);
  EXPECT_EQ(arm->m_rotation[0], 15.0);
  EXPECT_EQ(arm->m_size[0], 0.03);
  EXPECT_EQ(arm->m_size[2], 2.0);
  EXPECT_EQ(arm->GetOwner(), &bracket);
  EXPECT_EQ(arm->GetLuminaire()->GetOwner(), arm);

  // A lower base leaves the tube; a higher end raises size z; tilt 0 starts the arm at its end height.
  bracket.AddArm(9, 2, 30, 180, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_NEAR(bracket.GetTubeHeight(), 9.48236, 1e-5);
  EXPECT_EQ(bracket.m_size[2], 10.0);
  bracket.AddArm(11, 1.5, 0, 90, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(bracket.GetTubeHeight(), 11.0);
  EXPECT_EQ(bracket.m_size[2], 11.0);
  EXPECT_EQ(bracket.GetArms()[2]->m_position[2], 11.0);
  EXPECT_EQ(bracket.GetArms()[2]->m_rotation[2], 90.0);
}

TEST(Bracket, KindsTurnAndPlaceTheirLuminaires)
{
  CStreetMast mast;
  CMastBracket masts(&mast);
  masts.AddArm(1, 1, 0, 0, 10, 20, 30, 9, 9, 9, 4, 5, 0, 0);
  const CBaseLightDevice* projector = masts.GetArms()[0]->GetLuminaire();
  EXPECT_NE(dynamic_cast<const CProjectorLightDevice*>(projector), nullptr);
  EXPECT_EQ(projector->m_rotation[2], 30.0);
  EXPECT_EQ(projector->m_position[0], 0.0);  // the offset is the floor lamp's
  EXPECT_EQ(projector->m_aimPoint[1], 5.0);
  EXPECT_EQ(projector->m_size[0], 0.7);

  CStreetSupport post;
  CFloorLampBracket lamps(&post);
  lamps.AddArm(1, 0.5, 0, 0, 0, 0, 45, 0.1, 0.2, 0.3, 4, 5, 0, 1);
  const auto* lamp = dynamic_cast<const CFloorLampLightDevice*>(lamps.GetArms()[0]->GetLuminaire());
  ASSERT_NE(lamp, nullptr);
  EXPECT_EQ(lamp->GetStemDown(), 1);
  EXPECT_EQ(lamp->m_rotation[2], 45.0);
  EXPECT_EQ(lamp->m_position[2], 0.3);
  EXPECT_EQ(lamp->m_aimPoint[0], 0.0);
  double offset[3];
  lamps.GetArms()[0]->GetLightOffset(offset);
  EXPECT_EQ(offset[2], 0.7);  // the globe's size z
}

TEST(StreetDevice, LightCentreFollowsThePoleTurnAndTheFirstArm)
{
  struct Case {
    double poleTurn, azimuth, tilt;
    double x, y, z;
  };
  // A column at (5, 1, 0.2) of 10 m, arm ending 0.5 m over the top, 2 m long.
  const Case cases[] = {
      {180, 0, 0, 5, 3, 10.7},   // turned to +y
      {0, 0, 0, 5, -1, 10.7},    // the arm lies along -y of the pole's frame
      {90, 0, 0, 7, 1, 10.7},    // turned a quarter: +x
      {180, -90, 0, 3, 1, 10.7}, // the arm's azimuth turns it a quarter the other way
      {180, 0, 15, 5, 1 + 2 * std::cos(15 * M_PI / 180), 0.2 + 10 + 2 * std::sin(15 * M_PI / 180)},
  };
  for (const Case& c : cases) {
    CStreetColumnIllumination device;
    device.MoveTo(5, 1, 0.2);
    device.TurnTo(0, 0, c.poleTurn);
    device.BuildArms({Arm(0.5, 2, c.tilt, c.azimuth, 10)});
    EXPECT_EQ(device.GetSupport()->m_size[2], 10.0);
    EXPECT_EQ(device.GetSupport()->m_position[0], 5.0);
    EXPECT_EQ(device.GetSupport()->m_rotation[2], c.poleTurn);
    double centre[3];
    ASSERT_TRUE(device.GetBracket()->GetLightCentre(centre));
    EXPECT_NEAR(centre[0], c.x, 1e-9) << c.poleTurn << " " << c.azimuth;
    EXPECT_NEAR(centre[1], c.y, 1e-9) << c.poleTurn << " " << c.azimuth;
    // With a tilt the base sinks below the top, which leaves the tube at 0.
    EXPECT_NEAR(centre[2], c.z, 1e-9) << c.poleTurn << " " << c.azimuth;
  }
}

TEST(StreetDevice, StatesAndColourIdsTravelDownOnly)
{
  CStreetColumnIllumination device;
  device.BuildArms({Arm(0.5, 2, 0, 0, 10), Arm(0.5, 2, 0, 180, 10)});
  device.SetColor(4);
  EXPECT_EQ(device.GetColor(), 0);
  EXPECT_EQ(device.GetSupport()->GetColor(), 4);
  EXPECT_EQ(device.GetBracket()->GetColor(), 4);
  for (const CBaseArm* arm : device.GetBracket()->GetArms()) {
    EXPECT_EQ(arm->GetColor(), 4);
    EXPECT_EQ(arm->GetLuminaire()->GetColor(), 4);
  }

  // The bracket takes the word as it is; arms and luminaires apply the state rule.
  device.GetBracket()->SetState(0x40);
  EXPECT_EQ(device.GetBracket()->GetState(), 0x40u);
  for (const CBaseArm* arm : device.GetBracket()->GetArms()) {
    EXPECT_EQ(arm->GetState(), 0x42u);
    EXPECT_EQ(arm->GetLuminaire()->GetState(), 0x42u);
  }
  device.SetState(0x80);
  EXPECT_EQ(device.GetState(), 0x82u);
  EXPECT_EQ(device.GetSupport()->GetState(), 0x82u);
  EXPECT_EQ(device.GetBracket()->GetState(), 0x80u);
  EXPECT_EQ(device.GetBracket()->GetArms()[1]->GetLuminaire()->GetState(), 0x82u);
}

TEST(StreetDevice, LabelMovesWithTheDeviceAndTheDecoratorPassesItsRequestsOn)
{
  auto* device = new CStreetColumnIllumination;
  device->SetLabel("7-1");
  device->MoveTo(3, 4, 0);
  EXPECT_EQ(device->GetLabel()->m_position[1], 4.0);
  device->TurnTo(0, 0, 180);
  device->BuildArms({Arm(0.5, 2, 0, 0, 8)});

  CLightStreetDeviceDecorator decorator(device, -6);
  EXPECT_EQ(decorator.GetKind(), CBaseLightStreetDevice::kDecorator);
  EXPECT_EQ(decorator.m_position[0], 3.0);
  EXPECT_EQ(decorator.m_rotation[2], 180.0);
  EXPECT_EQ(decorator.GetLabel(), device->GetLabel());
  decorator.SetState(0x40);
  EXPECT_EQ(device->GetState(), 0x42u);
  EXPECT_EQ(decorator.GetState(), 0xAu);
  decorator.SetColor(5);
  EXPECT_EQ(device->GetBracket()->GetArms()[0]->GetLuminaire()->GetColor(), 5);
  decorator.SetLabelHeight(0.4);
  EXPECT_EQ(device->GetLabel()->GetHeight(), 0.4);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(decorator.GetDimensionLabel(i).GetHeight(), 0.2);
  }
  EXPECT_EQ(decorator.GetDimensionLabel(2).GetText(), u"h");
}

TEST(StreetDevice, APoleRecordWithoutArmsStandsAlone)
{
  CStreetMastIllumination device;
  device.MoveTo(1, 2, 0);
  device.BuildArms({});
  EXPECT_TRUE(device.GetBracket()->GetArms().empty());
  EXPECT_EQ(device.GetSupport()->m_size[2], 10.0);  // its default height
  double centre[3];
  EXPECT_FALSE(device.GetBracket()->GetLightCentre(centre));
  EXPECT_EQ(centre[0], 1.0);
  EXPECT_EQ(centre[2], 10.0);
  device.SetState(0x40);
  device.DrawMarkers();  // reads no arm: returns before drawing
}

// Every scene class carries the scene-object record through the archive.
TEST(SceneRecords, EveryClassRoundTrips)
{
  CStreetSupport support;
  CFixtureBracket bracket(&support);
  const std::vector<std::function<std::unique_ptr<CObject3D>()>> makers = {
      [] { return std::make_unique<CObject3D>(); },
      [] { return std::make_unique<CStreetSupport>(); },
      [] { return std::make_unique<CStreetMast>(); },
      [&] { return std::make_unique<CFixtureBracket>(&support); },
      [&] { return std::make_unique<CMastBracket>(&support); },
      [&] { return std::make_unique<CFloorLampBracket>(&support); },
      [&] { return std::make_unique<CFixtureArm>(&bracket); },
      [&] { return std::make_unique<CMastArm>(&bracket); },
      [&] { return std::make_unique<CFloorLampArm>(&bracket, 1); },
      [] { return std::make_unique<CFixtureLightDevice>(); },
      [] { return std::make_unique<CProjectorLightDevice>(); },
      [] { return std::make_unique<CFloorLampLightDevice>(0); },
      [] { return std::make_unique<CStreetColumnIllumination>(); },
      [] { return std::make_unique<CStreetMastIllumination>(); },
      [] { return std::make_unique<CStreetFloorLampIllumination>(); },
      [] { return std::make_unique<CLightStreetDeviceDecorator>(new CStreetColumnIllumination, 2); },
      [] { return std::make_unique<CGroupLightDevice3D>(); },
      [] { return std::make_unique<CGroup3DIndividuality>(); },
      [] { return std::make_unique<CGroup3DLine>(); },
      [] { return std::make_unique<CGroup3DCircle>(); },
      [] { return std::make_unique<CGroup3DPolyline>(); },
      [] { return std::make_unique<CPlane3D>(); },
      [] { return std::make_unique<CTexturedPlane3D>(); },
      [] { return std::make_unique<CTexturedBox3D>(); },
      [] { return std::make_unique<CBuilding3D>(); },
  };
  for (size_t i = 0; i < makers.size(); ++i) {
    auto object = makers[i]();
    object->m_position[0] = 1.25;
    object->m_rotation[2] = -90;
    object->m_size[1] = 0.5;
    object->m_colourId = 22;
    object->SetName("Мачта");
    object->m_number = 3;
    object->m_reserved = 9;
    object->m_pickId = 501;
    StoringArchive store;
    object->Serialize(*store, 0);
    const auto bytes = store.bytes();
    EXPECT_EQ(bytes.size(), 72 + 4 + 1 + 5 + 12u) << i;

    auto back = makers[i]();
    LoadingArchive load(bytes);
    back->Serialize(*load, 0);
    EXPECT_TRUE(load.AtEnd()) << i;
    EXPECT_EQ(back->m_position[0], 1.25) << i;
    EXPECT_EQ(back->m_rotation[2], -90.0) << i;
    EXPECT_EQ(back->m_size[1], 0.5) << i;
    EXPECT_EQ(back->m_colourId, 22) << i;
    EXPECT_EQ(back->GetName(), CString("Мачта")) << i;
    EXPECT_EQ(back->m_number, 3) << i;
    EXPECT_EQ(back->m_reserved, 9) << i;
    EXPECT_EQ(back->m_pickId, 501) << i;
  }
}

}  // namespace
