// A price database in memory: what it knows by name, every write it was given, and a failure it can be told to
// answer with.
#pragma once

#include "outside/servers/iprice_database.h"

#include <map>
#include <string>
#include <vector>

class FakePriceDatabase : public IPriceDatabase {
public:
  std::map<std::string, LONG> known;  // "operation|name" -> answer
  std::map<std::string, double> knownFactors;
  std::vector<std::string> writes;    // "operation|name|value"
  HRESULT failure = S_OK;             // answered by every call when set

  HRESULT QueryInterface(REFIID, void** out) override
  {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }

  HRESULT SetLuminairePrice(const char* n, LONG v) override { return Write("SetLuminairePrice", n, v); }
  HRESULT SetPolePrice(const char* n, LONG v) override { return Write("SetPolePrice", n, v); }
  HRESULT SetBracketPrice(const char* n, LONG v) override { return Write("SetBracketPrice", n, v); }
  HRESULT GetLuminairePrice(const char* n, LONG* v) override { return Read("LuminairePrice", n, v); }
  HRESULT GetPolePrice(const char* n, LONG* v) override { return Read("PolePrice", n, v); }
  HRESULT GetBracketPrice(const char* n, LONG* v) override { return Read("BracketPrice", n, v); }
  HRESULT PriceDbOpen(VARIANT) override { return S_OK; }
  HRESULT PriceDbClose() override { return S_OK; }
  HRESULT SetDefaultTariff(double v) override { return Write("SetDefaultTariff", "", v); }
  HRESULT GetDefaultTariff(LONG*) override { return S_FALSE; }
  HRESULT SetDefaultHours(LONG v) override { return Write("SetDefaultHours", "", v); }
  HRESULT GetDefaultHours(LONG*) override { return S_FALSE; }
  HRESULT SetDefaultEfficiency(double v) override { return Write("SetDefaultEfficiency", "", v); }
  HRESULT GetDefaultEfficiency(double*) override { return S_FALSE; }
  HRESULT SetDefaultNetworkLoss(double v) override { return Write("SetDefaultNetworkLoss", "", v); }
  HRESULT GetDefaultNetworkLoss(double*) override { return S_FALSE; }
  HRESULT SetDefaultLuminaireAmortisation(double v) override { return Write("SetDefaultLuminaireAmortisation", "", v); }
  HRESULT GetDefaultLuminaireAmortisation(double*) override { return S_FALSE; }
  HRESULT SetDefaultPoleAmortisation(double v) override { return Write("SetDefaultPoleAmortisation", "", v); }
  HRESULT GetDefaultPoleAmortisation(double*) override { return S_FALSE; }
  HRESULT SetDefaultBracketAmortisation(double v) override { return Write("SetDefaultBracketAmortisation", "", v); }
  HRESULT GetDefaultBracketAmortisation(double*) override { return S_FALSE; }
  HRESULT SetDefaultPolePrice(double v) override { return Write("SetDefaultPolePrice", "", v); }
  HRESULT GetDefaultPolePrice(double*) override { return S_FALSE; }
  HRESULT SetDefaultPoleMountPrice(double v) override { return Write("SetDefaultPoleMountPrice", "", v); }
  HRESULT GetDefaultPoleMountPrice(double*) override { return S_FALSE; }
  HRESULT SetDefaultBracketPrice(double v) override { return Write("SetDefaultBracketPrice", "", v); }
  HRESULT GetDefaultBracketPrice(double*) override { return S_FALSE; }
  HRESULT SetDefaultBracketMountPrice(double v) override { return Write("SetDefaultBracketMountPrice", "", v); }
  HRESULT GetDefaultBracketMountPrice(double*) override { return S_FALSE; }
  HRESULT SetBracketMountPrice(const char* n, LONG v) override { return Write("SetBracketMountPrice", n, v); }
  HRESULT GetBracketMountPrice(const char* n, LONG* v) override { return Read("BracketMountPrice", n, v); }
  HRESULT SetPoleMountPrice(const char* n, LONG v) override { return Write("SetPoleMountPrice", n, v); }
  HRESULT GetPoleMountPrice(const char* n, LONG* v) override { return Read("PoleMountPrice", n, v); }
  HRESULT SetLuminaireInstallation(const char* n, LONG v) override { return Write("SetLuminaireInstallation", n, v); }
  HRESULT GetLuminaireInstallation(const char* n, LONG* v) override { return Read("LuminaireInstallation", n, v); }
  HRESULT SetLuminaireCleaning(const char* n, LONG v) override { return Write("SetLuminaireCleaning", n, v); }
  HRESULT GetLuminaireCleaning(const char* n, LONG* v) override { return Read("LuminaireCleaning", n, v); }
  HRESULT SetCleaningsPerYear(const char* n, LONG v) override { return Write("SetCleaningsPerYear", n, v); }
  HRESULT GetCleaningsPerYear(const char* n, LONG* v) override { return Read("CleaningsPerYear", n, v); }
  HRESULT SetLuminaireLife(const char* n, LONG v) override { return Write("SetLuminaireLife", n, v); }
  HRESULT GetLuminaireLife(const char* n, LONG* v) override { return Read("LuminaireLife", n, v); }
  HRESULT SetDriverLoss(const char* n, double v) override { return Write("SetDriverLoss", n, v); }
  HRESULT GetDriverLoss(const char* n, double* v) override { return ReadFactor("DriverLoss", n, v); }
  HRESULT SetLampPrice(const char* t, double, LONG v) override { return Write("SetLampPrice", t, v); }
  HRESULT GetLampPrice(const char* t, double, LONG* v) override { return Read("LampPrice", t, v); }
  HRESULT SetLampReplacement(const char* t, double, LONG v) override { return Write("SetLampReplacement", t, v); }
  HRESULT GetLampReplacement(const char* t, double, LONG* v) override { return Read("LampReplacement", t, v); }
  HRESULT SetLampLife(const char* t, double, LONG v) override { return Write("SetLampLife", t, v); }
  HRESULT GetLampLife(const char* t, double, LONG* v) override { return Read("LampLife", t, v); }
  HRESULT SetBallastLoss(const char* t, double, double v) override { return Write("SetBallastLoss", t, v); }
  HRESULT GetBallastLoss(const char* t, double, double* v) override { return ReadFactor("BallastLoss", t, v); }

private:
  template <class T>
  HRESULT Write(const char* operation, const char* name, T value)
  {
    if (FAILED(failure))
      return failure;
    writes.push_back(std::string(operation) + "|" + name + "|" + std::to_string(value));
    return S_OK;
  }
  HRESULT Read(const char* operation, const char* name, LONG* value)
  {
    if (FAILED(failure))
      return failure;
    const auto found = known.find(std::string(operation) + "|" + name);
    if (found == known.end())
      return S_FALSE;
    *value = found->second;
    return S_OK;
  }
  HRESULT ReadFactor(const char* operation, const char* name, double* value)
  {
    if (FAILED(failure))
      return failure;
    const auto found = knownFactors.find(std::string(operation) + "|" + name);
    if (found == knownFactors.end())
      return S_FALSE;
    *value = found->second;
    return S_OK;
  }
};
