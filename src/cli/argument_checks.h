#pragma once

#include <string>

#include "cli/console_command.h"

namespace fwu {

// The console's checks of a command line, made before anything is sent.
// Each returns why the arguments cannot work, in one line, or empty.

// put|set ADDRESS PASSWORD ROMID [FILE] [log]
std::string CheckPresetArguments(const Arguments& arguments);
// get ADDRESS PASSWORD ROMID OFFSET LENGTH FILE
std::string CheckRomArguments(const Arguments& arguments);
// FILE...: each one a file that can be read.
std::string CheckFileArguments(const Arguments& arguments);
// Commands that take no argument after their word.
std::string CheckNoMoreArguments(const Arguments& arguments);
// Commands whose one option asks for JSON instead of lines.
inline constexpr const char* kJsonOption = "--json";
std::string CheckJsonOption(const Arguments& arguments);
inline bool AsksForJson(const Arguments& arguments) { return arguments.size() == 2; }

// Why the file cannot be sent, or empty when it can be read.
std::string UnreadableFileReason(const std::string& path);

}  // namespace fwu
