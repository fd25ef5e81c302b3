#pragma once
// Open, Save and Save As of the page files, the window title that names the active page's file,
// the last folder of each kind, and the files opened or saved lately (File > Open Recent). The
// pages read and write their own content; this decides which file, asks the questions and keeps
// the names.
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "pages/PageFiles.h"
#include "pages/PageGeometry.h"
#include "session/BusyGuard.h"
#include "session/Prompter.h"
#include "settings/Settings.h"

class QMenu;

namespace strumox::app {

class PageController;

inline constexpr int kRecentFileCount = 8;
inline constexpr const char* kRecentSection = "Recent";

class PageFileController : public QObject {
    Q_OBJECT
public:
    PageFileController(session::Prompter& prompter, const session::BusyGuard& busy, std::string appDir,
                       const settings::AppSettings& settings, QObject* parent = nullptr);

    // How the window's pages are found: the active one and each by its tab.
    std::function<pages::Page()> activePage;
    std::function<PageController&(pages::Page)> pageOf;

    // File Open, Save, Save As on the active page.
    void open();
    void save();
    void saveAs();
    // Writes `page` to its file, asking for a name when `ask` or when it has none; false when
    // the dialog was cancelled or the write failed (said in a message).
    bool savePage(pages::Page page, bool ask);
    // Opens `path` on `page` (a recent file, a file handed over): the page's question about its
    // unsaved work first; false when not opened.
    bool openOnPage(pages::Page page, const std::string& path, bool askFirst = true);
    // A file named on the command line or handed over by a second start. PlayPage files open on
    // the PlayPage without a question; other kinds are not opened this way.
    bool openByExtension(const std::string& path);

    // The active page was changed or erased: the title follows.
    void pageChanged();
    void pageErased(pages::Page page);
    QString title() const;
    const std::string& fileName(pages::Page page) const { return m_names[index(page)]; }
    std::string fullPath(pages::Page page) const;

    // The Open Recent submenu is filled from the settings file each time it opens.
    void fillRecentMenu(QMenu* menu);
    std::vector<std::string> recentFiles() const;

    void storeExitSettings(settings::AppSettings& s) const;

signals:
    void titleChanged(const QString& title);
    // A page file was opened or saved; the window may need to show that page's state.
    void pageOpened(pages::Page page);
    // The page was saved, opened or erased: what it holds may no longer be unsaved work.
    void pageSettled(pages::Page page);

private:
    static size_t index(pages::Page p) { return static_cast<size_t>(p); }
    std::string directoryOf(pages::Page page) const;
    void remember(pages::Page page, const std::string& path);
    void addRecent(const std::string& path);

    session::Prompter& m_prompter;
    const session::BusyGuard& m_busy;
    std::string m_appDir;
    std::array<std::string, pages::kPageCount> m_names;  // file name without folder, per page
    std::array<std::string, pages::kPageCount> m_dirs;   // folder without trailing separator
};

}  // namespace strumox::app
