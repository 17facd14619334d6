#pragma once

#include "files/import_file.h"
#include "files/signal_file.h"

#include <filesystem>
#include <memory>
#include <string>

// The recordings of other equipment the program opens, by the name's last extension (any case).
namespace trazel {

// The name's last extension in small letters: ".edf" for "Night.2.EDF".
std::string lowerExtension(const std::filesystem::path& path);

// True for a name one of the readers of signal files takes: "night.2.edf" is one.
bool isSignalFileName(const std::filesystem::path& path);

// True for a name the import process reads (the formats of BioSig): only those can be cancelled.
bool isImportedFileName(const std::filesystem::path& path);

// The file opened and checked by the reader its extension names (EDF and BDF through EDFlib, ABF by the
// program's own reader, the formats of BioSig in the import process, under `control`); nothing, with the
// reason, when that reader refuses it.
std::unique_ptr<SignalFile> openSignalFile(const std::filesystem::path& path, const ImportControl& control,
                                           std::string& error);

} // namespace trazel
