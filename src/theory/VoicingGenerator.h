#pragma once
// Our chord book: six fingerings for every key and built-in chord type, in standard tuning,
// found by searching the neck and scoring what a player would choose.
//
// The rules every fingering keeps:
// - it sounds only notes of its chord, the root, and every tone the name asks for (only the
//   tones of ChordFormula::mayOmit may be missing);
// - its lowest sounding string plays the root;
// - fretted notes lie within four frets (highest - lowest <= 3) and within the six rows below
//   its beginning fret;
// - one finger per fretted note, index (1) on the lowest fret, higher frets with higher fingers,
//   a finger at most one fret further from a lower one than the fingers between them allow
//   (fret gap <= finger gap + 1); only the index may hold several strings (a barre), all at the
//   lowest fret, and every string between the ends of the barre is fretted;
// - the sounding strings lie side by side, with at most one muted string among them;
// - at least three strings sound.
// The six of a chord are distinct. The first is the one "Show Chords" puts on the neck, the shape
// a guitar method teaches first:
// - the open chord where the key has one (C x32010, Am x02210, B7 x21202, Fmaj7 xx3210, A9
//   x02423): open strings ringing, the top string among them, four strings or more, the bass
//   open or at the second or third fret, the hand within the first three frets (the fourth only
//   over an open bass), no barre holding other fingers, no stretch, no muted string inside, no
//   four fingers on one fret;
// - otherwise the barre with the root on the sixth or fifth string at the lowest fret it has
//   there, whichever of the two is lower: the E- or A-form, the open E or A chord of the type
//   moved up (F 133211, Bm x24432, Db x46664), or where that form does not move, the best closed
//   fingering on that bass (Db9 x4344x);
// - failing both, the best closed fingering with the root on the sixth or fifth string at the
//   lowest frets, else the best of the lowest places; where every root-position fingering is
//   awkward (below), the six simply climb the neck.
// The other five climb the neck (beginning fret, then lowest fret), spread over it, each
// preferring the shapes players know: the open C, A, G, E and D chords moved up as barres, and
// for richer chords the four- and five-string voicings with the root in the bass.
// Awkward fingerings are used only when fewer than six others exist, and stand last: an open
// string between strings on the barre's fret while the index lies as a barre (101211), or an
// open string under a hand that frets nothing below the 7th fret.
//
// Where six strings under one hand cannot hold a chord, the rules bend in two ways only:
// - tones a name does not insist on may be missing (ChordFormula::mayOmit: the plain fifth, the
//   9 of 11, m11 and m11(b5), the 9 and 11 of the thirteenths that do not name them);
// - when fewer than six root-position fingerings exist at all, every one of them is used and
//   inversions (another chord tone in the bass, all other rules kept) fill the six. With the
//   rules above that happens for 13b5b9 (six tones, none of them optional: eight keys),
//   7(#5#9) in D, m6/9 in Eb and m9(b5) in Eb.
#include <array>
#include <cstdint>
#include <vector>

#include "theory/Fingering.h"

namespace strumox::theory {

constexpr int kFingeringsPerChord = 6;

using FingeringSet = std::array<Fingering, kFingeringsPerChord>;

// Every fingering of the chord that keeps the rules above, best first, each with the fingers a
// player would use. Exposed so that tests can compare the search with a brute-force one.
std::vector<Fingering> playableFingerings(int key, int formulaIndex);

// The six fingerings of one chord (key 0..11, C = 0; formula index 0..61).
FingeringSet chordFingerings(int key, int formulaIndex);

// All 62 x 12 chords; element formulaIndex * 12 + key.
std::vector<FingeringSet> generateDictionary();

}  // namespace strumox::theory
