// SPDX-License-Identifier: Apache-2.0
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

// Run first: makes sure descriptors 0, 1 and 2 are open, so that a file the tool opens never
// takes the place of a closed standard stream (output or messages would land in it). A closed
// stream gets a descriptor on which every write still fails.
void GuardStandardStreams();

// Run last: flushes standard output. When any of it could not be written (a full disk, a
// closed stream), says so in one line on standard error and returns 2 instead of `status`.
int FinishOutput(int status);

// The message for a settings file that could not be read (ReadSettingsFile's FileError): the
// system's reason, or that the file is not a settings file.
std::string ReadFailure(const std::string& path, int error);

// One line on standard error, prefixed with the tool's name; returns 2.
int Fail(const std::string& message);

} // namespace vellmark::cli
