#include "app/pictures/FretboardPictures.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "fretboard/FretboardGeometry.h"

namespace strumox::pictures {

using namespace fretboard;

namespace {

// Fingerboard rows (inclusive): string 0's marker starts right under the number strip, string
// 5's marker ends at row 104; one row of edge below it keeps the outer strings as far from the
// edge as string 0 is from the top.
constexpr int kBoardTop = kFretNumberStripHeight;
constexpr int kBoardBottom = 105;
// Nut columns (inclusive), right-handed: between the open-string markers (7..18) and the start
// of fret 1's hit zone (x 31).
constexpr int kNutLeft = 23;
constexpr int kNutRight = 28;
// A fret wire is two columns wide and lies this far right of its own fret's marker x, so the
// marker sits just behind its wire as a finger does, and the wire ends that fret's hit zone.
// Fret 21's wire (727, 728) still clears fret 22's marker at 729.
constexpr int kWireOffset = 15;
// Fret strings: 1-px plain steel on top, wound strings below, growing thicker.
constexpr std::array<int, 6> kStringWidth{1, 1, 2, 2, 3, 3};
constexpr std::array<int, 8> kInlayFrets{3, 5, 7, 9, 15, 17, 19, 21};
constexpr int kDoubleInlayFret = 12;

// The face the geometry's numbers were laid out for is metric-compatible with this one.
QFont pictureFont(int pixelSize, bool bold)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// --- deterministic wood texture --------------------------------------------------------------

std::uint32_t hash2(int x, int y, std::uint32_t seed)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                      seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

double unitHash(int x, int y, std::uint32_t seed) { return (hash2(x, y, seed) & 0xffffu) / 65535.0; }

// Smooth value noise in [0, 1].
double valueNoise(double x, double y, std::uint32_t seed)
{
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double a = unitHash(x0, y0, seed), b = unitHash(x0 + 1, y0, seed);
    const double c = unitHash(x0, y0 + 1, seed), d = unitHash(x0 + 1, y0 + 1, seed);
    return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

QRgb mix(QRgb a, QRgb b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    auto ch = [t](int u, int v) { return static_cast<int>(std::lround(u + (v - u) * t)); };
    return qRgb(ch(qRed(a), qRed(b)), ch(qGreen(a), qGreen(b)), ch(qBlue(a), qBlue(b)));
}

QRgb scale(QRgb c, double k)
{
    auto ch = [k](int u) { return std::clamp(static_cast<int>(std::lround(u * k)), 0, 255); };
    return qRgb(ch(qRed(c)), ch(qGreen(c)), ch(qBlue(c)));
}

void shadePixel(QImage& img, int x, int y, double k)
{
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height())
        return;
    img.setPixel(x, y, scale(img.pixel(x, y), k));
}

// Rosewood: dark chocolate with long grain along the neck and the odd open pore.
QRgb rosewood(int x, int y)
{
    const QRgb dark = qRgb(48, 27, 19);
    const QRgb light = qRgb(104, 62, 40);
    const double warp = 3.0 * valueNoise(x / 70.0, 0.5, 11);
    const double grain = valueNoise(x / 55.0, (y + warp) / 1.4, 23);
    const double tone = valueNoise(x / 160.0, y / 26.0, 37);
    double t = 0.15 + 0.45 * grain + 0.35 * tone;
    if (unitHash(x / 3, y, 41) > 0.985)  // pores: short dark dashes along the grain
        t -= 0.35;
    return mix(dark, light, t);
}

// --- the neck ---------------------------------------------------------------------------------

QRgb stripBackground(int y)
{
    if (y == kFretNumberStripHeight - 1)
        return qRgb(196, 190, 180);  // separates the numbers from the wood
    return mix(qRgb(244, 241, 235), qRgb(226, 221, 212), y / double(kFretNumberStripHeight - 2));
}

QRgb surroundBackground(int y)
{
    // Below the neck: the side of the neck in shade, a soft shadow, then the panel colour.
    const QRgb panel = qRgb(232, 228, 220);
    switch (y - kBoardBottom) {
    case 1: return qRgb(96, 56, 32);
    case 2: return qRgb(122, 74, 42);
    case 3: return qRgb(84, 50, 30);
    case 4: return mix(panel, qRgb(60, 50, 40), 0.55);
    case 5: return mix(panel, qRgb(60, 50, 40), 0.30);
    case 6: return mix(panel, qRgb(60, 50, 40), 0.12);
    default: return panel;
    }
}

void paintWood(QImage& img)
{
    for (int y = kBoardTop; y < kFretboardHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < kFretboardWidth; ++x) {
            if (y > kBoardBottom) {
                line[x] = surroundBackground(y);
            } else if (x < kNutLeft) {
                // Headstock face: near-black lacquer with a faint sheen towards the nut.
                line[x] = mix(qRgb(22, 16, 14), qRgb(58, 42, 34), 0.25 + 0.5 * x / double(kNutLeft) +
                                                                     0.15 * valueNoise(x / 6.0, y / 20.0, 53));
            } else {
                QRgb c = rosewood(x, y);
                // The board rolls off at its edges.
                const int edge = std::min(y - kBoardTop, kBoardBottom - y);
                if (edge < 3)
                    c = scale(c, 0.62 + 0.12 * edge);
                line[x] = c;
            }
        }
    }
}

int wireLeft(const HandLayout& hand, int fret) { return hand.fretX[static_cast<size_t>(fret)] + kWireOffset; }

void paintInlays(QPainter& p, const HandLayout& hand)
{
    auto dot = [&p](double cx, double cy, double d) {
        QRadialGradient g(QPointF(cx - d * 0.15, cy - d * 0.2), d * 0.6);
        g.setColorAt(0.0, QColor(252, 251, 246));
        g.setColorAt(0.55, QColor(232, 230, 222));
        g.setColorAt(1.0, QColor(186, 184, 176));
        p.setPen(QPen(QColor(40, 24, 16, 150), 0.8));
        p.setBrush(g);
        p.drawEllipse(QPointF(cx, cy), d / 2, d / 2);
    };
    // Centre of a fret space: halfway between the wire before and the wire after the fret.
    auto spaceCentre = [&hand](int fret) {
        return (wireLeft(hand, fret - 1) + wireLeft(hand, fret)) / 2.0 + 1.0;
    };
    auto diameter = [&hand](int fret) {
        const int space = hand.fretX[static_cast<size_t>(fret)] - hand.fretX[static_cast<size_t>(fret - 1)];
        return std::clamp(space * 0.42, 7.0, 9.0);
    };
    // Continuous y of a string's centre line.
    auto stringY = [](int s) { return kStringTop[static_cast<size_t>(s)] + kGlyphSize / 2.0; };
    p.setRenderHint(QPainter::Antialiasing, true);
    for (int f : kInlayFrets)
        dot(spaceCentre(f), (stringY(2) + stringY(3)) / 2, diameter(f));
    dot(spaceCentre(kDoubleInlayFret), (stringY(1) + stringY(2)) / 2, diameter(kDoubleInlayFret));
    dot(spaceCentre(kDoubleInlayFret), (stringY(3) + stringY(4)) / 2, diameter(kDoubleInlayFret));
    p.setRenderHint(QPainter::Antialiasing, false);
}

void paintWires(QImage& img, const HandLayout& hand)
{
    for (int f = 1; f <= 22; ++f) {
        const int x = wireLeft(hand, f);
        for (int y = kBoardTop; y <= kBoardBottom; ++y) {
            // Crowned nickel silver: lit from the left, a shadow cast on the wood to the right.
            const double along = std::abs(y - (kBoardTop + kBoardBottom) / 2.0) / ((kBoardBottom - kBoardTop) / 2.0);
            img.setPixel(x, y, mix(qRgb(238, 238, 234), qRgb(200, 200, 196), along));
            img.setPixel(x + 1, y, mix(qRgb(156, 156, 152), qRgb(128, 128, 124), along));
            shadePixel(img, x + 2, y, 0.6);
        }
    }
}

void paintNut(QImage& img)
{
    const std::array<QRgb, kNutRight - kNutLeft + 1> cols{qRgb(210, 198, 170), qRgb(240, 232, 210),
                                                          qRgb(236, 227, 203), qRgb(230, 220, 194),
                                                          qRgb(220, 208, 180), qRgb(184, 170, 140)};
    for (int y = kBoardTop; y <= kBoardBottom; ++y) {
        for (int x = kNutLeft; x <= kNutRight; ++x) {
            const double fleck = 0.04 * (valueNoise(x / 2.0, y / 5.0, 61) - 0.5);
            img.setPixel(x, y, scale(cols[static_cast<size_t>(x - kNutLeft)], 1.0 + fleck));
        }
        shadePixel(img, kNutRight + 1, y, 0.55);
        shadePixel(img, kNutRight + 2, y, 0.8);
    }
}

void paintStrings(QImage& img)
{
    for (int s = 0; s < 6; ++s) {
        const int centre = kStringTop[static_cast<size_t>(s)] + kGlyphSize / 2;
        const int w = kStringWidth[static_cast<size_t>(s)];
        const int first = centre - (w >= 2 ? 1 : 0);
        const bool wound = s >= 2;
        for (int x = 0; x < kFretboardWidth; ++x) {
            for (int i = 0; i < w; ++i) {
                QRgb c;
                if (!wound) {
                    c = qRgb(236, 236, 232);
                } else {
                    // Bronze winding: bright top row, darker below, a ripple along the wrap.
                    const std::array<QRgb, 3> rows{qRgb(240, 214, 160), qRgb(198, 160, 104), qRgb(146, 108, 64)};
                    c = rows[static_cast<size_t>(i)];
                    if (i > 0 && x % 2 == 1)
                        c = scale(c, 0.86);
                }
                img.setPixel(x, first + i, c);
            }
            shadePixel(img, x, first + w, 0.55);
        }
    }
}

QImage makeStrip(bool leftHanded)
{
    QImage img(kFretboardWidth, kFretNumberStripHeight, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < img.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        std::fill(line, line + img.width(), stripBackground(y));
    }
    QPainter p(&img);
    p.setFont(pictureFont(9, false));
    const HandLayout hand = HandLayout::forHand(leftHanded);
    for (int f = 1; f <= 22; ++f) {
        const bool inlaid = f == kDoubleInlayFret || std::find(kInlayFrets.begin(), kInlayFrets.end(), f) != kInlayFrets.end();
        p.setPen(inlaid ? QColor(52, 40, 32) : QColor(128, 118, 108));
        // A rect centred on the marker's middle (x + 6) so both hands place the text alike.
        const QRect box(hand.fretX[static_cast<size_t>(f)] + kGlyphSize / 2 - 10, 0, 20, kFretNumberStripHeight - 1);
        p.drawText(box, Qt::AlignCenter, QString::number(f));
    }
    return img;
}

QImage makeRightNeck()
{
    QImage img(kFretboardWidth, kFretboardHeight, QImage::Format_ARGB32_Premultiplied);
    const HandLayout hand = HandLayout::right();
    paintWood(img);
    {
        QPainter p(&img);
        paintInlays(p, hand);
    }
    paintWires(img, hand);
    paintNut(img);
    paintStrings(img);
    QPainter p(&img);
    p.drawImage(0, 0, makeStrip(false));
    return img;
}

QImage makeLeftNeck(const QImage& right)
{
    QImage img = right.mirrored(true, false);
    QPainter p(&img);
    p.drawImage(0, 0, makeStrip(true));
    return img;
}

// --- marker glyphs ----------------------------------------------------------------------------

const QColor kDotFill(28, 78, 168);
const QColor kSoundingFill(255, 196, 0);
const QColor kRootFill(214, 34, 34);
const QColor kGlyphEdge(250, 250, 246);
const QColor kGlyphOutline(20, 16, 14, 210);

void drawDot(QPainter& p, int cellX, const QColor& fill, int finger)
{
    const QRectF r(cellX + 0.5, 0.5, kGlyphSize - 1.0, kGlyphSize - 1.0);
    p.setPen(QPen(kGlyphEdge, 1.0));
    p.setBrush(fill);
    p.drawEllipse(r);
    if (finger > 0) {
        p.setPen(Qt::white);
        p.setFont(pictureFont(9, true));
        p.drawText(QRectF(cellX, 0, kGlyphSize, kGlyphSize), Qt::AlignCenter, QString::number(finger));
    }
}

void drawRing(QPainter& p, int cellX, const QColor& ring, const QColor& outline)
{
    const QPointF c(cellX + kGlyphSize / 2.0, kGlyphSize / 2.0);
    // A smoked centre keeps the string from striking through the ring, yet the wood shows.
    p.setBrush(QColor(16, 12, 10, 150));
    p.setPen(QPen(outline, 3.6));
    p.drawEllipse(c, 4.0, 4.0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ring, 2.0));
    p.drawEllipse(c, 4.0, 4.0);
}

