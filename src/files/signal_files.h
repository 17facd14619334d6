#pragma once

#include "files/signal_file.h"

#include <filesystem>
#include <memory>
#include <string>

// The recordings of other equipment the program opens, by the name's last extension (any case).
namespace trazel {

// True for a name one of the readers of signal files takes: "night.2.edf" is one.
bool isSignalFileName(const std::filesystem::path& path);

// The file opened and checked by the reader its extension names; nothing, with the reason, when that reader
// refuses it.
std::unique_ptr<SignalFile> openSignalFile(const std::filesystem::path& path, std::string& error);

} // namespace trazel
