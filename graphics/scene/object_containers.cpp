#include "graphics/scene/object_containers.h"

#include <GL/gl.h>

void CBaseObjectContainer3D::DeleteAll()
{
  // Taken out first: a destructor that reaches back into the list finds it already empty.
  std::vector<CObject3D*> objects;
  objects.swap(m_objects);
  for (CObject3D* object : objects) {
    delete object;
  }
}

void CObjectContainer3D::DrawNamed()
{
  glInitNames();
  glPushName(0);
  for (CObject3D* object : m_objects) {
    glLoadName(static_cast<GLuint>(object->m_pickId));
    object->Draw();
  }
}

CSceneObjects::CSceneObjects() : m_owned(new CObjectContainer3D), m_borrowed(new CMRUObjectContainer3D) {}

CSceneObjects::~CSceneObjects()
{
  delete m_borrowed;
  delete m_owned;
}

void CSceneObjects::SetStateAll(DWORD flags)
{
  for (CObject3D* object : m_owned->GetObjects()) {
    object->SetState(flags);
  }
}

void CSceneObjects::SetLabelHeightAll(double height)
{
  for (CObject3D* object : m_owned->GetObjects()) {
    object->SetLabelHeight(height);
  }
}

void CSceneObjects::SetLabelColorAll(float r, float g, float b)
{
  for (CObject3D* object : m_owned->GetObjects()) {
    object->SetLabelColor(r, g, b);
  }
}