void drawCross(QPainter& p, int cellX)
{
    QPainterPath path;
    path.moveTo(cellX + 2.5, 2.5);
    path.lineTo(cellX + 9.5, 9.5);
    path.moveTo(cellX + 9.5, 2.5);
    path.lineTo(cellX + 2.5, 9.5);
    p.setBrush(Qt::NoBrush);
    p.strokePath(path, QPen(kGlyphOutline, 3.6, Qt::SolidLine, Qt::RoundCap));
    p.strokePath(path, QPen(kGlyphEdge, 1.8, Qt::SolidLine, Qt::RoundCap));
}

QImage makeGlyphStrip()
{
    QImage img(kGlyphStripWidth, kGlyphSize, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    drawCross(p, glyphCellX(5, false));
    drawDot(p, glyphCellX(6, false), kDotFill, 0);
    drawRing(p, glyphCellX(0, false), kGlyphEdge, kGlyphOutline);
    drawDot(p, glyphCellX(6, true), kRootFill, 0);
    drawRing(p, glyphCellX(0, true), kRootFill, kGlyphEdge);
    for (int finger = 1; finger <= 4; ++finger) {
        drawDot(p, glyphCellX(finger, false), kDotFill, finger);
        drawDot(p, glyphCellX(finger, true), kRootFill, finger);
    }
    // The dots of notes sounding while something plays, lit so they stand out over the chord's
    // own dots (a muted string keeps the cross).
    drawDot(p, soundingCellX(6), kSoundingFill, 0);
    drawRing(p, soundingCellX(0), kSoundingFill, kGlyphEdge);
    for (int finger = 1; finger <= 4; ++finger)
        drawDot(p, soundingCellX(finger), kSoundingFill, finger);
    return img;
}

bool onNeck(int string, int fret) { return string >= 0 && string < 6 && fret >= 0 && fret <= 22; }

}  // namespace

