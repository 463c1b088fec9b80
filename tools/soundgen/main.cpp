// Writes the program's built-in alert sounds as AIFF files into the folder given.
#include <cstdio>
#include <filesystem>

#include "Aiff.h"
#include "Voices.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (const soundgen::Voice& voice : soundgen::builtInVoices()) {
        const std::string path = (folder / (voice.name + ".aiff")).string();
        if (!soundgen::writeAiff(path, voice.clip.toPcm16(), soundgen::kSampleRate)) {
            std::fprintf(stderr, "soundgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
