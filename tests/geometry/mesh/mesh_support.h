// Shared pieces of the calculation-surface tests.
#pragma once

#include "geometry/display_host.h"
#include "platform/mfc-core/exceptions.h"

#include <initializer_list>

// Whether the call was refused with one of the framework's exceptions (which is freed).
template <typename F>
bool Refused(F&& call)
{
  try {
    call();
  } catch (CException* e) {
    e->Delete();
    return true;
  }
  return false;
}

// A level list that converts to the array the builders take.
struct Levels {
  Levels(std::initializer_list<float> values)
  {
    for (float v : values) array.Add(v);
  }
  operator const CLevelArray&() const { return array; }
  float operator[](INT_PTR k) const { return array[k]; }
  CLevelArray array;
};
