#include "app/pictures/DiagramPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <string_view>

#include "pages/RecordText.h"
#include "theory/ScaleTypes.h"

namespace strumox::pictures {

namespace {

// First line and spacing of the six string lines (x) and the seven fret lines (y).
struct GridLines {
    int firstX, pitchX, firstY, pitchY;
    int lastX() const { return firstX + 5 * pitchX; }
    int lastY() const { return firstY + 6 * pitchY; }
};
constexpr GridLines kSmallGrid{21, 15, 17, 17};
constexpr GridLines kTinyGrid{10, 9, 6, 9};

// Where the base fret is written inside a diagram (top-left of the text line).
constexpr QPoint kSmallFretNumberAt(4, 19);
constexpr QPoint kTinyFretNumberAt(0, 7);

// Design strip: where the tiny picture, the out-of-range line and the text lines go inside a slot.
constexpr int kDesignTinyTop = 44;
constexpr int kDesignLineY = 106;
constexpr int kDesignLineFrom = 12;  // inclusive
constexpr int kDesignLineTo = 54;    // exclusive
constexpr int kDesignTextLeft = 1;
constexpr int kDesignTextPitch = 10;

// Print page text lines, tops relative to the row's top.
constexpr std::array<int, 4> kPrintLineY{1, 11, 20, 29};

QImage whiteImage(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

QImage makeGrid(const GridLines& g, int w, int h)
{
    QImage img = whiteImage(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    for (int i = 0; i < 6; ++i) {
        const int x = g.firstX + i * g.pitchX;
        p.fillRect(x, g.firstY, 1, g.lastY() - g.firstY + 1, Qt::black);
    }
    for (int i = 0; i < 7; ++i) {
        const int y = g.firstY + i * g.pitchY;
        p.fillRect(g.firstX, y, g.lastX() - g.firstX + 1, 1, Qt::black);
    }
    return img;
}

// --- 10 x 10 glyphs ---------------------------------------------------------------------------
// A mark's string line runs through column 5 of its cell, so every glyph is centred on pixel
// (5, 5): the continuous centre (5.5, 5.5), leaving column 0 and row 0 white.

constexpr QPointF kGlyphCentre(5.5, 5.5);

void smoothPainter(QPainter& p) { p.setRenderHint(QPainter::Antialiasing, true); }

// The ring as pixels: smoothing a 1-px ring this small leaves it grey and faint.
constexpr std::array<const char*, 9> kRing{
    "...###...",
    ".##...##.",
    ".#.....#.",
    "#.......#",
    "#.......#",
    "#.......#",
    ".#.....#.",
    ".##...##.",
    "...###...",
};

void setPixels(QPainter& p, int left, int top, int rows, int cols, const char* const* pattern)
{
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x)
            if (pattern[y][x] == '#')
                p.fillRect(left + x, top + y, 1, 1, Qt::black);
}

void drawOpenCircle(QPainter& p, int cellX) { setPixels(p, cellX + 1, 1, 9, 9, kRing.data()); }

void drawFilledDot(QPainter& p, int cellX)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(kGlyphCentre + QPointF(cellX, 0), 4.5, 4.5);
}

void drawCross(QPainter& p, int cellX)
{
    QPainterPath path;
    path.moveTo(cellX + 2.2, 2.2);
    path.lineTo(cellX + 8.8, 8.8);
    path.moveTo(cellX + 8.8, 2.2);
    path.lineTo(cellX + 2.2, 8.8);
    p.strokePath(path, QPen(Qt::black, 1.5, Qt::SolidLine, Qt::FlatCap));
}

// Finger numbers as 3 x 5 pixel digits: a font at this size smears into the ring.
constexpr std::array<const char*, 4 * 5> kFingerDigits{
    ".#.", "##.", ".#.", ".#.", "###",  // 1
    "##.", "..#", ".#.", "#..", "###",  // 2
    "##.", "..#", ".#.", "..#", "##.",  // 3
    "#.#", "#.#", "###", "..#", "..#",  // 4
};

void drawCircledNumber(QPainter& p, int cellX, int number)
{
    drawOpenCircle(p, cellX);
    // Centred on pixel (5, 5) like the ring.
    setPixels(p, cellX + 4, 3, 5, 3, &kFingerDigits[static_cast<size_t>((number - 1) * 5)]);
}

// Rising hatch lines three pixels apart inside the ring, the middle one through the centre.
void drawHatchedCircle(QPainter& p, int cellX)
{
    drawOpenCircle(p, cellX);
    for (int y = 0; y < 9; ++y) {
        const char* row = kRing[static_cast<size_t>(y)];
        const int first = static_cast<int>(std::string_view(row).find('#'));
        const int last = static_cast<int>(std::string_view(row).rfind('#'));
        for (int x = first + 1; x < last; ++x)
            if ((x + y) % 3 == 2)
                p.fillRect(cellX + 1 + x, 1 + y, 1, 1, Qt::black);
    }
}

QImage makeSmallNumberGlyphs()
{
    QImage img = whiteImage(7 * kSmallGlyph, kSmallGlyph);
    QPainter p(&img);
    smoothPainter(p);
    drawOpenCircle(p, smallNumb::kOpen);
    for (int finger = 1; finger <= 4; ++finger)
        drawCircledNumber(p, finger * kSmallGlyph, finger);
    drawCross(p, smallNumb::kMuted);
    drawFilledDot(p, smallNumb::kDot);
    return img;
}

QImage makeSmallMarkGlyphs()
{
    QImage img = whiteImage(4 * kSmallGlyph, kSmallGlyph);
    QPainter p(&img);
    smoothPainter(p);
    drawFilledDot(p, smallMark::kDot);
    drawOpenCircle(p, smallMark::kOpen);
    drawCross(p, smallMark::kMuted);
    drawHatchedCircle(p, smallMark::kRoot);
    return img;
}

// --- 5 x 5 glyphs, set pixel by pixel: at this size any smoothing only blurs them -------------

QImage makeTinyMarkGlyphs()
{
    static const char* const rows[kTinyGlyph] = {
        // dot  open   X
        ".###..###.#...#",
        "######...#.#.#.",
        "######...#..#..",
        "######...#.#.#.",
        ".###..###.#...#",
    };
    QImage img = whiteImage(3 * kTinyGlyph, kTinyGlyph);
    for (int y = 0; y < kTinyGlyph; ++y)
        for (int x = 0; x < 3 * kTinyGlyph; ++x)
            if (rows[y][x] == '#')
                img.setPixel(x, y, qRgb(0, 0, 0));
    return img;
}

// --- assembling diagrams ----------------------------------------------------------------------

void writeFretNumber(QImage& cell, QPoint at, int baseFret)
{
    QPainter p(&cell);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setFont(diagramFont(kDiagramFontPixelSize));
    p.setPen(Qt::black);
    p.drawText(QRect(at, QSize(cell.width() - at.x(), 12)), Qt::AlignLeft | Qt::AlignTop,
               QString::number(baseFret));
}

void copyGlyph(QPainter& p, QPoint to, const QImage& strip, int glyphX, int size)
{
    p.drawImage(to, strip, QRect(glyphX, 0, size, size));
}

int chordGlyph(int marker, ChordDiagramStyle style)
{
    if (style == ChordDiagramStyle::PrintPage)
        return std::clamp(marker, 0, 6) * kSmallGlyph;
    if (marker == pages::MarkerMuted)
        return smallNumb::kMuted;
    if (marker == pages::MarkerOpen)
        return smallNumb::kOpen;
    return smallNumb::kDot;
}

int tinyGlyph(int marker)
{
    if (marker == pages::MarkerMuted)
        return tinyMark::kMuted;
    if (marker == pages::MarkerOpen)
        return tinyMark::kOpen;
    return tinyMark::kDot;
}

}  // namespace

QImage smallFretGrid()
{
    static const QImage img = makeGrid(kSmallGrid, kSmallDiagramWidth, kSmallDiagramHeight);
    return img;
}

QImage smallNumberGlyphs()
{
    static const QImage img = makeSmallNumberGlyphs();
    return img;
}

QImage smallMarkGlyphs()
{
    static const QImage img = makeSmallMarkGlyphs();
    return img;
}

QImage tinyFretGrid()
{
    static const QImage img = makeGrid(kTinyGrid, kTinyDiagramWidth, kTinyDiagramHeight);
    return img;
}

QImage tinyMarkGlyphs()
{
    static const QImage img = makeTinyMarkGlyphs();
    return img;
}

QFont diagramFont(int pixelSize)
{
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(pixelSize);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

int diagramRow(int fret, int baseFret)
{
    if (fret == 0)
        return 0;
    const int row = fret - baseFret + 1;
    return row >= 1 && row <= 6 ? row : -1;
}

namespace {

QPoint diagramTopLeft(pages::Page page, pages::Cell cell)
{
    const pages::PixelPoint o = pages::diagramOrigin(page, cell);
    return {o.x, o.y};
}

}  // namespace

QImage chordDiagramCell(const pages::DiagramRecord& chord, ChordDiagramStyle style, const fretboard::HandLayout& hand)
{
    QImage cell = smallFretGrid().copy();
    {
        QPainter p(&cell);
        const QImage glyphs = smallNumberGlyphs();
        for (size_t s = 0; s < 6; ++s) {
            const int row = diagramRow(chord.frets[s], chord.baseFret);
            if (row < 0)
                continue;
            copyGlyph(p, QPoint(hand.smallStringX[s], kSmallRowY[static_cast<size_t>(row)]), glyphs,
                      chordGlyph(chord.markers[s], style), kSmallGlyph);
        }
    }
    writeFretNumber(cell, kSmallFretNumberAt, chord.baseFret);
    return cell;
}

void drawChordDiagram(QPainter& p, const pages::DiagramRecord& chord, pages::Page page, pages::Cell cell,
                      const fretboard::HandLayout& hand)
{
    if (chord.isEmpty())
        return;
    const auto style = page == pages::Page::Print ? ChordDiagramStyle::PrintPage : ChordDiagramStyle::ChordPage;
    p.drawImage(diagramTopLeft(page, cell), chordDiagramCell(chord, style, hand));
}

QImage scaleDiagramCell(const pages::ScaleRecord& scale, int column, int span, const fretboard::HandLayout& hand)
{
    const int begin = scale.beginFret[static_cast<size_t>(std::clamp(column, 0, 5))];
    const int frets = theory::clampScaleSpan(span);
    // From the first fret the open strings are shown in row 0, so one fret row fewer fits.
    const int firstPosition = begin == 1 ? 0 : 1;
    const int lastPosition = begin == 1 ? frets - 1 : frets;

    const std::vector<int> notes = theory::scaleNotes(scale.intervals, scale.root);
    QImage cell = smallFretGrid().copy();
    {
        QPainter p(&cell);
        const QImage glyphs = smallMarkGlyphs();
        for (size_t s = 0; s < 6; ++s) {
            for (int k = firstPosition; k <= lastPosition; ++k) {
                const int note = (scale.tuning[s] + k + begin - 1) % 12;
                for (const int scaleNote : notes) {
                    if (note != scaleNote)
                        continue;
                    const int glyph = note == scale.root ? smallMark::kRoot
                                      : k == 0           ? smallMark::kOpen
                                                         : smallMark::kDot;
                    copyGlyph(p, QPoint(hand.smallStringX[s], kSmallRowY[static_cast<size_t>(k)]), glyphs, glyph,
                              kSmallGlyph);
                }
            }
        }
    }
    writeFretNumber(cell, kSmallFretNumberAt, begin);
    return cell;
}

void drawScaleDiagram(QPainter& p, const pages::ScaleRecord& scale, pages::Page page, pages::Cell cell, int span,
                      const fretboard::HandLayout& hand, bool paintBackground)
{
    if (scale.isEmpty())
        return;
    if (paintBackground) {
        const int x0 = pages::cellLeft(cell.column);
        const int y0 = pages::rowTop(page, cell.row);
        p.fillRect(QRect(QPoint(x0 + 1, y0 + 32), QPoint(x0 + 103, y0 + 153)), Qt::white);
    }
    p.drawImage(diagramTopLeft(page, cell), scaleDiagramCell(scale, cell.column, span, hand));
}

QImage tinyDiagram(const pages::DiagramRecord& chord, const fretboard::HandLayout& hand, bool designStrip)
{
    QImage cell = tinyFretGrid().copy();
    {
        QPainter p(&cell);
        const QImage glyphs = tinyMarkGlyphs();
        for (size_t s = 0; s < 6; ++s) {
            const int row = diagramRow(chord.frets[s], chord.baseFret);
            if (row < 0)
                continue;
            copyGlyph(p, QPoint(hand.tinyStringX[s], kTinyRowY[static_cast<size_t>(row)]), glyphs,
                      tinyGlyph(chord.markers[s]), kTinyGlyph);
        }
    }
    QPoint at = kTinyFretNumberAt;
    if (designStrip && chord.baseFret < 10)
        at.rx() += 1;
    writeFretNumber(cell, at, chord.baseFret);
    return cell;
}

bool hasFretAboveGrid(const pages::DiagramRecord& chord)
{
    return std::any_of(chord.frets.begin(), chord.frets.end(),
                       [&](std::uint8_t fret) { return fret != 0 && fret - chord.baseFret > 5; });
}

void drawDesignSlot(QPainter& p, const pages::DiagramRecord& chord, int slot, const theory::NoteNames& names,
                    const fretboard::HandLayout& hand, int fontPixelSize)
{
    const int left = slot * kDesignSlotWidth;
    p.save();
    p.fillRect(QRect(left, 0, kDesignSlotWidth, kDesignStripHeight), Qt::white);
    if (!chord.isEmpty()) {
        p.drawImage(QPoint(left, kDesignTinyTop), tinyDiagram(chord, hand, true));
        if (hasFretAboveGrid(chord))
            p.fillRect(QRect(left + kDesignLineFrom, kDesignLineY, kDesignLineTo - kDesignLineFrom, 1),
                       kOutOfRangeColour);
        p.setFont(diagramFont(fontPixelSize));
        p.setPen(Qt::black);
        p.setRenderHint(QPainter::TextAntialiasing, true);
        const auto lines = pages::designSlotLines(chord, names);
        for (size_t i = 0; i < lines.size(); ++i) {
            // Each line is cut to its own 10-pixel band of the column, within the caller's clip.
            const QRect band(left, static_cast<int>(i) * kDesignTextPitch, kDesignSlotWidth, kDesignTextPitch);
            p.save();
            p.setClipRect(band, Qt::IntersectClip);
            p.drawText(QRect(left + kDesignTextLeft, band.top(), 400, 40), Qt::AlignLeft | Qt::AlignTop,
                       QString::fromLatin1(lines[i].data(), static_cast<qsizetype>(lines[i].size())));
            p.restore();
        }
    }
    p.restore();
}

void drawPrintTextLines(QPainter& p, const pages::PrintRecord& print, pages::Cell cell,
                        const theory::NoteNames& names)
{
    if (print.isEmpty())
        return;
    p.save();
    p.setFont(diagramFont(kPrintFontPixelSize));
    p.setPen(Qt::black);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    const auto lines = pages::printTextLines(print, names);
    const int x = pages::cellLeft(cell.column);
    for (size_t i = 0; i < lines.size(); ++i) {
        const int y = pages::rowTop(pages::Page::Print, cell.row) + kPrintLineY[i];
        p.drawText(QRect(x, y, 400, 40), Qt::AlignLeft | Qt::AlignTop,
                   QString::fromLatin1(lines[i].data(), static_cast<qsizetype>(lines[i].size())));
    }
    p.restore();
}

}  // namespace strumox::pictures
