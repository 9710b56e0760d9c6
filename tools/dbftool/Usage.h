// The usage text of dbftool: every command with its arguments, the forms of
// the values, and the exit statuses.
#pragma once

#include <string>

namespace dbftool {

const std::string& UsageText();

}  // namespace dbftool
