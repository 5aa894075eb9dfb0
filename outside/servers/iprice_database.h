// The price database server (QorEconomic): prices and service data of luminaires, lamps, poles and brackets by
// name, and the default economic figures of a new project. Names are code page 1251 texts; money is whole
// hundredths (LONG) except the default pole and bracket prices, which are currency units (double). Getters answer
// S_OK when the value is known and S_FALSE, leaving the out-parameter alone, when it is not. Slots the program
// does not call are placeholders answering E_NOTIMPL; the slot number stands after each operation.
#pragma once

#include "platform/base/hresult.h"
#include "platform/com/unknown.h"
#include "platform/com/variant.h"

#include <cstdint>

namespace qorsrv {

// {395E9325-A5E9-49D1-BB94-06A82D72768B}
inline constexpr IID IID_IPriceDatabase{0x395E9325, 0xA5E9, 0x49D1, {0xBB, 0x94, 0x06, 0xA8, 0x2D, 0x72, 0x76, 0x8B}};
// {AD6B14F7-198E-4D42-978A-931B0925338A}
inline constexpr CLSID CLSID_PriceDatabase{0xAD6B14F7, 0x198E, 0x4D42, {0x97, 0x8A, 0x93, 0x1B, 0x09, 0x25, 0x33, 0x8A}};

// Currency to whole hundredths, to the nearest (0.29 stays 29): the one conversion the server makes.
std::int32_t ToHundredths(double currency);

#define QORSRV_PLACEHOLDER(n) \
  virtual HRESULT Placeholder##n() { return E_NOTIMPL; }

}  // namespace qorsrv

