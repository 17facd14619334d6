#include "files/signal_files.h"

#include "files/edf_file.h"

#include <algorithm>

namespace trazel {

namespace {

std::string lowerExtension(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    std::ranges::transform(extension, extension.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return extension;
}

bool isEdfExtension(const std::string& extension) {
    return extension == ".edf" || extension == ".bdf";
}

} // namespace

bool isSignalFileName(const std::filesystem::path& path) {
    return isEdfExtension(lowerExtension(path));
}

std::unique_ptr<SignalFile> openSignalFile(const std::filesystem::path& path, std::string& error) {
    const std::string extension = lowerExtension(path);
    if (isEdfExtension(extension)) {
        std::optional<EdfReader> reader = EdfReader::open(path, error);
        return reader ? std::make_unique<EdfReader>(std::move(*reader)) : nullptr;
    }
    error = "no reader knows files ending in " + extension;
    return nullptr;
}

} // namespace trazel
