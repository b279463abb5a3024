// Joins the part files of a multi-part download into the target file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Appends every further part file to the first, renames the first to the
// target and checks that the target has the expected length. False on any
// failure (a part missing, a short write, the rename); the files are then in
// an unknown state and must not be used.
bool JoinParts(const std::vector<std::string>& partPaths, const std::string& targetPath,
               std::int64_t expectedLength);
