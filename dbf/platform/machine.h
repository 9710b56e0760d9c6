// Facts about the machine from the platform layer: the computer's name, which
// the engine stores in record-lock information to tell users apart.
#pragma once

#include <string>

namespace dbf::platform {

// The host name (gethostname), cut to at most maxLength characters; empty when
// the system cannot tell it.
std::string ComputerName(size_t maxLength);

}  // namespace dbf::platform
