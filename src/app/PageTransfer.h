#pragma once
// What the Send and Move commands carry from one page to another, and which page waits for the
// click that places it.
#include <array>

#include "app/Pages.h"
#include "pages/DiagramRecord.h"
#include "pages/GridPages.h"
#include "pages/ScaleRecord.h"

namespace strumox::app {

enum class Placement { None, Place, Move };

struct PageTransfer {
    pages::DiagramRecord pendingDiagram;  // to the Chord Design page or the PlayPage
    pages::PrintRecord pendingPrint;      // to the Print page or the Scales page
    std::array<Placement, kPageCount> placement{};

    Placement mode(Page p) const { return placement[size_t(p)]; }
    void setMode(Page p, Placement m) { placement[size_t(p)] = m; }
};

}  // namespace strumox::app
