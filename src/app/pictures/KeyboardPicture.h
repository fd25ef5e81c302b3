#pragma once
// The 281 x 18 five-octave keyboard below the fretboard, drawn at run time.
#include <QImage>

#include "fretboard/KeyboardScene.h"

class QPainter;

namespace strumox::pictures {

// Unmarked keyboard: 35 white keys of 8 px (a 1-px divider on each key's left, the closing
// divider at x = 280), black keys 5 px wide over rows 0..9, centred on the dividers.
QImage blankKeyboard();

// The blank keyboard, then a 3 x 3 mark on every marked key: green (0, 255, 0) for a scale
// note, red (255, 0, 0) for the root.
void paintKeyboard(QPainter& p, const fretboard::KeyboardScene& s);

// 281 x 18 image of the scene.
QImage renderKeyboard(const fretboard::KeyboardScene& s);

}  // namespace strumox::pictures
