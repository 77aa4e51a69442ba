// SPDX-License-Identifier: MIT
// Other programs the tests compare with: run directly, never through a shell.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qrcodewin32::test {

// True when `name` is an executable file in a directory of PATH.
bool hasTool(const std::string& name);

// Runs arguments[0] (searched in PATH) with the rest as its arguments, standard error discarded.
// Returns its standard output when it exits with status 0, else nullopt.
std::optional<std::string> runTool(const std::vector<std::string>& arguments);

}  // namespace qrcodewin32::test
