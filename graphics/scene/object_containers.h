// The lists the render core keeps the scene in: the owning scene list the builder fills and every frame draws
// with selection names, and a non-owning list that is made, kept and destroyed empty.
#pragma once

#include "geometry/object3d.h"

#include <vector>

class CBaseObjectContainer3D {
public:
  CBaseObjectContainer3D() = default;
  virtual ~CBaseObjectContainer3D() { DeleteAll(); }
  CBaseObjectContainer3D(const CBaseObjectContainer3D&) = delete;
  CBaseObjectContainer3D& operator=(const CBaseObjectContainer3D&) = delete;

  // The list takes the object; objects keep the order they were added in.
  virtual void Add(CObject3D* object) { m_objects.push_back(object); }
  // Each object deleted once, through its virtual destructor; the list is empty after.
  void DeleteAll();

  const std::vector<CObject3D*>& GetObjects() const { return m_objects; }
  size_t GetCount() const { return m_objects.size(); }

protected:
  std::vector<CObject3D*> m_objects;
};

class CObjectContainer3D : public CBaseObjectContainer3D {
public:
  // glInitNames, glPushName(0), then for every object its pick id as the current name and its Draw.
  void DrawNamed();
};

class CMRUObjectContainer3D : public CObjectContainer3D {
public:
  // Borrowed objects: they outlive the list.
  ~CMRUObjectContainer3D() override { m_objects.clear(); }
};

class CSceneObjects {
public:
  CSceneObjects();
  ~CSceneObjects();
  CSceneObjects(const CSceneObjects&) = delete;
  CSceneObjects& operator=(const CSceneObjects&) = delete;

  // Broadcasts to the owning list, in order.
  void SetStateAll(DWORD flags);
  void SetLabelHeightAll(double height);
  void SetLabelColorAll(float r, float g, float b);

  CObjectContainer3D* GetOwned() const { return m_owned; }
  CMRUObjectContainer3D* GetBorrowed() const { return m_borrowed; }

private:
  CObjectContainer3D* m_owned;
  CMRUObjectContainer3D* m_borrowed;
};
