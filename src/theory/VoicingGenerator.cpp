#include "theory/VoicingGenerator.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstddef>
#include <cstdlib>

#include "theory/ChordFormulas.h"

namespace strumox::theory {

namespace {

// Open-string MIDI notes of standard tuning, string 0 = high E.
constexpr std::array<int, 6> kOpen{64, 59, 55, 50, 45, 40};
constexpr int kHighestFret = 22;
constexpr int kHandFrets = 4;  // frets under one hand: lowest .. lowest + 3
constexpr int kMuted = -1;     // in the search's fret arrays
constexpr int kMinStrings = 3;

// What a chord tone does, for judging doublings: a doubled root or fifth is normal, a doubled
// third is common in open chords, a doubled seventh or colour tone sounds wrong.
enum class Role : std::uint8_t { None, Root, Third, Fifth, Seventh, Colour };

struct ChordSpec {
    int key = 0;
    std::uint16_t allowed = 0;    // pitch classes above the root that may sound
    std::uint16_t required = 0;   // ... that must sound
    std::uint16_t omittable = 0;  // ... that may be missing
    std::array<Role, 12> role{};
    int minStrings = kMinStrings;
    bool rootInBass = true;  // false: search the inversions, whose lowest string is not the root
};

ChordSpec specFor(int key, int formulaIndex)
{
    const ChordFormula& f = chordFormulas()[static_cast<size_t>(formulaIndex)];
    ChordSpec spec;
    spec.key = key;
    spec.allowed = pitchClassMask(f.intervals);
    spec.omittable = pitchClassMask(f.mayOmit) & static_cast<std::uint16_t>(~1u);  // never the root
    spec.required = static_cast<std::uint16_t>(spec.allowed & ~spec.omittable);
    for (int i = 0, n = intervalCount(f.intervals); i < n; ++i) {
        const int v = f.intervals[static_cast<size_t>(i)];
        Role r = Role::Colour;
        if (v == 0)
            r = Role::Root;
        else if (v == 3 || v == 4 || v == 5)
            r = Role::Third;
        else if (v == 7)
            r = Role::Fifth;
        else if (v == 10 || v == 11)
            r = Role::Seventh;
        spec.role[static_cast<size_t>(v % 12)] = r;
    }
    spec.minStrings = std::max(kMinStrings, std::popcount(spec.required));
    return spec;
}

int pitchClassAbove(int key, int string, int fret)
{
    return ((kOpen[static_cast<size_t>(string)] + fret - key) % 12 + 12) % 12;
}

// ---- Fingers ------------------------------------------------------------------------------

struct FingerChoice {
    std::array<std::uint8_t, 6> markers{};
    double cost = 0;  // how far the hand is from one finger per fret, plus the effort of a barre
    int fingersUsed = 0;
    bool barre = false;
    bool heldBarre = false;  // a barre with other fingers pressing strings inside it
    bool stretch = false;    // two neighbouring fingers further apart than their frets
};

class FingerSearch {
public:
    explicit FingerSearch(const std::array<int, 6>& frets) : m_frets(frets)
    {
        for (int s = 5; s >= 0; --s) {
            if (frets[static_cast<size_t>(s)] > 0)
                m_notes.push_back({s, frets[static_cast<size_t>(s)]});
        }
        // Low frets first; on one fret the lower-sounding string first.
        std::stable_sort(m_notes.begin(), m_notes.end(),
                         [](const Note& a, const Note& b) { return a.fret < b.fret; });
    }

    // The cheapest assignment that keeps the rules, or false when the hand cannot do it.
    bool best(FingerChoice& out)
    {
        if (m_notes.empty()) {
            out = {};
            for (int s = 0; s < 6; ++s)
                out.markers[static_cast<size_t>(s)] = m_frets[static_cast<size_t>(s)] == 0 ? MarkerOpen : MarkerMuted;
            return true;
        }
        m_lowest = m_notes.front().fret;
        m_found = false;
        m_fingers.assign(m_notes.size(), 0);
        search(0);
        if (!m_found)
            return false;
        out = m_best;
        return true;
    }

private:
    struct Note {
        int string;
        int fret;
    };

