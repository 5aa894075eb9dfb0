// Display lists that all luminaires of one kind share, counted by live instances. They are compiled and deleted
// only with an OpenGL context current: the first instance (or the first draw) compiles them in the current
// context, the last instance deletes them. When the last one dies with no context current, or with another
// context current than the one that holds them, the deletion waits until their context is current again:
// lists are never deleted in a context that does not own them, and never left behind while that context lives.
#pragma once

#include "platform/gl/wgl.h"

namespace scene {

class SharedDisplayLists {
public:
  // Compiles list `index` (0 .. count - 1) between glNewList and glEndList.
  using Compiler = void (*)(int index);

  SharedDisplayLists(int count, Compiler compile) : m_count(count), m_compile(compile) {}

  void Acquire();
  void Release();
  // The name of list `index` in the current context, compiling the set when needed; -1 without a context.
  int Use(int index);

  int GetLiveCount() const { return m_live; }
  // The name of list `index` as held now, -1 when none is compiled.
  int GetName(int index) const { return m_first < 0 ? -1 : m_first + index; }

  // Deletes the lists whose deletion waited for the context now current; the count still waiting.
  static int DeleteDeferred();
  static int PendingDeletions();
  // The owner of a context calls this before deleting it: its lists die with it, and a later context that
  // happens to get the same handle must not lose its own lists to a waiting deletion.
  static void ForgetContext(HGLRC context);

private:
  void Compile();
  void Drop();

  int m_count;
  Compiler m_compile;
  int m_live = 0;
  int m_first = -1;
  HGLRC m_context = nullptr;
};

}  // namespace scene
