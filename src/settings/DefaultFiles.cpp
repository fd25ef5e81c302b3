#include "settings/DefaultFiles.h"

#include "settings/Settings.h"
#include "fileio/AtomicFile.h"

namespace strumox::settings {

namespace {

// One line each: the tip window shows line 1 of the file in a box of about five short lines, so
// a tip says one thing in a sentence or two.
const std::vector<std::string_view> kTips{
    "Pick a key in the Key menu and a chord type in the Major, Minor or Dominant menu, then press "
    "Show Chords: six fingerings of that chord fill a new set on the Chord page.",
    "Each chord menu keeps its rarer types, such as maj9(#11), m11(b5) or 13sus(b9), in its More "
    "Chords... submenu.",
    "The Chord page holds five sets of six chords. Erase Page, or New Chord Page in the File menu, "
    "clears it for the next five.",
    "Click a diagram on the Chord page to show it on the big fretboard; the boxes beside the neck "
    "list its notes and intervals.",
    "Right-click a chord diagram to play it, send it to the Chord Design page, the PlayPage or the "
    "Print page, or see it as an arpeggio.",
    "Show Arpeggio marks every note of the chord around its position on the neck. Add Display Full "
    "Fretboard to see them from the nut to fret 22.",
    "On the Chord Design page, click the fretboard to fret a chord of your own. A click at the nut "
    "switches a string between open and muted.",
    "On the Chord Design page a right click on the fretboard frets that note and makes it the root "
    "and bass of your chord.",
    "The finger buttons P, 1, 2, 3 and 4 choose the finger number of the next note you fret. On the "
    "Chord Design page the keys P and 1 to 4 press them for you.",
    "Not sure what you are playing? Fret it on the Chord Design page and press Search: every chord "
    "type and root that fits your notes is listed.",
    "Search with Use Each Note In Chord As Root to name inversions, or with Search For All Chords "
    "Containing These Notes to find bigger chords that hold your notes.",
    "Drag a chord that Search found onto the design strip: its six fingerings load into the Design "
    "Group.",
    "Show Intervals lays the formula chosen in the chord-type list over the neck, each interval in "
    "its own colour and the root in red: a quick way to find new voicings.",
    "While Show Intervals is up, click an interval box on the Chord Design page to write a 2, 4 or 6 "
    "as 9, 11 or 13 in your chord's formula.",
    "Add chord types of your own with Add User Chord in the right-click menu of the chord-type list: "
    "tick the intervals, name it, and use it with Show Intervals.",
    "Type fret numbers into the six boxes beside the string picture on the Chord Design page: 0 "
    "plays a string open, an empty box mutes it.",
    "Drag the button below the fretboard onto the design strip to keep the chord you fretted. Six "
    "chords make a Design Group, saved as a .cds file.",
    "Set a bass note other than the root with the Bass arrows on the Chord Design page to build "
    "slash chords such as C maj7 /E.",
    "Choose a scale in the Scale menu (many more under More Scales...) and press Show Scale: the "
    "Scales page gets a row of six neck positions.",
    "Right-click a scale diagram and choose Change Beginning Fret to move that position anywhere "
    "from fret 1 to fret 20.",
    "A scale position spans 4, 5 or 6 frets: choose on the Strumox page of Preferences. Five frets "
    "suit standard tuning.",
    "Play Scale From Root, in the right-click menu of a scale diagram, runs that position starting "
    "from its lowest root note (standard tuning).",
    "Display Full Fretboard shows the scale over the whole neck, so you can see how its six "
    "positions join up.",
    "The arrows beside the string names retune the guitar on the Chord Design, Scales and Tablature "
    "pages; the scale or chord on show follows at once.",
    "Left Handed mirrors the fretboard and every diagram for left-handed players. Strumox remembers "
    "the choice.",
    "Flip, on its button or in the Options menu, swaps the toolbar and the fretboard so the neck can "
    "sit at the top of the window.",
    "The Flats / Sharps item of the Options menu switches every note name between flats (Db, Eb ...) "
    "and sharps (C#, D# ...).",
    "Move the mouse over the fretboard to read the note under it and its interval from the root of "
    "the chord or scale on show, such as b5 / #11.",
    "The small piano keyboard under the fretboard marks the notes of the chord or scale on show, "
    "the root in red. Point at a key to read its name and interval.",
    "The strum speed bar sets how fast a chord is strummed: drag it to the right for a quicker "
    "strum, to the left to hear each string.",
    "Press Bass Note to hear a bass note under every chord you play.",
    "Space or the Right arrow key presses Play, and stops a PlayPage, a scale or a tab while it "
    "plays.",
    "Send chords to the PlayPage and click a slot to place them: 24 rows of 12 eighth-note slots on "
    "four pages, in 4/4 or, with the Time Signature button, 3/4.",
    "On the PlayPage a chord rings from its slot until the next chord, so place a chord only where "
    "the harmony changes.",
    "Hold Alt when you place a chord on the PlayPage to insert it and push the rest of the measure "
    "along; hold Ctrl to keep placing the same chord.",
    "Right-click a PlayPage slot for the measure tools: insert, delete, cut or copy and move whole "
    "measures, and Repeat Markers.",
    "Repeat Markers puts a repeat sign with a count after a measure. Mark a measure Loop and press "
    "Loop to go back to the top after it, again and again.",
    "Double-click the first slot of a PlayPage measure to move the start cursor there: Play then "
    "starts from that measure.",
    "Count Off plays one to four measures of clicks before the PlayPage starts (the number is set "
    "in Preferences); Click keeps the metronome going.",
    "The tempo box and its arrows set the speed of the PlayPage and of tab playback, from 10 to 250 "
    "beats a minute.",
    "Press Step Play, then Play: each Space or Right arrow plays the next chord of the PlayPage, and "
    "the Left arrow steps back. Practise changes at your own pace.",
    "Undo takes back the last change on the PlayPage, even a chord or measure you cut and moved.",
    "Print Page prints the page you are on, any but Chord Design. Gather chord and scale diagrams on "
    "the Print page first: there they show their finger numbers.",
    "On the Print page, right-click a diagram to play, move or delete it, or send it on to the Chord "
    "Design page, the PlayPage or the Scales page.",
    "Open a .tab or .txt file on the Tablature page: the lines Strumox reads as tab turn red. Give "
    "the other six-line blocks equal lengths and press Check Tab Edits.",
    "Convert Tab turns the red tab into a playable view. A left click sets the start cursor, a right "
    "click the end cursor, and Play plays that stretch.",
    "Auto Tune takes the tuning from the string names of the first tab system, so tabs in dropped or "
    "open tunings sound right.",
    "On the Tablature page the Time of each slider sets how long one column of tab lasts, and Note "
    "Sustain how many empty columns a note rings over.",
    "Right-click a chord in raw tab and choose Send Chord at Cursor to Chord Design; then Search "
    "tells you its name.",
    "Save converted tab as a Strumox tab file (.sxt): the tempo, sustain, loop and the start and end "
    "cursors are kept with it.",
    "Strip Tab turns the timing letters of the selected tab into dashes; Insert Tab puts your insert "
    "file in at the cursor. Set both in Preferences.",
    "Interval Calculator... in the Options menu shows the note at each interval above a root and "
    "plays any scale or chord type note by note.",
    "On the MIDI page of Preferences choose the guitar and bass sounds from the General MIDI list, "
    "their channels and volumes, and the click's note.",
    "Turn on Speak Notes in Preferences to hear the name of each note as a chord or scale plays.",
    "With a Glowboard guitar attached, its LEDs show the chord or scale on screen, and its two foot "
    "switches can play, step to the next diagram or change page.",
    "Each page saves to a file of its own: .cpf Chord page, .cds Design Group, .ppf PlayPage, .gpr "
    "Print page, .spf Scales page, .sxt tab page.",
    "Show Tips... in the Help menu brings these tips back. Untick Show Tips at Startup to start "
    "Strumox without them.",
};

// General MIDI level 1 instrument names, program numbers 0..127 in order.
constexpr std::array<std::string_view, 128> kGeneralMidi{
    // Piano
    "Acoustic Grand Piano", "Bright Acoustic Piano", "Electric Grand Piano", "Honky-tonk Piano",
    "Electric Piano 1", "Electric Piano 2", "Harpsichord", "Clavi",
    // Chromatic percussion
    "Celesta", "Glockenspiel", "Music Box", "Vibraphone", "Marimba", "Xylophone", "Tubular Bells", "Dulcimer",
    // Organ
    "Drawbar Organ", "Percussive Organ", "Rock Organ", "Church Organ", "Reed Organ", "Accordion", "Harmonica",
    "Tango Accordion",
    // Guitar
    "Acoustic Guitar (nylon)", "Acoustic Guitar (steel)", "Electric Guitar (jazz)", "Electric Guitar (clean)",
    "Electric Guitar (muted)", "Overdriven Guitar", "Distortion Guitar", "Guitar harmonics",
    // Bass
    "Acoustic Bass", "Electric Bass (finger)", "Electric Bass (pick)", "Fretless Bass", "Slap Bass 1",
    "Slap Bass 2", "Synth Bass 1", "Synth Bass 2",
    // Strings
    "Violin", "Viola", "Cello", "Contrabass", "Tremolo Strings", "Pizzicato Strings", "Orchestral Harp",
    "Timpani",
    // Ensemble
    "String Ensemble 1", "String Ensemble 2", "SynthStrings 1", "SynthStrings 2", "Choir Aahs", "Voice Oohs",
    "Synth Voice", "Orchestra Hit",
    // Brass
    "Trumpet", "Trombone", "Tuba", "Muted Trumpet", "French Horn", "Brass Section", "SynthBrass 1",
    "SynthBrass 2",
    // Reed
    "Soprano Sax", "Alto Sax", "Tenor Sax", "Baritone Sax", "Oboe", "English Horn", "Bassoon", "Clarinet",
    // Pipe
    "Piccolo", "Flute", "Recorder", "Pan Flute", "Blown Bottle", "Shakuhachi", "Whistle", "Ocarina",
    // Synth lead
    "Lead 1 (square)", "Lead 2 (sawtooth)", "Lead 3 (calliope)", "Lead 4 (chiff)", "Lead 5 (charang)",
    "Lead 6 (voice)", "Lead 7 (fifths)", "Lead 8 (bass + lead)",
    // Synth pad
    "Pad 1 (new age)", "Pad 2 (warm)", "Pad 3 (polysynth)", "Pad 4 (choir)", "Pad 5 (bowed)",
    "Pad 6 (metallic)", "Pad 7 (halo)", "Pad 8 (sweep)",
    // Synth effects
    "FX 1 (rain)", "FX 2 (soundtrack)", "FX 3 (crystal)", "FX 4 (atmosphere)", "FX 5 (brightness)",
    "FX 6 (goblins)", "FX 7 (echoes)", "FX 8 (sci-fi)",
    // Ethnic
    "Sitar", "Banjo", "Shamisen", "Koto", "Kalimba", "Bag pipe", "Fiddle", "Shanai",
    // Percussive
    "Tinkle Bell", "Agogo", "Steel Drums", "Woodblock", "Taiko Drum", "Melodic Tom", "Synth Drum",
    "Reverse Cymbal",
    // Sound effects
    "Guitar Fret Noise", "Breath Noise", "Seashore", "Bird Tweet", "Telephone Ring", "Helicopter", "Applause",
    "Gunshot",
};

std::string defaultSettingsText()
{
    std::string text =
        "; Strumox settings. A key that is missing here reads as its default; the program adds keys\n"
        "; as you change its preferences.\n"
        "\n"
        "[" + std::string(kGeneralMidiSection) + "]\n"
        "; The voices offered for the guitar and the bass in Preferences. A name's place in this list\n"
        "; is its MIDI program number counted from 0 (the number after '=' is only a reminder), so\n"
        "; rename entries to suit your synthesizer but keep them in order.\n";
    for (std::size_t program = 0; program < kGeneralMidi.size(); ++program) {
        text += kGeneralMidi[program];
        text += '=';
        text += std::to_string(program);
        text += '\n';
    }
    return text;
}

std::string tipFileText()
{
    std::string text = "True\n";  // show a tip at start-up until the user says otherwise
    for (const std::string_view tip : kTips) {
        text += tip;
        text += '\n';
    }
    return text;
}

}  // namespace

const std::vector<std::string_view>& defaultTips()
{
    return kTips;
}

const std::array<std::string_view, 128>& generalMidiProgramNames()
{
    return kGeneralMidi;
}

bool writeTipFileIfMissing(const std::string& dir)
{
    return fileio::createFileIfMissing(dir + kTipFileName, tipFileText());
}

bool writeDefaultSettingsIfMissing(const std::string& dir)
{
    return fileio::createFileIfMissing(dir + kSettingsFileName, defaultSettingsText());
}

}  // namespace strumox::settings
