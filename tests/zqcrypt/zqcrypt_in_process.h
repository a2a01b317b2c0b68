#pragma once

#include "zqcrypt_process.h"

#include <optional>
#include <string>
#include <vector>

// Runs zqcrypt's whole program, Run(), inside the test, on memory files for
// its standard input, output and error: for what no process property (a
// signal, a terminal, a limit) is the point of.
namespace testsupport {

[[nodiscard]] ProcessResult RunInProcess(const ProcessRequest& request);
[[nodiscard]] ProcessResult RunInProcess(std::vector<std::string> arguments, std::optional<std::string> key = {},
                                         std::string input = {});

}  // namespace testsupport
