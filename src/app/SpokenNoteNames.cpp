#include "app/SpokenNoteNames.h"

#include <QAudioDevice>
#include <QFile>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>
#include <algorithm>

namespace strumox::app {

namespace {

// Pitch classes spelled apart in the flat table: the five black keys.
constexpr std::array<int, 5> kFlatOnly{1, 3, 6, 8, 10};

bool isFlatOnly(int pc) { return std::find(kFlatOnly.begin(), kFlatOnly.end(), pc) != kFlatOnly.end(); }

int pitchClassOf(int n) { return ((n % 12) + 12) % 12; }

// Enough of a WAV file to be worth handing to the player: the RIFF/WAVE signature and more than
// the 44 bytes of a bare header. The player checks the rest itself and stays silent on a bad one.
bool looksLikeWav(const QByteArray& bytes)
{
    return bytes.size() > 44 && bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WAVE";
}

}  // namespace

struct SpokenNoteNames::Sound {
    QString name;
    std::unique_ptr<QSoundEffect> effect;  // null when there is no audio device to play on
};

SpokenNoteNames::SpokenNoteNames(QObject* parent) : QObject(parent)
{
    m_sharp.fill(-1);
    m_flat.fill(-1);
    m_canPlay = !QMediaDevices::audioOutputs().isEmpty();

    auto load = [this](const QString& name) -> int {
        QFile file(resourcePath(name));
        if (!file.open(QIODevice::ReadOnly) || !looksLikeWav(file.readAll()))
            return -1;
        auto sound = std::make_unique<Sound>();
        sound->name = name;
        if (m_canPlay) {
            sound->effect = std::make_unique<QSoundEffect>();
            sound->effect->setSource(QUrl(QStringLiteral("qrc") + resourcePath(name)));
            sound->effect->setVolume(static_cast<float>(m_volume));
        }
        m_sounds.push_back(std::move(sound));
        return static_cast<int>(m_sounds.size()) - 1;
    };
    for (int pc = 0; pc < 12; ++pc) {
        const int sharp = load(resourceName(pc, theory::Spelling::Sharps));
        m_sharp[static_cast<std::size_t>(pc)] = sharp;
        m_flat[static_cast<std::size_t>(pc)] = isFlatOnly(pc) ? load(resourceName(pc, theory::Spelling::Flats)) : sharp;
    }
}

SpokenNoteNames::~SpokenNoteNames() = default;

QString SpokenNoteNames::resourceName(int pitchClass, theory::Spelling spelling)
{
    const int pc = pitchClassOf(pitchClass);
    if (spelling == theory::Spelling::Flats && isFlatOnly(pc))
        return QStringLiteral("SPEAK_0%1").arg(pc);
    return QStringLiteral("SPEAK_%1").arg(pc);
}

QString SpokenNoteNames::resourcePath(const QString& name) { return QStringLiteral(":/wave/") + name; }

std::array<QString, SpokenNoteNames::kSoundCount> SpokenNoteNames::allResourceNames()
{
    std::array<QString, kSoundCount> names;
    std::size_t n = 0;
    for (int pc = 0; pc < 12; ++pc)
        names[n++] = resourceName(pc, theory::Spelling::Sharps);
    for (int pc : kFlatOnly)
        names[n++] = resourceName(pc, theory::Spelling::Flats);
    return names;
}

int SpokenNoteNames::soundIndex(int pitchClass, theory::Spelling spelling) const
{
    const auto pc = static_cast<std::size_t>(pitchClassOf(pitchClass));
    return spelling == theory::Spelling::Flats ? m_flat[pc] : m_sharp[pc];
}

QString SpokenNoteNames::soundName(int pitchClass, theory::Spelling spelling) const
{
    const int i = soundIndex(pitchClass, spelling);
    return i < 0 ? QString() : m_sounds[static_cast<std::size_t>(i)]->name;
}

void SpokenNoteNames::setSpeechVolume(int speechVol)
{
    // Our own level, applied to each sound as it plays. The user's system mixer is never
    // touched: other programs keep the volume the user gave them.
    m_volume = std::clamp(speechVol, 0, 255) / 255.0;
    for (const auto& sound : m_sounds)
        if (sound->effect)
            sound->effect->setVolume(static_cast<float>(m_volume));
}

void SpokenNoteNames::speak(int pitchClass, theory::Spelling spelling)
{
    const int i = soundIndex(pitchClass, spelling);
    if (i < 0)
        return;
    emit spoken(m_sounds[static_cast<std::size_t>(i)]->name);
    if (!m_canPlay)
        return;
    for (const auto& sound : m_sounds)
        if (sound->effect)
            sound->effect->stop();
    m_sounds[static_cast<std::size_t>(i)]->effect->play();
}

}  // namespace strumox::app
