#pragma once
// What the Help menu gains at start-up: the tab web sites of the settings file and the tutorial
// pages found beside the program.
#include <QString>
#include <vector>

#include "app/core/Settings.h"

class QMenu;

namespace strumox::ui {

constexpr int kMaxTutorialItems = 26;

// Inserts a separator at position 2 and "Tab Web Sites..." at position 3 when there are sites,
// and "Tutorials..." at position 4 when `tutorialFolder` holds *.htm pages (at most 26 items).
// Each item opens its address or page with the desktop's handler.
void addHelpMenuAdditions(QMenu* help, const std::vector<app::WebSite>& sites, const QString& tutorialFolder);

}  // namespace strumox::ui
