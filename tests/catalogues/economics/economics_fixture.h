// A project in memory for the economics: the report's project document, with one switched-on group of poles per
// area whose luminaire, lamps and first pole carry the prices the tests set.
#pragma once

#include "tests/report/summary_fixture.h"

#include "model/igroups.h"
#include "model/ipole.h"
#include "model/lamp_post.h"
#include "model/light_device.h"
#include "model/shell/shell_services.h"
#include "tests/catalogues/economics/fake_price_database.h"

#include <string>
#include <vector>

namespace econtest {

inline IGroupOfDev* FirstGroup(IArea* area)
{
  return Part<IGroupOfDev>(Part<IGroupsOfDev>(area, IID_IGroupsOfDev), IID_IGroupOfDev);
}

inline IPole* FirstPole(IGroupOfDev* group) { return Part<IPole>(group, IID_IPole); }

// The project's economic parameters and the group's figures of the worked example, all in currency.
inline void SetWorkedExample(IProject* project, IGroupOfDev* group)
{
  const double tariff = 5, efficiency = 0.12, loss = 1.1, aL = 0.1, aP = 0.05, aB = 0.08;
  const int hours = 4000, on = 1;
  project->SetElectricityTariff(&tariff);
  project->SetHoursOfUse(&hours);
  project->SetCapitalEfficiency(&efficiency);
  project->SetNetworkLossFactor(&loss);
  project->SetLuminaireAmortisation(&aL);
  project->SetPoleAmortisation(&aP);
  project->SetBracketAmortisation(&aB);
  project->SetPolesInCost(&on);
  project->SetBracketsInCost(&on);

  group->SetState(&on);
  CLightDevice& device = *group->GetLightDevice();
  device.luminaireName = "ЖКУ 150";
  device.lampType = "ДНаТ";
  device.lampCount = 1;
  device.lampPower = 150;
  device.powerLossFactor = 1.1;
  device.luminairePrice = 1000000;
  device.installationCost = 50000;
  device.cleaningCost = 10000;
  device.cleaningsPerYear = 2;
  device.lampPrice = 80000;
  device.lampReplacementCost = 20000;
  device.lampLife = 20000;
  for (IPole* pole = FirstPole(group); pole; pole = pole->GetNext()) {
    const double price = 30000, mount = 5000, bracket = 2000, bracketMount = 1000;
    pole->SetPolePrice(&price);
    pole->SetPoleMountPrice(&mount);
    pole->SetBracketPrice(&bracket);
    pole->SetBracketMountPrice(&bracketMount);
  }
}

// A straight road's group has one pole; its luminaires are the arms of the catalogue bracket on it.
inline void SetLuminairesPerPole(IGroupOfDev* group, int luminaires)
{
  IPole* pole = FirstPole(group);
  const int typical = 1;
  pole->SetTypical(&typical);
  CLampPost* post = pole->GetLampPost();
  CLampConsole* bracket = post->GetCurrentBracket() ? post->GetCurrentBracket() : post->AddBracket("К-2");
  bracket->arms.SetSize(luminaires);
}

inline void SetScheme(IGroupOfDev* group, int scheme, double spacing, int luminairesPerPole)
{
  group->SetRoadScheme(&scheme);
  group->SetStep(&spacing);
  SetLuminairesPerPole(group, luminairesPerPole);
}

// The project document with a price database behind it and the undo steps counted.
class EconomicsDocument : public ProjectDocument {
public:
  HRESULT QueryInterface(REFIID iid, void** out) override
  {
    if (iid == qorsrv::IID_IPriceDatabase && withPrices) {
      *out = static_cast<IPriceDatabase*>(&prices);
      return S_OK;
    }
    return ProjectDocument::QueryInterface(iid, out);
  }
  int PushUndoState() override
  {
    ++pushed;
    return 0;
  }
  int Undo() override
  {
    ++undone;
    return 0;
  }

  FakePriceDatabase prices;
  bool withPrices = true;
  int pushed = 0;
  int undone = 0;
};

// Message boxes recorded and answered, and the main window the views post to.
class RecordingShell : public Shell::CShellServices {
public:
  RecordingShell() { Shell::SetShellServices(this); }
  ~RecordingShell() override { Shell::SetShellServices(nullptr); }
  int ShowMessageBox(HWND, LPCSTR text, LPCSTR, UINT type) override
  {
    boxes.push_back(text);
    types.push_back(type);
    return answer;
  }
  HWND GetMainWindow() override { return mainWindow; }
  HMODULE GetAnalyticsModule() override { return analytics; }
  int SendAnalyticsInfo(int) override { return 0; }
  UINT GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue) override
  {
    return std::string(section) + "/" + entry == "Report/EcZoom" ? static_cast<UINT>(zoom) : defaultValue;
  }
  BOOL WriteProfileInt(LPCSTR section, LPCSTR entry, int value) override
  {
    if (std::string(section) + "/" + entry == "Report/EcZoom")
      zoom = value;
    return TRUE;
  }

  std::vector<std::string> boxes;
  std::vector<UINT> types;
  int answer = 6;  // IDYES
  HWND mainWindow = nullptr;
  HMODULE analytics = nullptr;
  int zoom = 100;
};

}  // namespace econtest