    void search(size_t i)
    {
        if (i == m_notes.size()) {
            consider();
            return;
        }
        const Note& n = m_notes[i];
        for (int finger = 1; finger <= 4; ++finger) {
            if (finger == 1 && n.fret != m_lowest)
                continue;
            bool ok = true;
            for (size_t j = 0; j < i && ok; ++j) {
                const int fj = m_fingers[j];
                const int dFret = n.fret - m_notes[j].fret;  // >= 0 by the sort
                if (fj == finger)
                    ok = finger == 1;  // only the index holds several strings, all on its fret
                else if (dFret > 0)
                    ok = finger > fj && dFret <= finger - fj + 1;
                else  // same fret, different fingers, in either order across the strings
                    ok = true;
            }
            if (!ok)
                continue;
            m_fingers[i] = finger;
            search(i + 1);
        }
    }

    void consider()
    {
        int indexLow = -1, indexHigh = -1, indexCount = 0;
        std::array<int, 5> fretOf{};  // per finger 1..4, 0 = unused
        for (size_t i = 0; i < m_notes.size(); ++i) {
            const int finger = m_fingers[i];
            fretOf[static_cast<size_t>(finger)] = m_notes[i].fret;
            if (finger == 1) {
                ++indexCount;
                const int s = m_notes[i].string;
                indexLow = indexLow < 0 ? s : std::min(indexLow, s);
                indexHigh = std::max(indexHigh, s);
            }
        }
        if (indexCount == 0)
            return;  // the index always takes the lowest fret
        double cost = 0;
        bool stretch = false;
        // Neighbouring fingers sit one fret apart in a relaxed hand: a wider gap is a stretch,
        // fingers crowded onto one fret cost a little.
        int previous = 1;
        int fingersUsed = 1;
        for (int finger = 2; finger <= 4; ++finger) {
            if (fretOf[static_cast<size_t>(finger)] == 0)
                continue;
            ++fingersUsed;
            const int gap = (fretOf[static_cast<size_t>(finger)] - fretOf[static_cast<size_t>(previous)]) -
                            (finger - previous);
            cost += gap > 0 ? 0.6 * gap : 0.25 * -gap;
            stretch = stretch || gap > 0;
            previous = finger;
        }
        // On one fret a higher finger naturally lands on a higher string.
        for (size_t i = 0; i < m_notes.size(); ++i)
            for (size_t j = i + 1; j < m_notes.size(); ++j)
                if (m_notes[i].fret == m_notes[j].fret && m_fingers[i] > m_fingers[j])
                    cost += 0.5;  // i is the lower-sounding string of the two
        bool held = false;
        if (indexCount > 1) {
            bool flat = indexLow == 0;  // lies flat out to the high E, pressing nothing else
            for (int s = indexLow + 1; s < indexHigh; ++s) {
                const int f = m_frets[static_cast<size_t>(s)];
                if (f <= 0)
                    return;  // the barre would press an open string or sound a muted one
                flat = flat && f == m_lowest;
            }
            // The index lying flat over the top strings (xx3211) is easier than separate
            // fingers; rolled over a few inner strings it is a little harder; a barre with
            // other fingers pressing inside it is real work.
            const bool inner = std::all_of(m_notes.begin(), m_notes.end(), [&](const Note& n) {
                return n.string < indexLow || n.string > indexHigh || n.fret == m_lowest;
            });
            cost += flat ? 0.1 : inner ? 0.4 + 0.1 * indexCount : 1.0 + 0.1 * indexCount;
            held = !flat && !inner;
        }
        if (m_found && cost >= m_best.cost)
            return;
        m_found = true;
        m_best.cost = cost;
        m_best.barre = indexCount > 1;
        m_best.stretch = stretch;
        m_best.heldBarre = held;
        m_best.fingersUsed = fingersUsed;
        for (int s = 0; s < 6; ++s)
            m_best.markers[static_cast<size_t>(s)] = m_frets[static_cast<size_t>(s)] == 0 ? MarkerOpen : MarkerMuted;
        for (size_t i = 0; i < m_notes.size(); ++i)
            m_best.markers[static_cast<size_t>(m_notes[i].string)] = static_cast<std::uint8_t>(m_fingers[i]);
    }

