// One reference to a part of a model object, asked for by interface or key and dropped with the holder.
#pragma once

#include "model/class_obj_model.h"
#include "model/doc_interface.h"
#include "model/identifiers.h"
#include "model/iproject.h"

#include <utility>

namespace VisualCtrl {

template <class I>
class ModelRef {
public:
  ModelRef() = default;
  ModelRef(IModelUnknown* object, const IID& key)
  {
    void* part = nullptr;
    if (object && SUCCEEDED(object->QueryInterface(&key, &part)))
      m_part = static_cast<I*>(part);
  }
  // Takes over a reference the caller already holds.
  static ModelRef Adopt(I* part)
  {
    ModelRef ref;
    ref.m_part = part;
    return ref;
  }
  ModelRef(ModelRef&& other) noexcept : m_part(std::exchange(other.m_part, nullptr)) {}
  ModelRef& operator=(ModelRef&& other) noexcept
  {
    std::swap(m_part, other.m_part);
    return *this;
  }
  ModelRef(const ModelRef&) = delete;
  ModelRef& operator=(const ModelRef&) = delete;
  ~ModelRef()
  {
    if (m_part)
      m_part->Release();
  }

  I* get() const { return m_part; }
  I* operator->() const { return m_part; }
  explicit operator bool() const { return m_part != nullptr; }

private:
  I* m_part = nullptr;
};

// The common part of a model object's interface; null when it answers none.
inline ModelRef<IClassObjModel> ObjectOf(IModelUnknown* part) { return {part, IID_IClassObjModel}; }

// The project of the document's current state; null without a document.
inline ModelRef<IProject> ProjectOf(IQorRoadDoc* document)
{
  void* project = nullptr;
  if (!document || FAILED(document->QueryInterface(IID_IProject, &project)))
    return {};
  return ModelRef<IProject>::Adopt(static_cast<IProject*>(project));
}

}  // namespace VisualCtrl
