// The selection names OpenGL's selection mode finds under a small window around a window point, with the
// projection in force when it is asked.
#pragma once

#include "graphics/scene/object_containers.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cstddef>
#include <vector>

namespace scenetest {

inline std::vector<GLuint> PickNames(CObjectContainer3D& scene, double x, double y, double windowSide)
{
  GLint viewport[4];
  GLdouble projection[16];
  glGetIntegerv(GL_VIEWPORT, viewport);
  glGetDoublev(GL_PROJECTION_MATRIX, projection);
  std::vector<GLuint> buffer(1024);
  glSelectBuffer(static_cast<GLsizei>(buffer.size()), buffer.data());
  glRenderMode(GL_SELECT);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  gluPickMatrix(x, y, windowSide, windowSide, viewport);
  glMultMatrixd(projection);
  glMatrixMode(GL_MODELVIEW);
  scene.DrawNamed();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  const GLint hits = glRenderMode(GL_RENDER);
  std::vector<GLuint> names;
  // Each hit: the count of names on the stack, the depth range, then the names.
  std::size_t at = 0;
  for (GLint i = 0; i < hits; ++i) {
    const GLuint count = buffer[at];
    for (GLuint n = 0; n < count; ++n)
      names.push_back(buffer[at + 3 + n]);
    at += 3 + count;
  }
  return names;
}

}  // namespace scenetest
