// Companion files: the files that belong to a table by sharing its path and
// differing in the extension (memo file, production index). Programs on
// systems that ignore the case of names write them in any case
// (calls.dbf beside calls.FPT, CLIENT.DBF beside CLIENT.DBT), so a lookup
// that insists on one case misses them.
//
// Contract:
// - CompanionPath replaces the extension of path (or appends one when it has
//   none) by extension, written upper-case when the path's own extension is
//   upper-case and lower-case otherwise: the name a new companion file gets.
// - FindCompanionFile answers path when that file exists; otherwise the one
//   file of path's folder whose name equals path's name ignoring ASCII case;
//   otherwise (no such file, or several) path itself.
#pragma once

#include <string>

namespace dbf::platform {

std::string CompanionPath(const std::string& path, const std::string& extension);

std::string FindCompanionFile(const std::string& path);

}  // namespace dbf::platform
