// The entry libFuzzer calls with each input; TRAZEL_FUZZ_TARGET names the target this program runs.

#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const trazel::fuzz::Target* const target = trazel::fuzz::targetNamed(TRAZEL_FUZZ_TARGET);
    target->run(trazel::fuzz::Input(data, size));
    return 0;
}
