// Picking scene objects by their selection names in OpenGL's selection mode, on the off-screen context.
#include "graphics/scene/object_containers.h"
#include "tests/graphics/gl/palette_gl_surface.h"
#include "tests/graphics/scene/pick_names.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

// A flat square in pixel coordinates at its position, its size x wide.
class Square : public CObject3D {
public:
  Square(double x, double y, double side, int pickId)
  {
    MoveTo(x, y, 0);
    ResizeTo(side, side, 0);
    m_pickId = pickId;
  }
  void Draw() override
  {
    glBegin(GL_QUADS);
    glVertex2d(m_position[0], m_position[1]);
    glVertex2d(m_position[0] + m_size[0], m_position[1]);
    glVertex2d(m_position[0] + m_size[0], m_position[1] + m_size[0]);
    glVertex2d(m_position[0], m_position[1] + m_size[0]);
    glEnd();
  }
};

// The names of every hit under a 4 x 4 pixel window at (x, y), the squares drawn in pixel coordinates.
std::vector<GLuint> PickAt(CObjectContainer3D& scene, double x, double y)
{
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, viewport[2], 0, viewport[3], -1, 1);
  glMatrixMode(GL_MODELVIEW);
  return scenetest::PickNames(scene, x, y, 4);
}

TEST(ScenePicking, SelectionModeNamesTheObjectUnderTheCursor)
{
  GlSurface surface(64, 64);
  CObjectContainer3D scene;
  scene.Add(new Square(0, 0, 30, 500));
  scene.Add(new Square(34, 34, 30, 501));
  scene.Add(new Square(20, 20, 4, 0));  // an object without a pick id names 0

  EXPECT_EQ(PickAt(scene, 10, 10), std::vector<GLuint>{500});
  EXPECT_EQ(PickAt(scene, 50, 50), std::vector<GLuint>{501});
  EXPECT_TRUE(PickAt(scene, 50, 10).empty());
  // Both the big square and the small one under it: one hit each, in drawing order.
  EXPECT_EQ(PickAt(scene, 22, 22), (std::vector<GLuint>{500, 0}));
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
