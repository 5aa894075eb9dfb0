// Sidewalks and building walls: twins holding a left and a right strip and a flags word that says whether the
// element is part of the cross-section and which strips are switched on.
#pragma once

#include "model/class_obj_model.h"
#include "model/ipavement.h"
#include "model/iroad.h"

namespace ObjectModel {

// What the sidewalks and the walls share: the flags, the shown name and the two strips.
class CSideStrips : public CClassObjModel {
public:
  int Serialize(CArchive* ar, DWORD fileVersion) override;
  int SetDefaults() override;

  // What SetDefaults gives each kind.
  struct Defaults {
    CLSID classId;
    UINT nameId;
    int flags;
    double stripWidth;
    double stripGap;
  };

protected:
  CSideStrips(CClassObjModel* parent, const Defaults& defaults);
  ~CSideStrips() override;

  ILineOfRoad* CreateStrip(ILineOfRoad*& slot);
  void RemoveStrip(ILineOfRoad*& slot);
  void ClearStripSelection();
  // The copy both kinds make after the base step, into `to` of the same kind.
  void CopySidesTo(CSideStrips* to, DWORD flags);
  HRESULT AnswerKey(const IID* iid, const IID& leftKey, const IID& rightKey, void** out);

  const Defaults& m_defaults;
  int m_flags = 0;
  CString m_sideName;
  DWORD m_copyFlags = 0;
  ILineOfRoad* m_left = nullptr;
  ILineOfRoad* m_right = nullptr;
};

// IPavement's and IWall's name slots have the form of the object's own but name the element's shown name.
template <class Interface>
struct CSideNameSlots : Interface {
  CString* GetName() final { return GetSideName(); }
  int SetName(const CString* name) final { return SetSideName(name); }

protected:
  virtual CString* GetSideName() = 0;
  virtual int SetSideName(const CString* name) = 0;
  ~CSideNameSlots() = default;
};

class CPavement : public CSideStrips, public CSideNameSlots<IPavement> {
public:
  explicit CPavement(CClassObjModel* parent);

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }
  int CopyTo(IClassObjModel* dst, DWORD flags) override;

  int* GetFlags() override { return &m_flags; }
  int SetFlags(const int* flags) override;
  ILineOfRoad* CreateLeft() override { return CreateStrip(m_left); }
  ILineOfRoad* CreateRight() override { return CreateStrip(m_right); }
  int RemoveLeft() override;
  int RemoveRight() override;
  int Reserved() override { return 0; }
  int ClearSelection() override;

protected:
  CString* GetSideName() override { return &m_sideName; }
  int SetSideName(const CString* name) override;
};

class CWall : public CSideStrips, public CSideNameSlots<IWall> {
public:
  explicit CWall(CClassObjModel* parent);

  HRESULT QueryInterface(const IID* iid, void** out) override;
  LONG AddRef() override { return CClassObjModel::AddRef(); }
  LONG Release() override { return CClassObjModel::Release(); }
  int CopyTo(IClassObjModel* dst, DWORD flags) override;

  int* GetFlags() override { return &m_flags; }
  int SetFlags(const int* flags) override;
  ILineOfRoad* CreateLeft() override { return CreateStrip(m_left); }
  ILineOfRoad* CreateRight() override { return CreateStrip(m_right); }
  int RemoveLeft() override;
  int RemoveRight() override;
  int ClearSelection() override;

protected:
  CString* GetSideName() override { return &m_sideName; }
  int SetSideName(const CString* name) override;
};

}  // namespace ObjectModel
