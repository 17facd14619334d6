#pragma once

#include "harness.h"

#include <array>
#include <string_view>

// The fuzz targets: each runs one input through a part of the program and checks what it left.
namespace trazel::fuzz {

void fuzzReadBin(Input input);
void fuzzReadPrn(Input input);
void fuzzReadEdf(Input input);
void fuzzReadAbf(Input input);
void fuzzReadImportReply(Input input);
void fuzzNumberRules(Input input);
void fuzzOpenCommand(Input input);

struct Target {
    std::string_view name; // also the folder of its corpus
    void (*run)(Input input);
};

inline constexpr std::array<Target, 7> Targets{{{"read_bin", fuzzReadBin},
                                                {"read_prn", fuzzReadPrn},
                                                {"read_edf", fuzzReadEdf},
                                                {"read_abf", fuzzReadAbf},
                                                {"read_import_reply", fuzzReadImportReply},
                                                {"number_rules", fuzzNumberRules},
                                                {"open_command", fuzzOpenCommand}}};

// The target of that name; nullptr when there is none.
inline const Target* targetNamed(std::string_view name) {
    for (const Target& target : Targets) {
        if (target.name == name) {
            return &target;
        }
    }
    return nullptr;
}

} // namespace trazel::fuzz
