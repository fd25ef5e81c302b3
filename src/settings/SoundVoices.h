#pragma once
// The generators' voices as the settings give them: the guitar, the bass and the click of the
// Preferences dialog. Header-only, so the window and the command line build theirs the same way
// without the settings library linking playback.
#include "playback/Voices.h"
#include "settings/Settings.h"

namespace strumox::settings {

inline playback::Voices voicesOf(const AppSettings& s)
{
    playback::Voices v;
    v.guitarProgram = s.guitarPatch;
    v.guitarChannel = s.guitarChannel;
    v.guitarVelocity = s.guitarVolume;
    v.bassProgram = s.bassPatch;
    v.bassChannel = s.bassChannel;
    v.bassVelocity = s.bassVolume;
    v.clickChannel = s.clickChannel;
    v.clickNote = s.clickNote;
    v.clickVelocity = s.clickVolume;
    return v;
}

}  // namespace strumox::settings
