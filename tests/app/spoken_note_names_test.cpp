#include <QFile>
#include <QSet>
#include <QSoundEffect>
#include <QtEndian>
#include <QtTest>

#include "app/SpokenNoteNames.h"

using strumox::app::SpokenNoteNames;
using strumox::theory::Spelling;

namespace {

// Seconds of sound in a whole 16-bit PCM RIFF/WAVE file, read chunk by chunk; 0 for anything else.
double wavSeconds(const QByteArray& b)
{
    auto u32 = [&b](qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); };
    auto u16 = [&b](qsizetype at) { return qFromLittleEndian<quint16>(b.constData() + at); };
    if (b.size() < 12 || !b.startsWith("RIFF") || b.mid(8, 4) != "WAVE" || u32(4) != quint32(b.size() - 8))
        return 0;
    quint32 bytesPerSecond = 0;
    for (qsizetype at = 12; at + 8 <= b.size();) {
        const QByteArray id = b.mid(at, 4);
        const quint32 size = u32(at + 4);
        if (at + 8 + qsizetype(size) > b.size())
            return 0;
        if (id == "fmt " && size >= 16 && u16(at + 8) == 1 && u16(at + 22) == 16)  // plain PCM, 16 bits
            bytesPerSecond = u32(at + 12) * u16(at + 10) * 2;                     // rate x channels x 2
        else if (id == "data" && bytesPerSecond > 0)
            return double(size) / bytesPerSecond;
        at += 8 + size + (size & 1);
    }
    return 0;
}

}  // namespace

class SpokenNoteNamesTest : public QObject {
    Q_OBJECT

private slots:
    void everySoundIsACompiledInWavOfASpokenNameThePlayerReads()
    {
        double longestOneWord = 0, shortestTwoWords = 1e9;
        QSet<QByteArray> contents;
        for (const QString& name : SpokenNoteNames::allResourceNames()) {
            QFile f(SpokenNoteNames::resourcePath(name));
            QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(name));
            const QByteArray bytes = f.readAll();
            contents.insert(bytes);
            const double seconds = wavSeconds(bytes);
            QVERIFY2(seconds > 0.2 && seconds < 2.0, qPrintable(name + ": " + QString::number(seconds)));
            // "see sharp" and "dee flat" take longer to say than a letter alone ("SPEAK_01" and
            // "SPEAK_1" both name pitch class 1).
            if (QList{1, 3, 6, 8, 10}.contains(name.mid(6).toInt()))
                shortestTwoWords = std::min(shortestTwoWords, seconds);
            else
                longestOneWord = std::max(longestOneWord, seconds);

            QSoundEffect effect;
            effect.setSource(QUrl("qrc" + SpokenNoteNames::resourcePath(name)));
            QTRY_COMPARE_WITH_TIMEOUT(effect.status(), QSoundEffect::Ready, 3000);
        }
        QCOMPARE(contents.size(), SpokenNoteNames::kSoundCount);
        QVERIFY2(shortestTwoWords > longestOneWord,
                 qPrintable(QStringLiteral("%1 %2").arg(shortestTwoWords).arg(longestOneWord)));
    }

    void tablesPickTheSpelledNameAndSpeakingNeverFails()
    {
        const QStringList sharp{"SPEAK_0", "SPEAK_1", "SPEAK_2", "SPEAK_3", "SPEAK_4",  "SPEAK_5",
                                "SPEAK_6", "SPEAK_7", "SPEAK_8", "SPEAK_9", "SPEAK_10", "SPEAK_11"};
        const QStringList flat{"SPEAK_0", "SPEAK_01", "SPEAK_2", "SPEAK_03", "SPEAK_4",  "SPEAK_5",
                               "SPEAK_06", "SPEAK_7", "SPEAK_08", "SPEAK_9", "SPEAK_010", "SPEAK_11"};
        SpokenNoteNames names;
        for (int pc = 0; pc < 12; ++pc) {
            QCOMPARE(names.soundName(pc - 12, Spelling::Sharps), sharp[pc]);
            QCOMPARE(names.soundName(pc + 24, Spelling::Flats), flat[pc]);
        }
        // Offscreen, perhaps without an audio device: nothing fails or blocks.
        names.speak(3, Spelling::Flats);
        names.speak(3, Spelling::Sharps);
    }
};

QTEST_MAIN(SpokenNoteNamesTest)
#include "spoken_note_names_test.moc"
