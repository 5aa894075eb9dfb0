// Telling model objects apart by their class.
#pragma once

#include "model/class_obj_model.h"

// Whether `object` is a model object of the class `id`; false for null and for a part that answers no class.
bool IsOfClass(IModelUnknown* object, const CLSID& id);
