// ImportedFile over the replies of the import process, which a broken or hostile BioSig could make of
// anything. Input: the reply. The seeds are small replies written by hand in the process's layout: two
// signals of different rates with events, one without events, a cut of them, and an input the fuzzer found.

#include "file_rules.h"
#include "files/import_file.h"
#include "targets.h"

#include <algorithm>
#include <optional>

namespace trazel::fuzz {

void fuzzReadImportReply(Input input) {
    std::string error;
    std::optional<ImportedFile> file = ImportedFile::fromReply(
        QByteArray(reinterpret_cast<const char*>(input.data()), static_cast<qsizetype>(input.size())), error);
    if (!file) {
        require(!error.empty(), "a refused reply has its reason");
        return;
    }
    const std::vector<SignalInfo>& infos = file->signalList();
    std::int64_t samples = 0;
    for (const SignalInfo& s : infos) {
        require(s.rate > 0 && s.samples >= 0, "a positive rate and a sample count");
        samples += s.samples;
    }
    require(samples * 4 <= std::ssize(input), "the samples within the reply");
    for (std::size_t i = 0; i < infos.size(); ++i) {
        std::vector<float> values(static_cast<std::size_t>(infos[i].samples));
        require(file->readPhysical(static_cast<int>(i), values, error), "every signal of a reply reads");
        require(!file->readPhysical(static_cast<int>(i), std::span(values).first(values.size() / 2), error) ||
                    values.empty(),
                "no read beyond the room given");
    }
    require(!file->readPhysical(static_cast<int>(infos.size()), {}, error), "no signal beyond the last");
    const std::vector<SignalEvent> events = file->events(error);
    require(std::ranges::is_sorted(events, {}, &SignalEvent::onset), "events in onset order");
    requireEventsOnPoints(events, infos);
}

} // namespace trazel::fuzz