    std::array<int, 6> m_frets;
    std::vector<Note> m_notes;
    std::vector<int> m_fingers;
    int m_lowest = 0;
    bool m_found = false;
    FingerChoice m_best;
};

// ---- Search -------------------------------------------------------------------------------

struct Candidate {
    Fingering fingering;
    double score = 0;
    int lowest = 0;   // lowest fretted fret, 0 when nothing is fretted
    int highest = 0;  // highest fretted fret
    int bassString = 0;      // the lowest sounding string, 5 = low E
    bool heldBarre = false;  // a barre with other fingers pressing strings inside it
    // A shape a hand holds at the nut: open strings ringing, no barre holding other fingers (the
    // flat index of Dmaj7 xx0222 is fine), no stretch, no muted string inside, four strings or
    // more. Moved up the neck it is a barre form players know.
    bool nutShape = false;
    // Of those, a first-position chord a beginner learns: the top string rings, the bass is open
    // or fretted at the second or third fret (a root on the first fret, F, Bb or Eb, takes the
    // barre), the hand stays within the first three frets (the fourth only over an open bass:
    // A9 x02423), and no four fingers stand side by side on one fret (x10111).
    bool openChord = false;
    // Legal but no shape to teach: an open string ringing between strings the barre's fret holds
    // while the index lies as a barre (101211), or an open string under a hand that frets
    // nothing below the 7th fret. Such fingerings come only when the others run out, and last.
    bool awkward = false;
};

// How much a player would rather use this fingering: fuller and complete chords, few fingers
// in a relaxed hand, open strings near the nut, low positions.
double scoreOf(const ChordSpec& spec, const std::array<int, 6>& frets, const FingerChoice& fingers, int lowest,
               int highest, int baseFret)
{
    double score = 0;
    std::array<int, 12> count{};
    int sounding = 0, open = 0;
    int lowestString = -1, highestString = 6;
    for (int s = 0; s < 6; ++s) {
        const int f = frets[static_cast<size_t>(s)];
        if (f == kMuted)
            continue;
        ++sounding;
        if (f == 0)
            ++open;
        ++count[static_cast<size_t>(pitchClassAbove(spec.key, s, f))];
        lowestString = std::max(lowestString, s);
        highestString = std::min(highestString, s);
    }
    // Four strings make a chord; the fifth and sixth add body to a triad or seventh chord, but
    // richer chords sound clearer with four or five voices (the way jazz players voice them).
    const bool rich = std::popcount(spec.allowed) >= 5;
    score += 4.0 * std::min(sounding, 4) + (rich ? 0.5 : 1.5) * std::max(0, sounding - 4);

    // A missing fifth thins a seventh chord; in richer chords players drop it without a thought.
    // A missing ninth or eleventh under a thirteenth is a real loss.
    for (int pc = 1; pc < 12; ++pc) {
        if (!((spec.omittable >> pc) & 1u) || count[static_cast<size_t>(pc)] == 0)
            continue;
        if (spec.role[static_cast<size_t>(pc)] == Role::Fifth)
            score += std::popcount(spec.required) <= 3 ? 5.0 : 1.5;
        else
            score += 4.0;
    }

    for (int pc = 0; pc < 12; ++pc) {
        const int extra = count[static_cast<size_t>(pc)] - 1;
        if (extra <= 0)
            continue;
        switch (spec.role[static_cast<size_t>(pc)]) {
        case Role::Fifth: score -= 0.5 * extra; break;
        case Role::Third: score -= 1.5 * extra; break;
        case Role::Seventh: score -= 3.0 * extra; break;
        case Role::Colour: score -= 4.0 * extra; break;
        default: break;
        }
    }

    score -= 1.5 * fingers.fingersUsed + 1.5 * fingers.cost;
    if (fingers.fingersUsed == 4)
        score -= 0.5;  // the little finger is the weakest
    if (lowest > 0)
        score -= 0.7 * (highest - lowest);

    // A muted string inside the chord must be damped. The finger fretting the string below it
    // does that by leaning over (3x345x); anywhere else it takes a deliberate touch.
    for (int s = highestString + 1; s < lowestString; ++s)
        if (frets[static_cast<size_t>(s)] == kMuted)
            score -= frets[static_cast<size_t>(s + 1)] > 0 ? 3.0 : 8.0;
    // Chord books let the top strings ring; a muted top string thins the chord's voice, less so
    // in rich chords, where the top voice is often left out on purpose.
    score -= (rich ? 1.0 : 2.0) * highestString;

    // Open strings belong to the first position; the further up the neck, the more an open
    // string clashes with the shape and sets the hand an awkward task.
    score += baseFret == 1 ? 1.5 * open : -(6.0 + 0.8 * lowest) * open;

    // Chord books live below the 12th fret; above it only what is missing lower down.
    score -= 0.4 * std::min(lowest, 12) + 3.5 * std::max(0, lowest - 12);

    // Two low notes closer than a minor third rumble.
    int bass = -1, next = -1;
    for (int s = 5; s >= 0; --s) {
        const int f = frets[static_cast<size_t>(s)];
        if (f == kMuted)
            continue;
        const int midi = kOpen[static_cast<size_t>(s)] + f;
        if (bass < 0)
            bass = midi;
        else if (next < 0)
            next = midi;
    }
    if (next >= 0 && bass < 52 && next - bass < 3)
        score -= 4.0;
    // Anything closer than a fifth under B2 is thick; players accept the third of the G chord,
    // but not gladly.
    if (next >= 0 && bass < 47 && next - bass < 7)
        score -= 3.0;
    return score;
}

class VoicingSearch {
public:
    VoicingSearch(const ChordSpec& spec, std::vector<Candidate>& out) : m_spec(spec), m_out(out) {}

