#include "app/pictures/KeyboardPicture.h"

#include <QPainter>
#include <algorithm>

#include "fretboard/KeyboardLayout.h"

namespace strumox::pictures {

using namespace fretboard;

namespace {

constexpr int kBlackKeyHalfWidth = 2;  // a black key spans divider x - 2 .. x + 2

QImage makeBlankKeyboard()
{
    QImage img(kKeyboardWidth, kKeyboardHeight, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < kKeyboardHeight; ++y) {
        // Ivory that darkens a little towards the front edge of the keys.
        const int shade = y < kKeyboardHeight - 4 ? 0 : (y - (kKeyboardHeight - 5)) * 6;
        const QRgb ivory = qRgb(250 - shade, 248 - shade, 240 - shade);
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        std::fill(line, line + kKeyboardWidth, ivory);
    }
    QPainter p(&img);
    for (int w = 0; w <= kWhiteKeyCount; ++w)
        p.fillRect(w * kWhiteKeyWidth, 0, 1, kKeyboardHeight, QColor(118, 114, 108));
    p.fillRect(0, kKeyboardHeight - 1, kKeyboardWidth, 1, QColor(90, 86, 80));
    p.fillRect(0, 0, kKeyboardWidth, 1, QColor(60, 20, 24));  // felt strip behind the keys

    for (int k = 0; k < kKeyCount; ++k) {
        if (!isBlackKey(k))
            continue;
        // A black key sits on the divider after the white key below it.
        const int whiteBelow = 7 * (k / 12) + ((k % 12) < 5 ? (k % 12) / 2 : ((k % 12) + 1) / 2);
        const int divider = (whiteBelow + 1) * kWhiteKeyWidth;
        const int left = divider - kBlackKeyHalfWidth;
        const int width = 2 * kBlackKeyHalfWidth + 1;
        p.fillRect(left, 0, width, kBlackKeyBottom + 1, QColor(24, 22, 24));
        p.fillRect(left + 1, 1, 1, kBlackKeyBottom - 2, QColor(70, 68, 72));            // sheen
        p.fillRect(left, kBlackKeyBottom - 1, width, 2, QColor(58, 56, 60));            // key front
        p.fillRect(left - 1, kBlackKeyBottom + 1, width + 2, 1, QColor(200, 196, 188));  // shadow on the ivory
    }
    return img;
}

}  // namespace

QImage blankKeyboard()
{
    static const QImage img = makeBlankKeyboard();
    return img;
}

void paintKeyboard(QPainter& p, const KeyboardScene& s)
{
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawImage(0, 0, blankKeyboard());
    const auto& marks = keyMarkPositions();
    for (int k = 0; k < kKeyCount; ++k) {
        if (s.marks[k] == KeyboardScene::Mark::None)
            continue;
        const QColor c = s.marks[k] == KeyboardScene::Mark::Root ? QColor(255, 0, 0) : QColor(0, 255, 0);
        const auto& m = marks[static_cast<size_t>(k)];
        p.fillRect(m.x, m.y, kKeyMarkSize, kKeyMarkSize, c);
    }
    p.restore();
}

QImage renderKeyboard(const KeyboardScene& s)
{
    QImage img(kKeyboardWidth, kKeyboardHeight, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);
    QPainter p(&img);
    paintKeyboard(p, s);
    return img;
}

}  // namespace strumox::pictures
