#pragma once

#include "files/signal_file.h"

#include <QByteArray>
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Recordings that BioSig reads (WFDB by its .hea, GDF, BrainVision 1.0, SCP-ECG, CFS …), read by the import
// process trazel-import (src/import/trazel_import.cpp): BioSig crashes or hangs on some files, and in a
// process of its own it cannot take the program down.
//
// The process's reply on its standard output; numbers little-endian, a text its byte count (u32), then its
// UTF-8 bytes:
//   text "TRAZEL-IMPORT 1"
//   u32 signal count; for each signal: text label, text unit, f64 rate (Hz), u64 sample count,
//       f64 physical minimum, physical maximum, digital minimum, digital maximum
//   every sample of the first signal as f32 physical values, then those of the second and so on
//   u32 event count; for each event: f64 onset (s), f64 duration (s; < 0: none), text
// A failure gives a non-zero exit code and the reason as the last line of standard error.
//
// Each signal keeps its own rate: BioSig repeats the samples of slower signals up to the rate of the
// fastest, and the process takes only the first of each repetition.
namespace trazel {

struct ImportControl {
    std::chrono::milliseconds limit{60'000}; // the process is stopped when it has not finished by then
    std::function<bool()> cancelled;         // asked about every 50 ms while waiting; true stops the process
    std::filesystem::path program{};         // empty: trazel-import beside the running program
};

class ImportedFile final : public SignalFile {
public:
    // Runs the import process on the file and takes its reply; nothing, and the reason in words in
    // `error`, when the process refuses the file, crashes, runs out of time, is cancelled ("cancelled") or
    // replies with something malformed.
    static std::optional<ImportedFile> open(const std::filesystem::path& path, const ImportControl& control,
                                            std::string& error);
    // Checks and takes a reply of the import process; nothing, and the reason, when it is malformed.
    static std::optional<ImportedFile> fromReply(QByteArray reply, std::string& error);

    const std::vector<SignalInfo>& signalList() const override { return m_signals; }
    bool readPhysical(int signal, std::span<float> out, std::string& error) override;
    std::vector<SignalEvent> events(std::string& error) override;

private:
    ImportedFile() = default;
    // Reads m_reply into the signals and events; the name of the first malformed part otherwise.
    bool decode(std::string& malformed);

    QByteArray m_reply; // the samples stay in it
    std::vector<SignalInfo> m_signals;
    std::vector<qsizetype> m_sampleOffsets; // where each signal's samples begin in m_reply
    std::vector<SignalEvent> m_events;
};

} // namespace trazel
