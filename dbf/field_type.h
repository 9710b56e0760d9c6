// The data types under which the engine exchanges field values with the
// dataset layer: the dataset layer's own field-type enumeration
// (dataset/DataSetTypes.h), so both layers name a type the same way and no
// mapping stands between them. Its numbers appear in messages ("VCL field
// type %x").
#pragma once

#include "dataset/DataSetTypes.h"

namespace dbf {

using TFieldType = ds::TFieldType;

}  // namespace dbf