QImage blankNeck(bool leftHanded)
{
    static const QImage right = makeRightNeck();
    static const QImage left = makeLeftNeck(right);
    return leftHanded ? left : right;
}

QImage fretNumberStrip(bool leftHanded)
{
    static const QImage right = makeStrip(false);
    static const QImage left = makeStrip(true);
    return leftHanded ? left : right;
}

QImage glyphStrip()
{
    static const QImage strip = makeGlyphStrip();
    return strip;
}

void paintFretboard(QPainter& p, const FretboardScene& scene)
{
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawImage(0, 0, blankNeck(scene.leftHanded));
    const HandLayout hand = HandLayout::forHand(scene.leftHanded);
    const QImage glyphs = glyphStrip();
    for (const auto& g : scene.glyphs) {
        if (!onNeck(g.string, g.fret) || g.cellX < 0 || g.cellX > kGlyphStripWidth - kGlyphSize)
            continue;
        p.drawImage(QPoint(hand.fretX[static_cast<size_t>(g.fret)], kStringTop[static_cast<size_t>(g.string)]), glyphs,
                    QRect(g.cellX, 0, kGlyphSize, kGlyphSize));
    }
    for (const auto& sq : scene.squares) {
        if (!onNeck(sq.string, sq.fret))
            continue;
        const QColor c(static_cast<int>((sq.rgb >> 16) & 0xff), static_cast<int>((sq.rgb >> 8) & 0xff),
                       static_cast<int>(sq.rgb & 0xff));
        const int x0 = hand.fretX[static_cast<size_t>(sq.fret)] - 1;
        const int y0 = kStringTop[static_cast<size_t>(sq.string)] - 1;
        constexpr int side = 16;  // x - 1 .. x + 14 inclusive
        constexpr int pen = 2;
        p.fillRect(x0, y0, side, pen, c);
        p.fillRect(x0, y0 + side - pen, side, pen, c);
        p.fillRect(x0, y0 + pen, pen, side - 2 * pen, c);
        p.fillRect(x0 + side - pen, y0 + pen, pen, side - 2 * pen, c);
    }
    for (const auto& g : scene.sounding) {
        if (!g || !onNeck(g->string, g->fret) || g->cellX < 0 || g->cellX > kGlyphStripWidth - kGlyphSize)
            continue;
        p.drawImage(QPoint(hand.fretX[static_cast<size_t>(g->fret)], kStringTop[static_cast<size_t>(g->string)]), glyphs,
                    QRect(g->cellX, 0, kGlyphSize, kGlyphSize));
    }
    p.restore();
}

QImage renderFretboard(const FretboardScene& scene)
{
    QImage img(kFretboardWidth, kFretboardHeight, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);
    QPainter p(&img);
    paintFretboard(p, scene);
    return img;
}

}  // namespace strumox::pictures
