#include "graphics/scene/shared_display_lists.h"

#include <GL/gl.h>

#include <vector>

namespace scene {

namespace {

struct Deferred {
  HGLRC context;
  GLuint first;
  GLsizei count;
};

std::vector<Deferred>& DeferredLists()
{
  static std::vector<Deferred> lists;
  return lists;
}

}  // namespace

int SharedDisplayLists::DeleteDeferred()
{
  auto& lists = DeferredLists();
  const HGLRC current = wglGetCurrentContext();
  if (current != nullptr) {
    std::erase_if(lists, [current](const Deferred& d) {
      if (d.context != current) {
        return false;
      }
      glDeleteLists(d.first, d.count);
      return true;
    });
  }
  return static_cast<int>(lists.size());
}

void SharedDisplayLists::ForgetContext(HGLRC context)
{
  std::erase_if(DeferredLists(), [context](const Deferred& d) { return d.context == context; });
}

int SharedDisplayLists::PendingDeletions() { return static_cast<int>(DeferredLists().size()); }

void SharedDisplayLists::Acquire()
{
  if (++m_live == 1 && wglGetCurrentContext() != nullptr) {
    Compile();
  }
}

void SharedDisplayLists::Release()
{
  if (m_live > 0 && --m_live == 0) {
    Drop();
  }
}

int SharedDisplayLists::Use(int index)
{
  const HGLRC current = wglGetCurrentContext();
  if (current == nullptr) {
    return -1;
  }
  if (m_first >= 0 && m_context != current) {
    Drop();  // names of another context mean nothing here
  }
  if (m_first < 0) {
    Compile();
  }
  return GetName(index);
}

void SharedDisplayLists::Compile()
{
  DeleteDeferred();
  const GLuint first = glGenLists(m_count);
  if (first == 0) {
    return;
  }
  for (int i = 0; i < m_count; ++i) {
    glNewList(first + static_cast<GLuint>(i), GL_COMPILE);
    m_compile(i);
    glEndList();
  }
  m_first = static_cast<int>(first);
  m_context = wglGetCurrentContext();
}

void SharedDisplayLists::Drop()
{
  if (m_first < 0) {
    return;
  }
  if (wglGetCurrentContext() == m_context) {
    glDeleteLists(static_cast<GLuint>(m_first), m_count);
  } else {
    DeferredLists().push_back({m_context, static_cast<GLuint>(m_first), m_count});
  }
  m_first = -1;
  m_context = nullptr;
}

}  // namespace scene
