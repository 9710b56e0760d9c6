// Writing JSON to an output stream: one compact document per line, with text
// that is not valid UTF-8 replaced rather than refused.
#pragma once

#include <nlohmann/json.hpp>

#include <ostream>

namespace dbftool {

inline void WriteJsonLine(const nlohmann::ordered_json& value, std::ostream& out) {
    out << value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}

}  // namespace dbftool
