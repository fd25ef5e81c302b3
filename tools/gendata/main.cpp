// Writes the program's data files into the program directory at build time: the chord formulas
// and dictionaries, the scales, the tips and a first settings file. Every byte comes from this
// repository's own tables and generators.
//
// Usage: strumox-gendata DIR
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>

#include "settings/DefaultFiles.h"
#include "theory/ChordData.h"
#include "theory/ScaleData.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: strumox-gendata DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    if (!dir.ends_with('/'))
        dir += '/';
    try {
        strumox::theory::writeChordDataFiles(dir);
        strumox::theory::writeScaleFile(dir);
        // The user owns these once they exist: the tip rotation and every setting.
        strumox::settings::writeTipFileIfMissing(dir);
        strumox::settings::writeDefaultSettingsIfMissing(dir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "strumox-gendata: %s\n", e.what());
        return 1;
    }
    return 0;
}
