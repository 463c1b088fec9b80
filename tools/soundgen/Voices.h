#pragma once

#include <string>
#include <vector>

#include "Synth.h"

namespace soundgen {

struct Voice {
    std::string name;
    Clip clip;
};

// The six built-in alert sounds, in the order the program lists them.
std::vector<Voice> builtInVoices();

}  // namespace soundgen
