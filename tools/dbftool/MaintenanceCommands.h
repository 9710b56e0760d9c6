// dbftool pack and zap: removing deleted records for good, or every record.
// Both open the table shared and then ask for exclusive access; while another
// process holds the table it stays shared, and the table object refuses the
// operation with its own message.
#pragma once

#include <string>

namespace dbftool {

void RunPack(const std::string& tablePath);
void RunZap(const std::string& tablePath);

}  // namespace dbftool
