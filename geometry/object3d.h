// The base of every object of the 3D scene: state, placement, size, colour, label. The render core's scene
// derives from it as well; it lives here because the calculation areas and the 3D text are scene objects.
#pragma once

#include "platform/base/wintypes.h"
#include "platform/mfc-core/archive.h"
#include "platform/mfc-core/mfcstring.h"

#include <memory>

class CVectorString3D;

class CSelectableObject {
public:
  static constexpr DWORD kVisible = 0x2;
  static constexpr DWORD kLabelShown = 0x100;

  // 4 hides, 0x100 shows the label, 0x200 hides it; any other value replaces the state (kept visible).
  virtual void SetState(DWORD flags);
  virtual ~CSelectableObject() = default;

  DWORD GetState() const { return m_state; }

protected:
  DWORD m_state = 10;
};

class CObject3D : public CSelectableObject {
public:
  CObject3D();
  ~CObject3D() override;
  CObject3D(const CObject3D&) = delete;
  CObject3D& operator=(const CObject3D&) = delete;

  virtual void SetPosition(double x, double y, double z);
  virtual void MoveTo(double x, double y, double z);
  virtual void SetRotation(double ax, double ay, double az);
  virtual void TurnTo(double ax, double ay, double az);
  virtual void SetSize(double sx, double sy, double sz);
  virtual void ResizeTo(double sx, double sy, double sz);
  virtual void OnSizeChanged() {}
  virtual void OnPositionChanged() {}
  virtual void OnRotationChanged() {}
  virtual void Serialize(CArchive& ar, DWORD version);
  virtual void SetColor(float r, float g, float b);
  virtual void SetLabelHeight(double height);
  virtual void SetLabel(const CString& text);
  virtual CVectorString3D* GetLabel() { return m_label.get(); }
  virtual void SetLabelColor(float r, float g, float b);
  virtual void SetOwner(CObject3D* owner) { m_owner = owner; }
  virtual void Draw() {}
  virtual void DrawMarkers() {}

  // glRotated about X, then Y, then Z; used inside a pushed matrix after the translation to the position.
  void ApplyRotation() const;

  double m_position[3] = {0, 0, 0};
  double m_rotation[3] = {0, 0, 0};
  double m_size[3] = {0, 0, 0};
  float m_colour[3] = {0, 0, 0};
  int m_colourId = 0;
  CString m_name;
  int m_reserved1 = 0;
  int m_reserved2 = 0;
  int m_pickId = 0;

protected:
  std::unique_ptr<CVectorString3D> m_label;
  CObject3D* m_owner = nullptr;
};
