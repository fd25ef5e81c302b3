#include "ui/HelpMenu.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QUrl>

namespace strumox::ui {

void addHelpMenuAdditions(QMenu* help, const std::vector<app::WebSite>& sites, const QString& tutorialFolder)
{
    if (!sites.empty()) {
        QAction* sep = new QAction(help);
        sep->setSeparator(true);
        help->insertAction(help->actions().value(2), sep);
        auto* menu = new QMenu("Tab Web Sites...", help);
        menu->setObjectName("mnuTabSites");
        help->insertMenu(help->actions().value(3), menu);
        int n = 1;
        for (const auto& site : sites) {
            QAction* a = menu->addAction(QString::fromStdString(site.caption));
            a->setObjectName(QStringLiteral("mnuWebSite%1").arg(n++));
            const QString address = QString::fromStdString(site.address);
            a->setStatusTip(address);
            QObject::connect(a, &QAction::triggered, help,
                             [address] { QDesktopServices::openUrl(QUrl::fromUserInput(address)); });
        }
    }
    const QStringList pages = QDir(tutorialFolder).entryList({"*.htm"}, QDir::Files, QDir::Name);
    if (pages.isEmpty())
        return;
    auto* tutorials = new QMenu("Tutorials...", help);
    tutorials->setObjectName("mnuTutorials");
    if (QAction* before = help->actions().value(4))
        help->insertMenu(before, tutorials);
    else
        help->addMenu(tutorials);  // a short menu: it goes last
    for (int i = 0; i < pages.size() && i < kMaxTutorialItems; ++i) {
        QAction* a = tutorials->addAction(QFileInfo(pages[i]).completeBaseName());
        a->setObjectName(QStringLiteral("mnuTutorial%1").arg(i));
        const QString path = tutorialFolder + pages[i];
        a->setStatusTip(path);
        QObject::connect(a, &QAction::triggered, help, [path] { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
    }
}

}  // namespace strumox::ui
