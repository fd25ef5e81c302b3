#include "app/pictures/KeyboardPicture.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <array>
#include <cstdint>

#include "fretboard/KeyboardLayout.h"

namespace strumox::pictures {

using namespace fretboard;
namespace {

using Mark = KeyboardScene::Mark;

constexpr QRgb kGreen = 0xff00ff00;
constexpr QRgb kRed = 0xffff0000;

int luminance(QRgb c) { return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000; }

bool insideMark(int x, int y, const KeyMarkPosition& m)
{
    return x >= m.x && x < m.x + kKeyMarkSize && y >= m.y && y < m.y + kKeyMarkSize;
}

// Every pixel inside the mark of a key marked in `scene` has the mark's colour; every other
// pixel is the blank keyboard's.
void expectMarks(const QImage& shot, const KeyboardScene& scene)
{
    const QImage blank = blankKeyboard();
    const auto& marks = keyMarkPositions();
    for (int y = 0; y < kKeyboardHeight; ++y) {
        for (int x = 0; x < kKeyboardWidth; ++x) {
            QRgb expected = blank.pixel(x, y);
            for (int k = 0; k < kKeyCount; ++k)
                if (scene.marks[k] != Mark::None && insideMark(x, y, marks[static_cast<size_t>(k)]))
                    expected = scene.marks[k] == Mark::Root ? kRed : kGreen;
            ASSERT_EQ(shot.pixel(x, y), expected) << x << "," << y;
        }
    }
}

// ---- the blank keyboard ----------------------------------------------------------------------

TEST(BlankKeyboard, HasItsFixedSize)
{
    EXPECT_EQ(blankKeyboard().size(), QSize(281, 18));
    EXPECT_EQ(renderKeyboard(KeyboardScene{}).size(), QSize(281, 18));
}

TEST(BlankKeyboard, BlackKeysAreDrawnWhereHoverFindsThem)
{
    const QImage img = blankKeyboard();
    for (int y : {2, 5, 7}) {
        for (int x = 0; x < kKeyboardWidth; ++x) {
            const bool black = isBlackKey(*keyAt(x, y));
            const bool looksBlack = luminance(img.pixel(x, y)) < 90;
            EXPECT_EQ(looksBlack, black) << x << "," << y;
        }
    }
}

TEST(BlankKeyboard, LowerHalfHoldsOnlyWhiteKeysWithADividerEveryEightPixels)
{
    const QImage img = blankKeyboard();
    for (int y : {11, 13, 15}) {
        for (int x = 0; x < kKeyboardWidth; ++x) {
            const int lum = luminance(img.pixel(x, y));
            if (x % kWhiteKeyWidth == 0)
                EXPECT_LT(lum, 180) << "divider " << x << "," << y;
            else
                EXPECT_GT(lum, 220) << "key " << x << "," << y;
        }
    }
}

TEST(BlankKeyboard, EmptySceneShowsTheBlankKeyboard)
{
    EXPECT_EQ(renderKeyboard(KeyboardScene{}).convertToFormat(QImage::Format_RGB32),
              blankKeyboard().convertToFormat(QImage::Format_RGB32));
}

// ---- marks -----------------------------------------------------------------------------------

TEST(KeyboardMarks, EveryKeyTakesAGreenOrRedMarkAtItsPosition)
{
    for (Mark m : {Mark::Scale, Mark::Root}) {
        KeyboardScene scene;
        for (auto& mark : scene.marks)
            mark = m;
        expectMarks(renderKeyboard(scene), scene);
    }
}

TEST(KeyboardMarks, KnownPixelsOfAMarkedScale)
{
    KeyboardScene scene;
    const std::array<std::uint8_t, 10> major{0, 2, 4, 5, 7, 9, 11, 99, 99, 99};
    markScale(scene, major, 7);  // G major
    const QImage shot = renderKeyboard(scene);
    EXPECT_EQ(shot.pixel(35 + 1, 12 + 1), kRed);     // lowest G
    EXPECT_EQ(shot.pixel(275 + 2, 12 + 2), kGreen);  // top B, bottom-right pixel of its mark
    EXPECT_EQ(shot.pixel(31 + 1, 6 + 1), kGreen);    // lowest F#, a black key
    EXPECT_EQ(shot.pixel(27 + 1, 12 + 1), blankKeyboard().pixel(28, 13));  // F is not in G major
    expectMarks(shot, scene);
}

TEST(KeyboardMarks, PaintsThroughATranslatedPainter)
{
    KeyboardScene scene;
    scene.marks[0] = Mark::Root;
    scene.marks[59] = Mark::Scale;
    QImage big(300, 40, QImage::Format_ARGB32_Premultiplied);
    big.fill(Qt::black);
    {
        QPainter p(&big);
        p.translate(10, 20);
        paintKeyboard(p, scene);
    }
    EXPECT_EQ(big.copy(10, 20, 281, 18).convertToFormat(QImage::Format_RGB32),
              renderKeyboard(scene).convertToFormat(QImage::Format_RGB32));
}

}  // namespace
}  // namespace strumox::pictures
