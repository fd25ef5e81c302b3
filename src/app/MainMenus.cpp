#include "app/MainMenus.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QUrl>

#include "playback/MidiClock.h"
#include "theory/ChordTypes.h"
#include "theory/ScaleTypes.h"

namespace strumox::app {

namespace {

QString fromView(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

QAction* disabledItem(QMenu* menu, const char* caption, const char* name)
{
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    a->setEnabled(false);
    return a;
}

}  // namespace

MainMenus::MainMenus(QMenuBar* bar, const theory::NoteNames& names, QWidget* window)
    : QObject(window), m_names(names), m_bar(bar)
{
    buildFileMenu(bar);
    buildChordMenus(bar);
    buildOptionsMenu(bar);
    buildHelpMenu(bar, window);
}

void MainMenus::buildFileMenu(QMenuBar* bar)
{
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("menuFile");
    m_mnuNew = file->addAction("&New Chord Page");
    m_mnuNew->setObjectName("mnuNew");
    connect(m_mnuNew, &QAction::triggered, this, &MainMenus::eraseRequested);
    auto item = [this, file](const QString& caption, const char* name, void (MainMenus::*signal)()) {
        QAction* a = file->addAction(caption);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, signal);
        return a;
    };
    m_mnuOpen = item("&Open...", "mnuOpen", &MainMenus::openRequested);
    m_mnuOpen->setShortcut(QKeySequence::Open);
    m_recent = file->addMenu("Open &Recent");
    m_recent->setObjectName("mnuOpenRecent");
    connect(m_recent, &QMenu::aboutToShow, this, [this] { emit recentMenuAboutToShow(m_recent); });
    m_mnuSave = item("&Save", "mnuSave", &MainMenus::saveRequested);
    m_mnuSave->setShortcut(QKeySequence::Save);
    m_mnuSaveAs = item("Save &As...", "mnuSaveAs", &MainMenus::saveAsRequested);
    file->addSeparator();
    m_mnuExportMidi = item("Export &MIDI...", "mnuExportMidi", &MainMenus::exportMidiRequested);
    m_mnuExportWav = item("Export &WAV...", "mnuExportWav", &MainMenus::exportWavRequested);
    setExportEnabled(false);
    file->addSeparator();
    disabledItem(file, "&Print Page...", "mnuPrint");
    file->addSeparator();
    auto* exit = file->addAction("E&xit");
    exit->setObjectName("mnuExit");
    connect(exit, &QAction::triggered, this, &MainMenus::exitRequested);
    connect(file, &QMenu::aboutToShow, this, &MainMenus::fileMenuAboutToShow);
}

void MainMenus::buildChordMenus(QMenuBar* bar)
{
    QMenu* keyMenu = bar->addMenu("&Key");
    keyMenu->setObjectName("menuKey");
    for (int k = 0; k < 12; ++k) {
        const QString name = QString::fromStdString(m_names.note(k));
        QAction* a = keyMenu->addAction(name);
        a->setObjectName(QStringLiteral("mnu") + name);
        connect(a, &QAction::triggered, this, [this, k] { emit keyChosen(k); });
        m_keyItems[static_cast<size_t>(k)] = a;
    }

    for (const auto& fam : theory::kFamilies) {
        QMenu* menu = bar->addMenu(fam.menuTitle);
        menu->setObjectName(QStringLiteral("menu") + fam.menuTitle);
        QMenu* more = menu->addMenu("More Chords...");
        for (int t = 0; t < fam.typeCount; ++t) {
            const QString caption = fromView(theory::kChordTypeCaptions[static_cast<size_t>(fam.firstFormula + t)]);
            QAction* a = t < fam.mainItems ? menu->addAction(caption) : more->addAction(caption);
            const int family = static_cast<int>(fam.family);
            connect(a, &QAction::triggered, this, [this, family, t, caption] { emit chordTypeChosen(family, t, caption); });
        }
    }

    QMenu* scale = bar->addMenu("&Scale");
    scale->setObjectName("menuScale");
    QMenu* moreScales = scale->addMenu("More Scales...");
    for (int i = 0; i < theory::kScaleCount; ++i) {
        const QString caption = fromView(theory::kScaleNames[static_cast<size_t>(i)]);
        QAction* a = i < theory::kScaleMainItems ? scale->addAction(caption) : moreScales->addAction(caption);
        connect(a, &QAction::triggered, this, [this, i, caption] { emit scaleChosen(i, caption); });
    }
}

void MainMenus::buildOptionsMenu(QMenuBar* bar)
{
    QMenu* options = bar->addMenu("&Options");
    options->setObjectName("menuOptions");
    m_mnuFlatSharp = options->addAction("Flats");
    m_mnuFlatSharp->setObjectName("mnuFlatSharp");
    m_mnuFlatSharp->setToolTip("Switch note names between flats and sharps");
    connect(m_mnuFlatSharp, &QAction::triggered, this, &MainMenus::flatSharpToggled);
    m_menuFlip = options->addAction("Flip");
    m_menuFlip->setObjectName("menuFlip");
    connect(m_menuFlip, &QAction::triggered, this, &MainMenus::flipToggled);
    options->addSeparator();
    QAction* tempo = options->addAction("Tempo...");
    tempo->setObjectName("mnuTempo");
    connect(tempo, &QAction::triggered, this, &MainMenus::tempoRequested);
    disabledItem(options, "Preferences...", "mnuPreferences");
    QAction* intCalc = options->addAction("Interval Calculator...");
    intCalc->setObjectName("mnuIntervalCalculator");
    connect(intCalc, &QAction::triggered, this, &MainMenus::intervalCalculatorRequested);
}

void MainMenus::buildHelpMenu(QMenuBar* bar, QWidget* window)
{
    m_help = bar->addMenu("&Help");
    m_help->setObjectName("menuHelp");
    disabledItem(m_help, "&Help Topics", "mnuHelpTopics");
    disabledItem(m_help, "Show Tips...", "mnuShowTips");
    m_help->addSeparator();
    auto* about = m_help->addAction("&About...");
    about->setObjectName("mnuAbout");
    connect(about, &QAction::triggered, window, [window] {
        // The clock's version: major in the high byte, minor (two digits) in the low one.
        const int clock = playback::MidiClock::kVersion;
        QMessageBox::about(window, "About Strumox",
                           QStringLiteral("Sound clock version: %1.%2\n\n"
                                          "                Strumox! version: %3\n\n"
                                          "Chords, scales, song sheets and tablature for guitarists.")
                               .arg(clock >> 8)
                               .arg(clock & 0xFF, 2, 10, QLatin1Char('0'))
                               .arg(QStringLiteral(STRUMOX_VERSION)));
    });
}

void MainMenus::addHelpAdditions(const std::vector<settings::WebSite>& sites, const QString& tutorialFolder)
{
    if (!sites.empty()) {
        QAction* sep = new QAction(m_help);
        sep->setSeparator(true);
        m_help->insertAction(m_help->actions().value(2), sep);
        auto* menu = new QMenu("Tab Web Sites...", m_help);
        menu->setObjectName("mnuTabSites");
        m_help->insertMenu(m_help->actions().value(3), menu);
        int n = 1;
        for (const auto& site : sites) {
            QAction* a = menu->addAction(QString::fromStdString(site.caption));
            a->setObjectName(QStringLiteral("mnuWebSite%1").arg(n++));
            const QString address = QString::fromStdString(site.address);
            a->setStatusTip(address);
            connect(a, &QAction::triggered, m_help, [address] { QDesktopServices::openUrl(QUrl::fromUserInput(address)); });
        }
    }
    const QStringList pages = QDir(tutorialFolder).entryList({"*.htm"}, QDir::Files, QDir::Name);
    if (pages.isEmpty())
        return;
    auto* tutorials = new QMenu("Tutorials...", m_help);
    tutorials->setObjectName("mnuTutorials");
    if (QAction* before = m_help->actions().value(4))
        m_help->insertMenu(before, tutorials);
    else
        m_help->addMenu(tutorials);  // a short menu: it goes last
    for (int i = 0; i < pages.size() && i < kMaxTutorialItems; ++i) {
        QAction* a = tutorials->addAction(QFileInfo(pages[i]).completeBaseName());
        a->setObjectName(QStringLiteral("mnuTutorial%1").arg(i));
        const QString path = tutorialFolder + pages[i];
        a->setStatusTip(path);
        connect(a, &QAction::triggered, m_help, [path] { QDesktopServices::openUrl(QUrl::fromLocalFile(path)); });
    }
}

void MainMenus::setNewCaption(const QString& caption)
{
    if (!caption.isEmpty())
        m_mnuNew->setText(caption);
}

void MainMenus::setEraseEnabled(bool enabled) { m_mnuNew->setEnabled(enabled); }

void MainMenus::setFileCommandsEnabled(bool enabled)
{
    for (QAction* a : {m_mnuOpen, m_mnuSave, m_mnuSaveAs})
        a->setEnabled(enabled);
}

void MainMenus::renameNotes()
{
    m_mnuFlatSharp->setText(QString::fromStdString(m_names.switchCaption()));
    for (int k = 0; k < 12; ++k)
        m_keyItems[static_cast<size_t>(k)]->setText(QString::fromStdString(m_names.note(k)));
}

void MainMenus::setAllEnabled(bool enabled)
{
    for (QAction* menu : m_bar->actions())
        menu->setEnabled(enabled);
}

void MainMenus::setExportEnabled(bool enabled)
{
    m_mnuExportMidi->setEnabled(enabled);
    m_mnuExportWav->setEnabled(enabled);
}

void MainMenus::setFlipped(bool flipped) { m_menuFlip->setChecked(flipped); }

}  // namespace strumox::app
