#include "files/signal_files.h"

#include "files/abf_file.h"
#include "files/edf_file.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace trazel {

namespace {

bool isEdfExtension(const std::string& extension) {
    return extension == ".edf" || extension == ".bdf";
}

// What BioSig reads that no reader of the program's own knows: WFDB by its header, GDF, BrainVision by its
// header, SCP-ECG, CED's CFS, Neuroscan CNT.
constexpr std::array<std::string_view, 6> ImportExtensions{".hea", ".gdf", ".vhdr", ".scp", ".cfs", ".cnt"};

bool isImportExtension(const std::string& extension) {
    return std::ranges::find(ImportExtensions, extension) != ImportExtensions.end();
}

template <typename Reader> std::unique_ptr<SignalFile> opened(std::optional<Reader> reader) {
    return reader ? std::make_unique<Reader>(std::move(*reader)) : nullptr;
}

} // namespace

std::string lowerExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::ranges::transform(extension, extension.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return extension;
}

bool isSignalFileName(const std::filesystem::path& path) {
    const std::string extension = lowerExtension(path);
    return isEdfExtension(extension) || extension == ".abf" || isImportExtension(extension);
}

bool isImportedFileName(const std::filesystem::path& path) {
    return isImportExtension(lowerExtension(path));
}

std::unique_ptr<SignalFile> openSignalFile(const std::filesystem::path& path, const ImportControl& control,
                                           std::string& error) {
    const std::string extension = lowerExtension(path);
    if (isEdfExtension(extension)) {
        return opened(EdfReader::open(path, error));
    }
    if (extension == ".abf") {
        return opened(AbfReader::open(path, error));
    }
    if (isImportExtension(extension)) {
        return opened(ImportedFile::open(path, control, error));
    }
    error = "no reader knows files ending in " + extension;
    return nullptr;
}

} // namespace trazel