// The program's name for the interface, in the global namespace where its callers declare it.
struct IPriceDatabase : IUnknown {
  QORSRV_PLACEHOLDER(3)
  QORSRV_PLACEHOLDER(4)
  QORSRV_PLACEHOLDER(5)
  QORSRV_PLACEHOLDER(6)
  QORSRV_PLACEHOLDER(7)
  QORSRV_PLACEHOLDER(8)
  virtual HRESULT SetLuminairePrice(const char* luminaire, LONG hundredths) = 0;  // 9
  virtual HRESULT SetPolePrice(const char* pole, LONG hundredths) = 0;  // 10
  virtual HRESULT SetBracketPrice(const char* bracket, LONG hundredths) = 0;  // 11
  virtual HRESULT GetLuminairePrice(const char* luminaire, LONG* hundredths) = 0;  // 12
  virtual HRESULT GetPolePrice(const char* pole, LONG* hundredths) = 0;  // 13
  virtual HRESULT GetBracketPrice(const char* bracket, LONG* hundredths) = 0;  // 14
  virtual HRESULT PriceDbOpen(VARIANT path) = 0;  // 15
  virtual HRESULT PriceDbClose() = 0;  // 16
  QORSRV_PLACEHOLDER(17)
  QORSRV_PLACEHOLDER(18)
  virtual HRESULT SetDefaultTariff(double currencyPerKilowattHour) = 0;  // 19
  virtual HRESULT GetDefaultTariff(LONG* hundredths) = 0;  // 20
  virtual HRESULT SetDefaultHours(LONG hours) = 0;  // 21
  virtual HRESULT GetDefaultHours(LONG* hours) = 0;  // 22
  virtual HRESULT SetDefaultEfficiency(double value) = 0;  // 23
  virtual HRESULT GetDefaultEfficiency(double* value) = 0;  // 24
  virtual HRESULT SetDefaultNetworkLoss(double value) = 0;  // 25
  virtual HRESULT GetDefaultNetworkLoss(double* value) = 0;  // 26
  virtual HRESULT SetDefaultLuminaireAmortisation(double value) = 0;  // 27
  virtual HRESULT GetDefaultLuminaireAmortisation(double* value) = 0;  // 28
  virtual HRESULT SetDefaultPoleAmortisation(double value) = 0;  // 29
  virtual HRESULT GetDefaultPoleAmortisation(double* value) = 0;  // 30
  virtual HRESULT SetDefaultBracketAmortisation(double value) = 0;  // 31
  virtual HRESULT GetDefaultBracketAmortisation(double* value) = 0;  // 32
  virtual HRESULT SetDefaultPolePrice(double currency) = 0;  // 33
  virtual HRESULT GetDefaultPolePrice(double* currency) = 0;  // 34
  virtual HRESULT SetDefaultPoleMountPrice(double currency) = 0;  // 35
  virtual HRESULT GetDefaultPoleMountPrice(double* currency) = 0;  // 36
  virtual HRESULT SetDefaultBracketPrice(double currency) = 0;  // 37
  virtual HRESULT GetDefaultBracketPrice(double* currency) = 0;  // 38
  virtual HRESULT SetDefaultBracketMountPrice(double currency) = 0;  // 39
  virtual HRESULT GetDefaultBracketMountPrice(double* currency) = 0;  // 40
  QORSRV_PLACEHOLDER(41)
  QORSRV_PLACEHOLDER(42)
  QORSRV_PLACEHOLDER(43)
  QORSRV_PLACEHOLDER(44)
  QORSRV_PLACEHOLDER(45)
  QORSRV_PLACEHOLDER(46)
  QORSRV_PLACEHOLDER(47)
  QORSRV_PLACEHOLDER(48)
  virtual HRESULT SetBracketMountPrice(const char* bracket, LONG hundredths) = 0;  // 49
  virtual HRESULT GetBracketMountPrice(const char* bracket, LONG* hundredths) = 0;  // 50
  virtual HRESULT SetPoleMountPrice(const char* pole, LONG hundredths) = 0;  // 51
  virtual HRESULT GetPoleMountPrice(const char* pole, LONG* hundredths) = 0;  // 52
  virtual HRESULT SetLuminaireInstallation(const char* luminaire, LONG hundredths) = 0;  // 53
  virtual HRESULT GetLuminaireInstallation(const char* luminaire, LONG* hundredths) = 0;  // 54
  virtual HRESULT SetLuminaireCleaning(const char* luminaire, LONG hundredths) = 0;  // 55
  virtual HRESULT GetLuminaireCleaning(const char* luminaire, LONG* hundredths) = 0;  // 56
  virtual HRESULT SetCleaningsPerYear(const char* luminaire, LONG count) = 0;  // 57
  virtual HRESULT GetCleaningsPerYear(const char* luminaire, LONG* count) = 0;  // 58
  virtual HRESULT SetLuminaireLife(const char* luminaire, LONG hours) = 0;  // 59
  virtual HRESULT GetLuminaireLife(const char* luminaire, LONG* hours) = 0;  // 60
  virtual HRESULT SetDriverLoss(const char* luminaire, double factor) = 0;  // 61
  virtual HRESULT GetDriverLoss(const char* luminaire, double* factor) = 0;  // 62
  virtual HRESULT SetLampPrice(const char* lampType, double lampPower, LONG hundredths) = 0;  // 63
  virtual HRESULT GetLampPrice(const char* lampType, double lampPower, LONG* hundredths) = 0;  // 64
  virtual HRESULT SetLampReplacement(const char* lampType, double lampPower, LONG hundredths) = 0;  // 65
  virtual HRESULT GetLampReplacement(const char* lampType, double lampPower, LONG* hundredths) = 0;  // 66
  virtual HRESULT SetLampLife(const char* lampType, double lampPower, LONG hours) = 0;  // 67
  virtual HRESULT GetLampLife(const char* lampType, double lampPower, LONG* hours) = 0;  // 68
  virtual HRESULT SetBallastLoss(const char* lampType, double lampPower, double factor) = 0;  // 69
  virtual HRESULT GetBallastLoss(const char* lampType, double lampPower, double* factor) = 0;  // 70

protected:
  ~IPriceDatabase() = default;
};

namespace qorsrv {

#undef QORSRV_PLACEHOLDER

// Class factory of the price database (CLSID_PriceDatabase).
HRESULT QorEconomicCreateInstance(REFCLSID clsid, REFIID iid, void** object);

}  // namespace qorsrv
