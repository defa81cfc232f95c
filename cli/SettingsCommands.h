// The settings commands of vellmark-cli: factory, show, set, diff.
#pragma once

#include <string>
#include <vector>

namespace vellmark::cli {

// Each takes the arguments after the command word and returns the process exit status:
// 0 done, 1 differences found (diff), 2 usage error or bad input (nothing written).
int RunFactoryCommand(const std::vector<std::string>& args);
int RunShowCommand(const std::vector<std::string>& args);
int RunSetCommand(const std::vector<std::string>& args);
int RunDiffCommand(const std::vector<std::string>& args);

// One line on standard error, prefixed with the tool's name; returns 2.
int Fail(const std::string& message);

} // namespace vellmark::cli
