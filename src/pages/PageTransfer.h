#pragma once
// What the Send and Move commands carry from one page to another, and which page waits for the
// click that places it.
#include <array>

#include "pages/DiagramRecord.h"
#include "pages/PageGeometry.h"
#include "pages/PrintRecord.h"

namespace strumox::pages {

enum class Placement { None, Place, Move };

struct PageTransfer {
    DiagramRecord pendingDiagram;  // to the Chord Design page or the PlayPage
    PrintRecord pendingPrint;      // to the Print page or the Scales page
    std::array<Placement, kPageCount> placement{};

    Placement mode(Page p) const { return placement[size_t(p)]; }
    void setMode(Page p, Placement m) { placement[size_t(p)] = m; }
};

}  // namespace strumox::pages
