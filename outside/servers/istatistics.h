// The statistics server (QorStatcs): records which reports were printed or previewed, with the luminaires,
// poles and brackets in them, into a local SQLite file. It sends nothing anywhere. The interfaces carry the
// program's names in the global namespace, where its callers declare them; slots the program does not call are
// placeholders answering E_NOTIMPL, and the slot number stands after each operation.
#pragma once

#include "platform/base/hresult.h"
#include "platform/com/unknown.h"
#include "platform/com/variant.h"

namespace qorsrv {

// {ED1C9834-2291-4820-A3AA-C55A87819733}
inline constexpr IID IID_IStatistics{0xED1C9834, 0x2291, 0x4820, {0xA3, 0xAA, 0xC5, 0x5A, 0x87, 0x81, 0x97, 0x33}};
// {EA53D854-D99E-43A7-BBD7-7F7F4D21AE7E}
inline constexpr CLSID CLSID_Statistics{0xEA53D854, 0xD99E, 0x43A7, {0xBB, 0xD7, 0x7F, 0x7F, 0x4D, 0x21, 0xAE, 0x7E}};
// {FF49612B-7981-4034-893F-4B0000CA9EF6}
inline constexpr IID IID_IStatisticsSession{0xFF49612B, 0x7981, 0x4034, {0x89, 0x3F, 0x4B, 0x00, 0x00, 0xCA, 0x9E, 0xF6}};
// {731099FA-5E6C-4727-BE14-EDCB33433975}
inline constexpr IID IID_IStatisticsRecord{0x731099FA, 0x5E6C, 0x4727, {0xBE, 0x14, 0xED, 0xCB, 0x33, 0x43, 0x39, 0x75}};
// {4ABCCDC7-5BC8-440F-8B20-174CA1301F0C}
inline constexpr IID IID_IStatisticsEntry{0x4ABCCDC7, 0x5BC8, 0x440F, {0x8B, 0x20, 0x17, 0x4C, 0xA1, 0x30, 0x1F, 0x0C}};

}  // namespace qorsrv

#define QORSRV_PLACEHOLDER(n) \
  virtual HRESULT Placeholder##n() { return E_NOTIMPL; }

// One group of a report: its luminaire, how many, its pole and bracket.
struct IStatisticsEntry : IUnknown {
  QORSRV_PLACEHOLDER(3)
  QORSRV_PLACEHOLDER(4)
  QORSRV_PLACEHOLDER(5)
  QORSRV_PLACEHOLDER(6)
  QORSRV_PLACEHOLDER(7)
  virtual HRESULT SetLuminaireName(BSTR name) = 0;  // 8
  QORSRV_PLACEHOLDER(9)
  virtual HRESULT SetLuminaireCount(int count) = 0;  // 10
  QORSRV_PLACEHOLDER(11)
  virtual HRESULT SetPoleName(BSTR name) = 0;  // 12
  QORSRV_PLACEHOLDER(13)
  virtual HRESULT SetBracketName(BSTR name) = 0;  // 14

protected:
  ~IStatisticsEntry() = default;
};

// One printed or previewed report; recorded when handed back to the session.
struct IStatisticsRecord : IUnknown {
  QORSRV_PLACEHOLDER(3)
  QORSRV_PLACEHOLDER(4)
  QORSRV_PLACEHOLDER(5)
  QORSRV_PLACEHOLDER(6)
  QORSRV_PLACEHOLDER(7)
  virtual HRESULT SetOrganisation(BSTR organisation) = 0;  // 8
  QORSRV_PLACEHOLDER(9)
  QORSRV_PLACEHOLDER(10)
  QORSRV_PLACEHOLDER(11)
  QORSRV_PLACEHOLDER(12)
  virtual HRESULT Begin() = 0;  // 13
  QORSRV_PLACEHOLDER(14)
  QORSRV_PLACEHOLDER(15)
  virtual HRESULT SetFlag(int flag) = 0;  // 16
  QORSRV_PLACEHOLDER(17)
  QORSRV_PLACEHOLDER(18)
  virtual HRESULT CreateEntry(IStatisticsEntry** out) = 0;  // 19

protected:
  ~IStatisticsRecord() = default;
};

// What the document keeps and the report builders use.
struct IStatisticsSession : IUnknown {
  QORSRV_PLACEHOLDER(3)
  QORSRV_PLACEHOLDER(4)
  QORSRV_PLACEHOLDER(5)
  QORSRV_PLACEHOLDER(6)
  QORSRV_PLACEHOLDER(7)
  QORSRV_PLACEHOLDER(8)
  QORSRV_PLACEHOLDER(9)
  QORSRV_PLACEHOLDER(10)
  QORSRV_PLACEHOLDER(11)
  QORSRV_PLACEHOLDER(12)
  QORSRV_PLACEHOLDER(13)
  QORSRV_PLACEHOLDER(14)
  QORSRV_PLACEHOLDER(15)
  QORSRV_PLACEHOLDER(16)
  virtual HRESULT CreateRecord(IStatisticsRecord** out) = 0;  // 17
  QORSRV_PLACEHOLDER(18)
  virtual HRESULT SubmitRecord(IStatisticsRecord* record) = 0;  // 19

protected:
  ~IStatisticsSession() = default;
};

// The server. SendInfo records the request and sends nothing.
struct IStatistics : IUnknown {
  QORSRV_PLACEHOLDER(3)
  QORSRV_PLACEHOLDER(4)
  QORSRV_PLACEHOLDER(5)
  QORSRV_PLACEHOLDER(6)
  QORSRV_PLACEHOLDER(7)
  virtual HRESULT SetInstallationId(BSTR id) = 0;  // 8
  QORSRV_PLACEHOLDER(9)
  virtual HRESULT SetMode(int mode) = 0;  // 10
  virtual HRESULT OpenSession(IStatisticsSession** out) = 0;  // 11
  virtual HRESULT CloseSession(IStatisticsSession* session) = 0;  // 12
  virtual HRESULT Open(BSTR path) = 0;  // 13
  virtual HRESULT Close() = 0;  // 14
  QORSRV_PLACEHOLDER(15)
  virtual HRESULT SendInfo() = 0;  // 16
  virtual HRESULT Flush() = 0;  // 17
  virtual HRESULT EndSession() = 0;  // 18

protected:
  ~IStatistics() = default;
};

#undef QORSRV_PLACEHOLDER

namespace qorsrv {

// Class factory of the statistics server (CLSID_Statistics).
HRESULT QorStatcsCreateInstance(REFCLSID clsid, REFIID iid, void** object);

}  // namespace qorsrv