    void run()
    {
        for (m_window = 1; m_window <= kHighestFret; ++m_window)
            place(5, State{});
    }

private:
    struct State {
        std::array<int, 6> frets{kMuted, kMuted, kMuted, kMuted, kMuted, kMuted};
        std::uint16_t heard = 0;
        int sounding = 0;
        int mutedInside = 0;  // muted strings between sounding ones so far
        int mutedSince = 0;   // muted strings since the last sounding one
        int lowest = 99, highest = 0;
    };

    // Strings are placed from the low E (5) to the high E (0).
    void place(int s, State st)
    {
        if (s < 0) {
            finish(st);
            return;
        }
        // Muted.
        {
            State next = st;
            if (st.sounding > 0)
                ++next.mutedSince;
            place(s - 1, next);
        }
        // Open, then fretted within the window.
        sound(s, st, 0);
        for (int f = m_window; f < m_window + kHandFrets && f <= kHighestFret; ++f)
            sound(s, st, f);
    }

    void sound(int s, const State& st, int fret)
    {
        const int pc = pitchClassAbove(m_spec.key, s, fret);
        if (!((m_spec.allowed >> pc) & 1u))
            return;
        if (st.sounding == 0 && (pc == 0) != m_spec.rootInBass)
            return;  // the lowest sounding string plays the root (or, for inversions, does not)
        State next = st;
        next.mutedInside += st.mutedSince;
        next.mutedSince = 0;
        if (next.mutedInside > 1)
            return;
        next.frets[static_cast<size_t>(s)] = fret;
        next.heard |= static_cast<std::uint16_t>(1u << pc);
        ++next.sounding;
        if (fret > 0) {
            next.lowest = std::min(next.lowest, fret);
            next.highest = std::max(next.highest, fret);
        }
        place(s - 1, next);
    }

    void finish(const State& st)
    {
        if (st.sounding < m_spec.minStrings || (st.heard & m_spec.required) != m_spec.required)
            return;
        const bool fretted = st.highest > 0;
        // Each fingering is found in the window that starts at its lowest fret; one with no
        // fretted note only in the first.
        if (fretted ? st.lowest != m_window : m_window != 1)
            return;
        FingerChoice fingers;
        if (!FingerSearch(st.frets).best(fingers))
            return;
        Candidate c;
        for (int s = 0; s < 6; ++s)
            c.fingering.frets[static_cast<size_t>(s)] =
                static_cast<std::uint8_t>(std::max(0, st.frets[static_cast<size_t>(s)]));
        c.fingering.markers = fingers.markers;
        c.fingering.baseFret = static_cast<std::uint8_t>(beginningFret(c.fingering.frets, c.fingering.markers));
        c.heldBarre = fingers.heldBarre;
        c.lowest = fretted ? st.lowest : 0;
        c.highest = st.highest;
        c.score = scoreOf(m_spec, st.frets, fingers, c.lowest, c.highest, c.fingering.baseFret);
        int open = 0, atLowest = 0, indexStrings = 0;
        for (int s = 0; s < 6; ++s) {
            const int f = st.frets[static_cast<size_t>(s)];
            open += f == 0 ? 1 : 0;
            atLowest += fretted && f == st.lowest ? 1 : 0;
            indexStrings += fingers.markers[static_cast<size_t>(s)] == 1 ? 1 : 0;
            if (f != kMuted)
                c.bassString = s;
        }
        // Open strings between the outer strings on the lowest fret.
        bool openInsideLowest = false;
        for (int s = 0, seen = 0; s < 6; ++s) {
            const int f = st.frets[static_cast<size_t>(s)];
            if (fretted && f == st.lowest)
                ++seen;
            else if (f == 0 && seen > 0 && seen < atLowest)
                openInsideLowest = true;
        }
        const int bassFret = st.frets[static_cast<size_t>(c.bassString)];
        c.awkward = open > 0 && ((indexStrings > 1 && openInsideLowest) || (fretted && st.lowest >= 7));
        c.nutShape = c.fingering.baseFret == 1 && open > 0 && !c.awkward && !fingers.heldBarre &&
                     !fingers.stretch && st.mutedInside == 0 && st.sounding >= 4;
        const bool crowded = atLowest == 4 && indexStrings == 1;  // four fingers on one fret
        c.openChord = c.nutShape && st.frets[0] != kMuted && bassFret != 1 && st.highest <= (bassFret == 0 ? 4 : 3) &&
                      !crowded;
        m_out.push_back(c);
    }

