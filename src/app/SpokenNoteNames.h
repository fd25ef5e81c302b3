#pragma once
// The spoken note names: seventeen short WAV sounds made at build time and compiled in as the
// resources ":/wave/SPEAK_0" .. ":/wave/SPEAK_11" (C, C sharp, D, ..., B) and ":/wave/SPEAK_01",
// "SPEAK_03", "SPEAK_06", "SPEAK_08", "SPEAK_010" (D flat, E flat, G flat, A flat, B flat).
// Two tables by pitch class pick them: the sharp one, and the flat one, which differs at the five
// black keys. A sound is played asynchronously, cutting off any name still being spoken.
//
// Constructing one starts the multimedia layer: make it after the main window shows. Without an
// audio device (or offscreen) speak() does nothing, and a missing or broken sound leaves its note
// silent. GUI thread only.
#include <QObject>
#include <QString>
#include <array>
#include <memory>
#include <vector>

#include "theory/Notes.h"

class QSoundEffect;

namespace strumox::app {

class SpokenNoteNames : public QObject {
    Q_OBJECT
public:
    static constexpr int kSoundCount = 17;

    explicit SpokenNoteNames(QObject* parent = nullptr);
    ~SpokenNoteNames() override;

    // The resource a table entry should hold: "SPEAK_1" in the sharp table, "SPEAK_01" in the
    // flat one. Any integer pitch class, taken modulo 12.
    static QString resourceName(int pitchClass, theory::Spelling spelling);
    // ":/wave/" + name.
    static QString resourcePath(const QString& name);
    // All seventeen names, the twelve sharp ones first.
    static std::array<QString, kSoundCount> allResourceNames();

    // What the loaded table holds for a pitch class: the resource's name, or empty when that
    // sound was missing or not a playable WAV at start-up.
    QString soundName(int pitchClass, theory::Spelling spelling) const;

    // The "SpeechVol" setting, 0..255: the names play at speechVol / 255 of full scale.
    void setSpeechVolume(int speechVol);
    double volume() const { return m_volume; }

    // Says the name of a pitch class in the spelling given; stops any name still sounding first.
    void speak(int pitchClass, theory::Spelling spelling);

signals:
    // A name was asked for and its sound exists: the resource's name ("SPEAK_01"), told whether
    // or not an audio device plays it.
    void spoken(const QString& name);

private:
    struct Sound;
    int soundIndex(int pitchClass, theory::Spelling spelling) const;

    std::vector<std::unique_ptr<Sound>> m_sounds;  // the sounds that loaded, in no table order
    std::array<int, 12> m_sharp{};                  // index into m_sounds, -1 for none
    std::array<int, 12> m_flat{};
    double m_volume = 130.0 / 255.0;
    bool m_canPlay = false;
};

}  // namespace strumox::app
