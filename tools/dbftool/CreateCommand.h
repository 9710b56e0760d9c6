// dbftool create: a new table (and its memo file when a field needs one) at a
// level, optionally with a language driver id, from NAME:TYPE[:SIZE[:DECIMALS]]
// arguments, made by the table object from engine field definitions.
#pragma once

#include "CommandLine.h"

namespace dbftool {

void RunCreate(const TRequest& request);

}  // namespace dbftool