    const ChordSpec& m_spec;
    std::vector<Candidate>& m_out;
    int m_window = 1;
};

bool better(const Candidate& a, const Candidate& b)
{
    if (a.score != b.score)
        return a.score > b.score;
    return a.fingering.frets < b.fingering.frets;  // any fixed order keeps the output stable
}

bool hasOpenString(const Fingering& f)
{
    for (size_t s = 0; s < 6; ++s)
        if (f.frets[s] == 0 && f.markers[s] == MarkerOpen)
            return true;
    return false;
}

// Barre chords are open chords moved up the neck with the index standing in for the nut: the
// E and A shapes, and the C, G and D shapes where a hand can hold them. The best shape held at
// the nut in each of those keys is such a shape; where it reappears higher up for another key,
// players know it, so it is preferred there.
constexpr std::array<int, 5> kShapeKeys{0, 9, 7, 4, 2};  // C, A, G, E, D
constexpr double kKnownShapeBonus = 8.0;

struct KeyCandidates {
    std::array<std::vector<Candidate>, 12> rootPosition;
    // Only for keys with fewer than six root-position fingerings: the rest of the six.
    std::array<std::vector<Candidate>, 12> inversions;
};

bool sameFingering(const Fingering& a, const std::array<std::uint8_t, 6>& frets, const Fingering& shape)
{
    for (size_t s = 0; s < 6; ++s) {
        const bool muted = shape.markers[s] == MarkerMuted;
        if ((a.markers[s] == MarkerMuted) != muted || (!muted && a.frets[s] != frets[s]))
            return false;
    }
    return true;
}

// The best open chord of a list sorted best first; one within the first three frets before one
// that reaches the fourth (E6 022120 before 042100).
const Candidate* bestOpenChord(const std::vector<Candidate>& sorted)
{
    const Candidate* best = nullptr;
    for (const Candidate& c : sorted) {
        if (!c.openChord)
            continue;
        if (c.highest <= 3)
            return &c;
        if (!best)
            best = &c;
    }
    return best;
}

// The candidate that plays `shape` moved `shift` frets up, open strings becoming the barre; none
// when the moved shape runs off the neck or no hand holds it.
template <typename List>
auto movedShape(List& candidates, const Fingering& shape, int shift) -> decltype(&candidates.front())
{
    std::array<std::uint8_t, 6> moved{};
    for (size_t s = 0; s < 6; ++s) {
        moved[s] = shape.markers[s] == MarkerMuted ? 0 : static_cast<std::uint8_t>(shape.frets[s] + shift);
        if (moved[s] > kHighestFret)
            return nullptr;
    }
    for (auto& c : candidates)
        if (sameFingering(c.fingering, moved, shape))
            return &c;
    return nullptr;
}

KeyCandidates candidatesForType(int formulaIndex)
{
    assert(formulaIndex >= 0 && formulaIndex < kChordTypeCount);
    KeyCandidates all;
    for (int key = 0; key < 12; ++key) {
        ChordSpec spec = specFor(key, formulaIndex);
        auto& list = all.rootPosition[static_cast<size_t>(key)];
        VoicingSearch(spec, list).run();
        if (list.size() < kFingeringsPerChord) {
            spec.rootInBass = false;
            auto& inversions = all.inversions[static_cast<size_t>(key)];
            VoicingSearch(spec, inversions).run();
            std::sort(inversions.begin(), inversions.end(), better);
        }
    }
    // Moved shapes have no open string, so no bonus changes which shape a key holds at the nut.
    for (const int shapeKey : kShapeKeys) {
        auto& source = all.rootPosition[static_cast<size_t>(shapeKey)];
        std::sort(source.begin(), source.end(), better);
        const auto open =
            std::find_if(source.begin(), source.end(), [](const Candidate& c) { return c.nutShape; });
        if (open == source.end())
            continue;
        const Fingering shape = open->fingering;
        for (int shift = 1; shift <= kHighestFret; ++shift) {
            if (Candidate* c = movedShape(all.rootPosition[static_cast<size_t>((shapeKey + shift) % 12)], shape, shift))
                c->score += kKnownShapeBonus;
        }
    }
    for (auto& list : all.rootPosition)
        std::sort(list.begin(), list.end(), better);
    return all;
}

// Where a fingering sits for spreading the six: its lowest fretted fret, but every chord with
// open strings at the nut counts as fret 1.
int placeOf(const Candidate& c)
{
    return c.fingering.baseFret == 1 && hasOpenString(c.fingering) ? 1 : c.lowest;
}

bool octaveApart(const Fingering& a, const Fingering& b)
{
    for (size_t s = 0; s < 6; ++s) {
        const bool muted = a.markers[s] == MarkerMuted;
        if (muted != (b.markers[s] == MarkerMuted))
            return false;
        if (!muted && std::abs(a.frets[s] - b.frets[s]) != 12)
            return false;
    }
    return true;
}

// The best remaining candidate that does not crowd the places already taken, or none.
template <typename Accept>
const Candidate* nextPick(const std::vector<Candidate>& from, const std::vector<const Candidate*>& chosen,
                          Accept accept)
{
    const Candidate* best = nullptr;
    double bestValue = 0;
    for (const Candidate& c : from) {
        if (!accept(c) || std::find(chosen.begin(), chosen.end(), &c) != chosen.end())
            continue;
        double value = c.score;
        for (const Candidate* s : chosen) {
            static constexpr double kCrowding[] = {20.0, 10.0, 4.0, 1.0};
            const int d = std::abs(placeOf(c) - placeOf(*s));
            // Books show the open chord and the movable closed shape beside it at the nut
            // (B7 x21202 and x24242): different hands, not a repetition.
            const bool closedC = !hasOpenString(c.fingering), closedS = !hasOpenString(s->fingering);
            const bool openAndClosed = (c.nutShape && closedS) || (s->nutShape && closedC);
            if (d < 4)
                value -= kCrowding[d] * (openAndClosed ? 0.25 : 1.0);
            // The same closed picture twelve frets away teaches nothing new.
            if (closedC && closedS && octaveApart(c.fingering, s->fingering))
                value -= 15.0;
        }
        if (!best || value > bestValue) {
            best = &c;
            bestValue = value;
        }
    }
    return best;
}

// The fingering a method book teaches first. The open chord where the key has one. Otherwise a
// barre position: the root on the sixth or fifth string at the lowest fret it has there, held
// by the E- or A-form (the open E or A chord of the type moved up) or, where that form does not
// move, by the best closed fingering on that bass; the lower of the two positions. Else the best
// closed fingering with the root on the sixth or fifth string at the lowest frets, else the best
// of the lowest places. None when every root-position fingering is awkward (or there is none):
// then the six simply climb the neck.
const Candidate* teachFirst(const KeyCandidates& all, int key)
{
    const auto& list = all.rootPosition[static_cast<size_t>(key)];
    if (const Candidate* open = bestOpenChord(list))
        return open;
    const auto closed = [](const Candidate& c) { return !c.awkward && !hasOpenString(c.fingering); };
    struct Form {
        int string;
        int shapeKey;  // the key whose open chord the form moves: E on the sixth string, A on the fifth
    };
    const Candidate* barre = nullptr;
    int barreFret = 99;
    for (const Form form : {Form{5, 4}, Form{4, 9}}) {
        const int fret = (key - form.shapeKey + 11) % 12 + 1;  // 1..12
        if (fret >= barreFret)
            continue;
        const Candidate* c = nullptr;
        if (const Candidate* open = bestOpenChord(all.rootPosition[static_cast<size_t>(form.shapeKey)]))
            c = movedShape(list, open->fingering, fret);
        // A barre with fingers pressing inside it only where no other hand holds the position.
        for (const bool held : {false, true})
            for (auto it = list.begin(); !c && it != list.end(); ++it)  // best first
                if (closed(*it) && it->heldBarre == held && it->bassString == form.string &&
                    it->fingering.frets[static_cast<size_t>(form.string)] == fret)
                    c = &*it;
        if (c) {
            barre = c;
            barreFret = fret;
        }
    }
    if (barre)
        return barre;
    const auto lowestOf = [&list](auto accept) {
        int lowest = 99;
        for (const Candidate& c : list)
            if (accept(c))
                lowest = std::min(lowest, placeOf(c));
        for (const Candidate& c : list)  // best first
            if (accept(c) && placeOf(c) <= lowest + 2)
                return &c;
        return static_cast<const Candidate*>(nullptr);
    };
    if (const Candidate* c = lowestOf([&](const Candidate& c) { return closed(c) && c.bassString >= 4; }))
        return c;
    return lowestOf([](const Candidate& c) { return !c.awkward; });
}

// Six fingerings: the one taught first, then five spread along the neck in order up it. Each
// further pick is the best one that does not crowd the places already taken. Inversions only
// fill what root position cannot; awkward fingerings only what nothing else can, and stand last.
FingeringSet pickSix(const KeyCandidates& all, int key)
{
    const std::vector<Candidate>& rootPosition = all.rootPosition[static_cast<size_t>(key)];
    const std::vector<Candidate>& inversions = all.inversions[static_cast<size_t>(key)];
    std::vector<const Candidate*> chosen;
    if (const Candidate* first = teachFirst(all, key))
        chosen.push_back(first);
    const size_t rest = chosen.size();
    // Open strings ringing beside a hand that plays no open chord (up the neck, stretched or
    // barred at the nut, a root on the first fret) are legal but odd in a chord book: such
    // fingerings come only when the closed ones and the real open chords run out.
    const auto openOdd = [](const Candidate& c) { return hasOpenString(c.fingering) && !c.openChord; };
    const auto fill = [&](const std::vector<Candidate>& from, auto accept) {
        while (chosen.size() < kFingeringsPerChord) {
            const Candidate* c = nextPick(from, chosen, accept);
            if (!c)
                break;
            chosen.push_back(c);
        }
    };
    fill(rootPosition, [&](const Candidate& c) { return !openOdd(c) && !c.awkward; });
    fill(rootPosition, [&](const Candidate& c) { return openOdd(c) && !c.awkward; });
    fill(rootPosition, [](const Candidate& c) { return c.awkward; });
    fill(inversions, [](const Candidate& c) { return !c.awkward; });
    fill(inversions, [](const Candidate& c) { return c.awkward; });
    assert(chosen.size() == kFingeringsPerChord);
    std::sort(chosen.begin() + static_cast<std::ptrdiff_t>(rest), chosen.end(),
              [](const Candidate* a, const Candidate* b) {
                  if (a->awkward != b->awkward)
                      return b->awkward;
                  if (a->fingering.baseFret != b->fingering.baseFret)
                      return a->fingering.baseFret < b->fingering.baseFret;
                  if (a->lowest != b->lowest)
                      return a->lowest < b->lowest;
                  if (a->highest != b->highest)
                      return a->highest < b->highest;
                  if (a->nutShape != b->nutShape)
                      return a->nutShape;  // the open chord before the barre shape on the same frets
                  return a->fingering.frets > b->fingering.frets;
              });
    FingeringSet six{};
    for (size_t i = 0; i < chosen.size() && i < six.size(); ++i)
        six[i] = chosen[i]->fingering;
    return six;
}

}  // namespace

std::vector<Fingering> playableFingerings(int key, int formulaIndex)
{
    const KeyCandidates all = candidatesForType(formulaIndex);
    std::vector<Fingering> out;
    for (const Candidate& c : all.rootPosition[static_cast<size_t>(key)])
        out.push_back(c.fingering);
    return out;
}

FingeringSet chordFingerings(int key, int formulaIndex)
{
    return pickSix(candidatesForType(formulaIndex), key);
}

std::vector<FingeringSet> generateDictionary()
{
    std::vector<FingeringSet> out(static_cast<size_t>(kChordTypeCount) * 12);
    for (int g = 0; g < kChordTypeCount; ++g) {
        const KeyCandidates all = candidatesForType(g);
        for (size_t key = 0; key < 12; ++key)
            out[static_cast<size_t>(g) * 12 + key] = pickSix(all, static_cast<int>(key));
    }
    return out;
}

}  // namespace strumox::theory
