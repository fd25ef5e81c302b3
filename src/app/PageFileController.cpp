#include "app/PageFileController.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "app/PageController.h"
#include "settings/IniFile.h"

namespace strumox::app {

using pages::Page;
using pages::PageFileKind;

namespace {

const QString kTitle = QStringLiteral("Strumox!");

// The settings folder entry each page keeps its last folder in.
std::optional<settings::PageDirIndex> dirIndexOf(Page page)
{
    switch (page) {
    case Page::Chords: return settings::kDirChord;
    case Page::ChordDesign: return settings::kDirDesign;
    case Page::PlayPage: return settings::kDirPlay;
    case Page::Print: return settings::kDirPrint;
    case Page::Scales: return settings::kDirScale;
    case Page::Tablature: return std::nullopt;
    }
    return std::nullopt;
}

std::optional<Page> pageOfKind(PageFileKind kind)
{
    switch (kind) {
    case PageFileKind::Chords: return Page::Chords;
    case PageFileKind::ChordDesign: return Page::ChordDesign;
    case PageFileKind::PlayPage: return Page::PlayPage;
    case PageFileKind::Print: return Page::Print;
    case PageFileKind::Scales: return Page::Scales;
    }
    return std::nullopt;
}

std::string nameOf(const std::string& path) { return std::filesystem::path(path).filename().string(); }
std::string folderOf(const std::string& path) { return std::filesystem::path(path).parent_path().string(); }

}  // namespace

PageFileController::PageFileController(session::Prompter& prompter, const session::BusyGuard& busy, std::string appDir,
                                       const settings::AppSettings& settings, QObject* parent)
    : QObject(parent), m_prompter(prompter), m_busy(busy), m_appDir(std::move(appDir))
{
    for (int p = 0; p < pages::kPageCount; ++p)
        if (const auto i = dirIndexOf(static_cast<Page>(p)))
            m_dirs[static_cast<size_t>(p)] = settings.pageDirs[*i];
}

std::string PageFileController::directoryOf(Page page) const
{
    // The remembered folder may be gone (or never made, as the program's own defaults are): the
    // dialogs then start in the user's home instead of proposing the folder's name as a file.
    std::error_code ec;
    const std::string& dir = m_dirs[index(page)];
    if (!dir.empty() && std::filesystem::is_directory(dir, ec))
        return dir;
    return QDir::homePath().toStdString();
}

std::string PageFileController::fullPath(Page page) const
{
    if (m_names[index(page)].empty())
        return {};
    return (std::filesystem::path(m_dirs[index(page)]) / m_names[index(page)]).string();
}

void PageFileController::remember(Page page, const std::string& path)
{
    m_names[index(page)] = nameOf(path);
    m_dirs[index(page)] = folderOf(path);
    addRecent(path);
}

QString PageFileController::title() const
{
    const Page page = activePage();
    const std::string suffix = pageOf(page).titleSuffix();
    return kTitle + "   " + QString::fromStdString(m_names[index(page)] + suffix);
}

void PageFileController::pageChanged() { emit titleChanged(title()); }

void PageFileController::pageErased(Page page)
{
    m_names[index(page)].clear();
    if (page == activePage())
        emit titleChanged(kTitle);
    emit pageSettled(page);
}

bool PageFileController::savePage(Page page, bool ask)
{
    PageController& controller = pageOf(page);
    const auto kind = controller.fileKind();
    if (!kind)
        return false;
    const pages::PageFileDialogTexts& texts = pages::pageFileTexts(*kind);
    std::string path = fullPath(page);
    if (ask || path.empty()) {
        const std::string start = path.empty() ? directoryOf(page) + "/" : path;
        path = m_prompter.saveFileName(texts.saveTitle, start, texts.saveFilter);
        if (path.empty())
            return false;
        // The kind's extension when the name was typed without one.
        if (std::filesystem::path(path).extension().empty())
            path += "." + texts.defaultExtension;
    }
    try {
        controller.writeFile(path);
    } catch (const std::exception& e) {
        // The old file is still there and the page keeps its changes.
        m_prompter.message(e.what());
        return false;
    }
    remember(page, path);
    controller.fileSaved(path);
    if (page == activePage())
        emit titleChanged(title());
    emit pageSettled(page);
    return true;
}

bool PageFileController::openOnPage(Page page, const std::string& path, bool askFirst)
{
    PageController& controller = pageOf(page);
    if (askFirst && controller.unsavedWork()) {
        const auto answer = m_prompter.askYesNoCancel(controller.openQuestion());
        if (answer == session::Answer::Cancel)
            return false;
        if (answer == session::Answer::Yes && !savePage(page, false))
            return false;
    }
    std::string error;
    if (!controller.readFile(path, &error)) {
        m_prompter.message(error);
        return false;
    }
    remember(page, path);
    emit pageOpened(page);
    if (page == activePage())
        emit titleChanged(title());
    emit pageSettled(page);
    return true;
}

void PageFileController::open()
{
    if (m_busy.holds())
        return;
    const Page page = activePage();
    PageController& controller = pageOf(page);
    const auto kind = controller.fileKind();
    if (!kind)
        return;
    // The question about unsaved work comes before the dialog, as the page would lose it.
    if (controller.unsavedWork()) {
        const auto answer = m_prompter.askYesNoCancel(controller.openQuestion());
        if (answer == session::Answer::Cancel)
            return;
        if (answer == session::Answer::Yes && !savePage(page, false))
            return;
    }
    const pages::PageFileDialogTexts& texts = pages::pageFileTexts(*kind);
    const std::string path = m_prompter.openFileName(texts.openTitle, directoryOf(page), texts.openFilter);
    if (path.empty())
        return;
    openOnPage(page, path, false);
}

void PageFileController::save()
{
    if (!m_busy.holds())
        savePage(activePage(), false);
}

void PageFileController::saveAs()
{
    if (!m_busy.holds())
        savePage(activePage(), true);
}

bool PageFileController::openByExtension(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return false;
    const auto kind = pages::pageFileKindOf(path);
    if (!kind || *kind != PageFileKind::PlayPage)
        return false;
    // A file handed to the program opens at once: unsaved PlayPage work is not asked about.
    return openOnPage(Page::PlayPage, path, false);
}

void PageFileController::addRecent(const std::string& path)
{
    const std::string absolute = std::filesystem::absolute(path).lexically_normal().string();
    std::vector<std::string> list = recentFiles();
    list.erase(std::remove(list.begin(), list.end(), absolute), list.end());
    list.insert(list.begin(), absolute);
    list.resize(std::min<size_t>(list.size(), kRecentFileCount));
    try {
        settings::IniFile ini(settings::settingsFilePath(m_appDir));
        for (int i = 0; i < kRecentFileCount; ++i) {
            const std::string key = "File" + std::to_string(i + 1);
            ini.writeString(kRecentSection, key, i < static_cast<int>(list.size()) ? list[static_cast<size_t>(i)] : "");
        }
        ini.commit();
    } catch (const std::exception&) {
        // The list is a convenience: a settings file that cannot be written keeps the old one.
    }
}

std::vector<std::string> PageFileController::recentFiles() const
{
    std::vector<std::string> list;
    const settings::IniFile ini(settings::settingsFilePath(m_appDir));
    for (int i = 0; i < kRecentFileCount; ++i) {
        const std::string path = ini.readString(kRecentSection, "File" + std::to_string(i + 1), "");
        if (!path.empty() && std::find(list.begin(), list.end(), path) == list.end())
            list.push_back(path);
    }
    return list;
}

void PageFileController::fillRecentMenu(QMenu* menu)
{
    menu->clear();
    const std::vector<std::string> files = recentFiles();
    if (files.empty()) {
        menu->addAction("(none)")->setEnabled(false);
        return;
    }
    int n = 0;
    for (const std::string& path : files) {
        const QString shown = QString::fromStdString(path);
        QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(++n).arg(shown));
        a->setObjectName(QStringLiteral("mnuRecent%1").arg(n));
        const auto kind = pages::pageFileKindOf(path);
        std::error_code ec;
        // A file that is gone, or of a kind these pages do not open, is shown greyed.
        a->setEnabled(kind && std::filesystem::is_regular_file(path, ec));
        if (!kind)
            continue;
        connect(a, &QAction::triggered, this, [this, path, kind] {
            if (m_busy.holds())
                return;
            const Page page = *pageOfKind(*kind);
            openOnPage(page, path);
        });
    }
}

void PageFileController::storeExitSettings(settings::AppSettings& s) const
{
    for (int p = 0; p < pages::kPageCount; ++p)
        if (const auto i = dirIndexOf(static_cast<Page>(p)))
            s.pageDirs[*i] = m_dirs[static_cast<size_t>(p)];
}

}  // namespace strumox::app
