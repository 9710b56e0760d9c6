// Creation of the default field object for a field definition: the kind that
// matches its data type, named, sized and flagged after the definition.
#pragma once

#include "dataset/Field.h"
#include "dataset/FieldDefs.h"

#include <memory>

namespace ds {

// The field kind for a data type, or nullptr for a type without one (ftUnknown).
std::unique_ptr<TField> CreateFieldOfType(TFieldType dataType, int size);
// A field for the definition, or nullptr when its type has no field kind.
std::unique_ptr<TField> CreateFieldForDef(const TFieldDef& def);

}  // namespace ds
