#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QStatusBar>
#include <QStyleFactory>
#include <QStyleOptionFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <set>

#include <sys/stat.h>

#include "ScriptedPrompter.h"
#include "app/BlankPageController.h"
#include "app/PlayPageController.h"
#include "app/DesignPageController.h"
#include "app/DesignPageView.h"
#include "app/MainMenus.h"
#include "app/FretboardController.h"
#include "app/FretboardPanel.h"
#include "app/MainToolbar.h"
#include "app/PictureWidget.h"
#include "app/QtPrompter.h"
#include "app/Startup.h"
#include "app/TdlgBeginFret.h"
#include "app/TfrmMain.h"
#include "app/UpDown.h"
#include "fretboard/FretboardGeometry.h"

using namespace strumox;
using namespace strumox::app;
using namespace strumox::fretboard;
using pages::Page;
using session::Answer;

namespace {

// Centre of the marker cell of (string, fret) on the picture, for either hand.
QPoint cellCentre(int string, int fret, bool leftHanded)
{
    const HandLayout h = HandLayout::forHand(leftHanded);
    // The left-handed nut marker reaches past the counting area's right edge (744).
    const int x = std::min(h.fretX[static_cast<size_t>(fret)] + 6, 740);
    return {x, kStringTop[static_cast<size_t>(string)] + 6};
}

// Clicks of one arrow of an up-down: each a press and the release that completes it.
[[nodiscard]] bool clickArrow(UpDown* ud, bool up, int times = 1)
{
    auto* arrow = ud->findChild<QToolButton*>(up ? "btnUp" : "btnDown");
    if (!arrow || !arrow->isVisible())
        return false;
    for (int i = 0; i < times; ++i) {
        QTest::mousePress(arrow, Qt::LeftButton);
        QTest::mouseRelease(arrow, Qt::LeftButton);
    }
    return true;
}

// An arrow held down long enough to repeat, then let go.
[[nodiscard]] bool holdArrow(UpDown* ud, bool up, int ms)
{
    auto* arrow = ud->findChild<QToolButton*>(up ? "btnUp" : "btnDown");
    if (!arrow || !arrow->isVisible())
        return false;
    QTest::mousePress(arrow, Qt::LeftButton);
    QTest::qWait(ms);
    QTest::mouseRelease(arrow, Qt::LeftButton);
    return true;
}

// The title the window system shows for a window titled `title`. The X11 and Windows platforms
// of the toolkit append an em dash and the application display name to every top-level title
// that does not already end with it, once a display name has been set; offscreen shows titles as
// they are, so the rule is applied here. Whether a display name was set is probed by renaming the
// application: an unset display name follows the application name.
QString shownTitle(const QString& title)
{
    const QString name = QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(QStringLiteral("probe-%1").arg(name));
    const bool displayNameSet = QGuiApplication::applicationDisplayName() != QCoreApplication::applicationName();
    QCoreApplication::setApplicationName(name);
    const QString displayName = QGuiApplication::applicationDisplayName();
    if (!displayNameSet || title.endsWith(displayName))
        return title;
    return title + QString::fromUtf8(" \u2014 ") + displayName;
}

// How far apart the average colours of two pictures are, per colour channel, 0..255. Averages,
// not pixels, so that a halftone pattern reads as the shade it gives.
double averageColourDistance(const QImage& a, const QImage& b)
{
    auto average = [](const QImage& image) {
        const QImage x = image.convertToFormat(QImage::Format_RGB32);
        std::array<double, 3> sum{};
        for (int r = 0; r < x.height(); ++r)
            for (int c = 0; c < x.width(); ++c) {
                const QRgb p = x.pixel(c, r);
                sum[0] += qRed(p);
                sum[1] += qGreen(p);
                sum[2] += qBlue(p);
            }
        for (double& v : sum)
            v /= double(x.width()) * x.height();
        return sum;
    };
    if (a.isNull() || b.isNull())
        return -1;
    const auto x = average(a), y = average(b);
    return (std::abs(x[0] - y[0]) + std::abs(x[1] - y[1]) + std::abs(x[2] - y[2])) / 3.0;
}

// Where a widget sits in its window.
QRect inWindow(const QWidget* w) { return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size()); }

// A click on the page control's tab, as the user changes pages.
[[nodiscard]] bool clickTab(TfrmMain& w, Page page)
{
    QTabBar* bar = w.findChild<QTabWidget*>("PageControl1")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(static_cast<int>(page)).center());
    return w.activePage() == page;
}

// Clicks into a field, selects what it holds and types over it (an empty text deletes it).
void typeInto(QLineEdit* field, const QString& text)
{
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClicks(field, text);
}

// Leaves a field with the Tab key; false when the focus stayed.
[[nodiscard]] bool tabAway(QLineEdit* field)
{
    QTest::keyClick(field, Qt::Key_Tab);
    return QApplication::focusWidget() != field;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::string appDir() const { return m_dir.path().toStdString() + "/"; }

    std::unique_ptr<TfrmMain> makeWindow(testsupport::ScriptedPrompter& prompter)
    {
        auto w = std::make_unique<TfrmMain>(appDir(), &prompter);
        w->show();
        return w;
    }

    // Focus moves and focus-out events need the window active.
    std::unique_ptr<TfrmMain> makeActiveWindow(testsupport::ScriptedPrompter& prompter)
    {
        auto w = makeWindow(prompter);
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w.get()))
            return nullptr;
        return w;
    }

    QAction* menuItem(TfrmMain& w, const char* name) { return w.menuBar()->findChild<QAction*>(name); }

    QStringList fretBoxes(TfrmMain& w)
    {
        QStringList out;
        for (auto* e : w.designPage().designView().editTab)
            out << e->text();
        return out;
    }

    void click(TfrmMain& w, int string, int fret, Qt::MouseButton button = Qt::LeftButton)
    {
        PictureWidget* pic = w.fretboardPanel().imgFretboard;
        const QPoint pt = cellCentre(string, fret, w.fretboard().leftHanded());
        QTest::mouseMove(pic, pt);
        QTest::mouseClick(pic, button, Qt::NoModifier, pt);
    }

    QStringList intervalCaptions(TfrmMain& w)
    {
        QStringList out;
        for (auto* e : w.fretboardPanel().editIntervals)
            out << e->text();
        return out;
    }

    // Frets a C major chord: x 3 2 0 1 0, root C by a right click on the A string.
    void fretCMajor(TfrmMain& w)
    {
        click(w, 4, 3, Qt::RightButton);
        click(w, 3, 2);
        click(w, 2, 0);  // muted at start: a nut click opens it
        click(w, 1, 1);
        click(w, 0, 0);
    }

private slots:
    // --- window parts ---------------------------------------------------------------------
    void pagesAndMenusCarryTheirNames()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        auto* pages = w->findChild<QTabWidget*>("PageControl1");
        QVERIFY(pages);
        const QStringList expected{"pageChords", "pageChordDesign", "pagePlayPage", "pagePrint", "pageScales",
                                   "pageTablature"};
        QCOMPARE(pages->count(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(pages->widget(i)->objectName(), expected[i]);
        QCOMPARE(pages->currentIndex(), 0);
        QCOMPARE(w->menus().mnuFlatSharp()->text(), QString("Flats"));
        QStringList menus;
        for (QAction* a : w->menuBar()->actions())
            menus << a->text().remove('&');
        QCOMPARE(menus, (QStringList{"File", "Key", "Major", "Minor", "Dominant", "Scale", "Options", "Help"}));
        // The tuning up-downs are off on the Chords page, on for Chord Design.
        QVERIFY(!w->fretboardPanel().upDown[0]->isEnabled());
        QVERIFY(clickTab(*w, Page::ChordDesign));
        QVERIFY(w->fretboardPanel().upDown[0]->isEnabled());
    }

    void titlesShowAsTheProgramSetsThem()
    {
        // The program's own start-up settings, put back afterwards for the other cases.
        struct Restore {
            QFont font = QApplication::font();
            QString style = QApplication::style()->name();
            ~Restore()
            {
                QApplication::setFont(font);
                QApplication::setStyle(QStyleFactory::create(style));
            }
        } restore;
        configureApplication(*qobject_cast<QApplication*>(QCoreApplication::instance()));
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QCOMPARE(shownTitle(w->windowTitle()), QString("Strumox!"));
        QVERIFY(clickTab(*w, Page::ChordDesign));
        QCOMPARE(shownTitle(w->windowTitle()), QString("Strumox!   "));
        QCOMPARE(shownTitle(w->windowHandle()->title()), QString("Strumox!   "));
        QCOMPARE(shownTitle(w->beginFretDialog().windowTitle()), QString("Change Beginning Fret"));

        // A question box of the real prompter, read while it is up and answered with Escape.
        QtPrompter boxes(w.get());
        QString boxTitle;
        QTimer::singleShot(0, [&boxTitle] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box)
                return;
            boxTitle = shownTitle(box->windowTitle());
            QTest::keyClick(box, Qt::Key_Escape);
        });
        boxes.message("A message");
        QCOMPARE(boxTitle, QString("Strumox"));
    }

    void aStatusMessageNeverMovesTheFretboardPanel()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        FretboardPanel& p = w->fretboardPanel();
        auto* pages = w->findChild<QTabWidget*>("PageControl1");
        const QRect panel = inWindow(&p), picture = inWindow(p.imgFretboard), pageControl = inWindow(pages);

        // A file handed over that cannot be opened yet: its message times out after a while.
        w->openDocument("/nowhere/song.ppf");
        QTest::qWait(50);  // the layout answers a new child on its next turn
        QCOMPARE(inWindow(&p), panel);
        QCOMPARE(inWindow(p.imgFretboard), picture);
        QCOMPARE(inWindow(pages), pageControl);
        QVERIFY(w->statusBar()->isVisible());
        QVERIFY(!w->statusBar()->currentMessage().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(w->statusBar()->currentMessage().isEmpty(), 12000);
        QCOMPARE(inWindow(&p), panel);
        QCOMPARE(inWindow(pages), pageControl);
        w->openDocument("/nowhere/riff.tab");
        QTest::qWait(50);
        QVERIFY(!w->statusBar()->currentMessage().isEmpty());
        QCOMPARE(inWindow(&p), panel);
        QCOMPARE(inWindow(p.imgFretboard), picture);
        QCOMPARE(inWindow(pages), pageControl);
    }

    void aToggleThatIsDownLooksDown_data()
    {
        QTest::addColumn<QString>("style");
        for (const QString& key : QStyleFactory::keys())
            QTest::newRow(qPrintable(key)) << key;
    }

    void aToggleThatIsDownLooksDown()
    {
        QFETCH(QString, style);
        const QString before = QApplication::style()->name();
        QApplication::setStyle(QStyleFactory::create(style));
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        FretboardPanel& p = w->fretboardPanel();
        for (QToolButton* b : {p.sbShowArp, p.sbtnShowFullScale, p.sbtnLeftHanded, p.sbtnFlip, p.sbtnBassNote}) {
            const QString caption = b->text();
            QTest::mouseMove(w.get(), QPoint(1, 1));  // no hover highlight in either picture
            const QImage up = b->grab().toImage();
            QTest::mouseClick(b, Qt::LeftButton);
            QVERIFY(b->isChecked());
            QTest::mouseMove(w.get(), QPoint(1, 1));
            const QImage down = b->grab().toImage();
            const double difference = averageColourDistance(up, down);
            QVERIFY2(difference > 60, qPrintable(QStringLiteral("%1: %2").arg(b->objectName()).arg(difference)));
            QCOMPARE(b->text(), caption);
            QTest::mouseClick(b, Qt::LeftButton);
            QVERIFY(!b->isChecked());
        }
        w.reset();
        QApplication::setStyle(QStyleFactory::create(before));
    }

    void tuningArrowsAreEasyToHitAndLeaveThePictureInPlace()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        FretboardPanel& p = w->fretboardPanel();
        QCOMPARE(p.imgFretboard->geometry(), QRect(FretboardPanel::kPictureLeft, 0, kFretboardWidth, kFretboardHeight));

        std::vector<std::pair<QString, QRect>> parts;  // in panel pixels
        for (size_t s = 0; s < 6; ++s) {
            parts.emplace_back(p.editString[s]->objectName(), p.editString[s]->geometry());
            for (const char* name : {"btnUp", "btnDown"}) {
                auto* arrow = p.upDown[s]->findChild<QToolButton*>(name);
                QVERIFY(arrow);
                QVERIFY2(arrow->width() >= 16 && arrow->height() >= 11,
                         qPrintable(QStringLiteral("string %1 %2: %3 x %4").arg(s).arg(name).arg(arrow->width()).arg(arrow->height())));
                parts.emplace_back(QStringLiteral("string %1 %2").arg(s).arg(name), QRect(arrow->mapTo(&p, QPoint(0, 0)), arrow->size()));
            }
        }
        parts.emplace_back("picture", p.imgFretboard->geometry());
        for (size_t i = 0; i < parts.size(); ++i) {
            QVERIFY2(p.rect().contains(parts[i].second), qPrintable(parts[i].first));
            for (size_t j = i + 1; j < parts.size(); ++j)
                QVERIFY2(!parts[i].second.intersects(parts[j].second),
                         qPrintable(parts[i].first + " overlaps " + parts[j].first));
        }

        // Every open-string name, in either spelling, fits its field without scrolling.
        QLineEdit* field = p.editString[0];
        QStyleOptionFrame opt;
        opt.initFrom(field);
        opt.rect = field->rect();
        opt.lineWidth = field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, field);
        const int room = field->style()->subElementRect(QStyle::SE_LineEditContents, &opt, field).width() - 4;
        theory::NoteNames names;
        for (int spelling = 0; spelling < 2; ++spelling, names.toggle())
            for (int midi = theory::kLowestOpenNote; midi <= theory::kHighestOpenNote; ++midi) {
                const QString name = QString::fromStdString(names.octaveName(midi));
                QVERIFY2(field->fontMetrics().horizontalAdvance(name) <= room, qPrintable(name));
            }

        // The tempo arrows in the toolbar too.
        auto* tempo = w->findChild<UpDown*>("UpDownTempo");
        QVERIFY(tempo);
        for (const char* name : {"btnUp", "btnDown"}) {
            auto* arrow = tempo->findChild<QToolButton*>(name);
            QVERIFY(arrow->width() >= 16 && arrow->height() >= 11);
        }
    }

    void windowPlacementFollowsScreenSize()
    {
        QVERIFY(TfrmMain::shouldMaximise(QSize(1024, 768)));
        QVERIFY(TfrmMain::shouldMaximise(QSize(800, 600)));
        QVERIFY(!TfrmMain::shouldMaximise(QSize(1280, 1024)));
        QVERIFY(!TfrmMain::shouldMaximise(QSize(1024, 769)));
        QVERIFY(!TfrmMain::shouldMaximise(QSize(1025, 768)));
    }

    void helpMenuGainsWebSitesAndAtMost26Tutorials()
    {
        QTemporaryDir dir;
        QFile ini(dir.filePath("Kq.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[WebSites]\nNumber=2\n1=Lessons\n1A=https://example.org/lessons\n2=Local page\n2A=/tmp/page.htm\n");
        ini.close();
        QVERIFY(QDir(dir.path()).mkdir("KQ65 Tutorials"));
        for (int i = 0; i < 27; ++i) {
            QFile page(dir.filePath(QStringLiteral("KQ65 Tutorials/lesson%1.htm").arg(i, 2, 10, QChar('0'))));
            QVERIFY(page.open(QIODevice::WriteOnly));
        }
        testsupport::ScriptedPrompter prompter;
        TfrmMain w(dir.path().toStdString() + "/", &prompter);
        const QList<QAction*> items = w.menus().helpMenu()->actions();
        QVERIFY(items.size() >= 6);
        QVERIFY(items[2]->isSeparator());
        QCOMPARE(items[3]->text(), QString("Tab Web Sites..."));
        QMenu* sites = items[3]->menu();
        QVERIFY(sites);
        QCOMPARE(sites->actions().size(), 2);
        QCOMPARE(sites->actions()[1]->text(), QString("Local page"));
        QCOMPARE(sites->actions()[1]->statusTip(), QString("/tmp/page.htm"));
        QCOMPARE(items[4]->text(), QString("Tutorials..."));
        QMenu* tutorials = items[4]->menu();
        QCOMPARE(tutorials->actions().size(), 26);
        QCOMPARE(tutorials->actions()[0]->text(), QString("lesson00"));
        QVERIFY(w.close());
    }

    // --- fingering editor on the picture ---------------------------------------------------
    void frettingOnTheDesignPageBuildsTheChord_data()
    {
        QTest::addColumn<bool>("leftHanded");
        QTest::newRow("right-handed") << false;
        QTest::newRow("left-handed") << true;
    }

    void frettingOnTheDesignPageBuildsTheChord()
    {
        QFETCH(bool, leftHanded);
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        if (leftHanded)
            QTest::mouseClick(w->fretboardPanel().sbtnLeftHanded, Qt::LeftButton);
        QCOMPARE(w->fretboard().leftHanded(), leftHanded);
        QVERIFY(clickTab(*w, Page::ChordDesign));
        fretCMajor(*w);

        const pages::DiagramRecord& d = w->designPage().work();
        QCOMPARE(d.root, std::uint8_t(0));
        QCOMPARE(d.bass, std::uint8_t(24));
        const std::array<std::uint8_t, 6> frets{0, 1, 0, 2, 3, 0};
        const std::array<std::uint8_t, 6> markers{0, 6, 0, 6, 6, 5};
        const std::array<std::uint8_t, 6> sounding{64, 60, 55, 52, 48, 0};
        QVERIFY(d.frets == frets);
        QVERIFY(d.markers == markers);
        QVERIFY(d.sounding == sounding);
        QCOMPARE(d.intervals[0], std::uint8_t(0));
        QCOMPARE(d.intervals[1], std::uint8_t(4));
        QCOMPARE(d.intervals[2], std::uint8_t(7));
        QCOMPARE(d.intervals[3], std::uint8_t(255));
        QCOMPARE(d.baseFret, std::uint8_t(1));
        QCOMPARE(QString::fromStdString(d.formula), QString("1 3 5     "));  // seven captions, each with its blank

        FretboardPanel& p = w->fretboardPanel();
        QCOMPARE(p.editNotes->text(), QString(" C E G"));
        QCOMPARE(intervalCaptions(*w), (QStringList{"1", "3", "5", "", "", "", "", ""}));
        QCOMPARE(p.editIntervals[1]->property("tag").toInt(), 4);
        QCOMPARE(p.editChordNameUser->text(), QString("C "));
        QCOMPARE(p.editTuningName->text(), QString("Standard"));
        DesignPageView& design = w->designPage().designView();
        QCOMPARE(design.editRoot->text(), QString("C"));
        QCOMPARE(design.editBass->text(), QString("C"));
        const QStringList boxes{"0", "1", "0", "2", "3", ""};
        for (int s = 0; s < 6; ++s)
            QCOMPARE(design.editTab[static_cast<size_t>(s)]->text(), boxes[s]);

        // The picture shows the glyphs where the hand puts them: the root glyph on the A string.
        const FretboardScene& scene = w->fretboard().display().scene();
        QCOMPARE(scene.leftHanded, leftHanded);
        QCOMPARE(int(scene.glyphs.size()), 6);
        QCOMPARE(scene.glyphs[4].fret, 3);
        QCOMPARE(scene.glyphs[4].cellX, glyphCellX(6, true));
        QCOMPARE(scene.glyphs[5].cellX, glyphCellX(5, false));
    }

    void showingTheWorkChordAgainKeepsItsIntervalText()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(clickTab(*w, Page::ChordDesign));
        fretCMajor(*w);
        w->designPage().work().formula = "1 3 5";  // as a dictionary chord carries it
        QVERIFY(clickTab(*w, Page::Chords));
        QVERIFY(clickTab(*w, Page::ChordDesign));
        QCOMPARE(QString::fromStdString(w->designPage().work().formula), QString("1 3 5"));
        click(*w, 0, 3);  // an edit writes the fields' text again
        QCOMPARE(QString::fromStdString(w->designPage().work().formula), QString("1 3 5     "));
    }

    void hoverNamesTheNoteAndItsInterval()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(clickTab(*w, Page::ChordDesign));
        fretCMajor(*w);
        PictureWidget* pic = w->fretboardPanel().imgFretboard;
        // High E string, fret 2: F#, a tritone above C.
        QTest::mouseMove(pic, cellCentre(0, 2, false));
        QCOMPARE(w->fretboardPanel().pnlNote->text(), QString("Gb"));
        QCOMPARE(w->fretboardPanel().pnlInterval->text(), QString("b5 / #11"));
        QTest::mouseMove(pic, QPoint(2, 60));  // left of the counting area
        QCOMPARE(w->fretboardPanel().pnlNote->text(), QString());
    }

    void clicksOffTheDesignPageChangeNothing()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        click(*w, 4, 3);
        QVERIFY(w->designPage().work() == pages::DiagramRecord::blankWork());
    }

    void pressesCountOnlyInsideTheCountingArea_data()
    {
        QTest::addColumn<bool>("leftHanded");
        QTest::addColumn<int>("fretAtLeftEdge");
        QTest::addColumn<int>("fretAtRightEdge");
        QTest::newRow("right-handed") << false << 0 << 22;
        QTest::newRow("left-handed") << true << 22 << 0;
    }

    void pressesCountOnlyInsideTheCountingArea()
    {
        QFETCH(bool, leftHanded);
        QFETCH(int, fretAtLeftEdge);
        QFETCH(int, fretAtRightEdge);
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        if (leftHanded)
            QTest::mouseClick(w->fretboardPanel().sbtnLeftHanded, Qt::LeftButton);
        QVERIFY(clickTab(*w, Page::ChordDesign));
        PictureWidget* pic = w->fretboardPanel().imgFretboard;
        auto pressAt = [pic](QPoint pt, Qt::MouseButton button) {
            QTest::mousePress(pic, button, Qt::NoModifier, pt);
            QTest::mouseRelease(pic, button, Qt::NoModifier, pt);
        };

        // Just outside each edge of the area: left, right, above the top string, below the bottom.
        for (const QPoint pt : {QPoint(3, 50), QPoint(746, 50), QPoint(300, 7), QPoint(300, 108)}) {
            for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
                pressAt(pt, button);
                QVERIFY2(w->designPage().work() == pages::DiagramRecord::blankWork(),
                         qPrintable(QStringLiteral("(%1, %2)").arg(pt.x()).arg(pt.y())));
            }
        }
        QCOMPARE(fretBoxes(*w), (QStringList{"", "", "", "", "", ""}));
        QCOMPARE(w->designPage().designView().editRoot->text(), QString("C"));

        // The edges themselves count: the G string's row at x = 5, the A string's at x = 744.
        const int gRow = kStringTop[2] + 6;
        const int aRow = kStringTop[4] + 6;
        pressAt(QPoint(5, gRow), Qt::LeftButton);
        pressAt(QPoint(744, aRow), Qt::LeftButton);
        const pages::DiagramRecord& d = w->designPage().work();
        QCOMPARE(int(d.frets[2]), fretAtLeftEdge);
        QCOMPARE(int(d.sounding[2]), 55 + fretAtLeftEdge);
        QCOMPARE(int(d.frets[4]), fretAtRightEdge);
        QCOMPARE(int(d.sounding[4]), 45 + fretAtRightEdge);
        QCOMPARE(int(d.markers[0]), 5);  // the other strings stay muted
    }

    void rightClickAtTheNutMakesTheStringOpenAndTheRoot()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(clickTab(*w, Page::ChordDesign));
        click(*w, 3, 0, Qt::RightButton);  // open D string
        const auto& d = w->designPage().work();
        QCOMPARE(d.markers[3], std::uint8_t(0));
        QCOMPARE(d.root, std::uint8_t(2));
        QCOMPARE(w->fretboardPanel().pnlInterval->text(), QString("1"));
        QCOMPARE(w->designPage().designView().editRoot->text(), QString("D"));
    }

    void rootAndBassControlsNameTheSlashChord()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeActiveWindow(prompter);
        QVERIFY(w);
        QVERIFY(clickTab(*w, Page::ChordDesign));
        fretCMajor(*w);
        DesignPageView& design = w->designPage().designView();
        QLineEdit* name = w->fretboardPanel().editChordNameUser;
        const pages::DiagramRecord& d = w->designPage().work();

        QVERIFY(clickArrow(design.udBass, true, 4));  // C -> E
        QCOMPARE(name->text(), QString("C  /E"));
        QCOMPARE(design.editBass->text(), QString("E"));
        QCOMPARE(d.bass, std::uint8_t(4 + 24));
        QCOMPARE(design.editRoot->text(), QString("C"));
        QCOMPARE(d.root, std::uint8_t(0));

        // A new root takes the bass with it, wrapping below C.
        QVERIFY(clickArrow(design.udRoot, false, 3));  // C -> B -> Bb -> A
        QCOMPARE(design.editRoot->text(), QString("A"));
        QCOMPARE(design.editBass->text(), QString("A"));
        QCOMPARE(d.root, std::uint8_t(9));
        QCOMPARE(d.bass, std::uint8_t(9 + 24));
        QVERIFY(clickArrow(design.udBass, true, 3));  // A -> C
        QCOMPARE(name->text(), QString("A  /C"));
        QCOMPARE(d.bass, std::uint8_t(0 + 24));
        QVERIFY(clickArrow(design.udBass, false, 3));  // back on the root: no slash
        QCOMPARE(name->text(), QString("A "));

        // Typing a name sets the suffix only: root, bass and frets stay.
        const auto frets = d.frets;
        typeInto(name, "Cmaj7/E");
        QTest::mouseClick(w->fretboardPanel().editTuningName, Qt::LeftButton);  // leaves the field
        QVERIFY(QApplication::focusWidget() != name);
        QCOMPARE(QString::fromStdString(d.name), QString("maj7"));
        QCOMPARE(d.root, std::uint8_t(9));
        QCOMPARE(d.bass, std::uint8_t(9 + 24));
        QVERIFY(d.frets == frets);
        // Off the design page a typed name does not reach the work chord.
        QVERIFY(clickTab(*w, Page::Chords));
        typeInto(name, "G7");
        QCOMPARE(QString::fromStdString(d.name), QString("maj7"));
    }

    void releasingTheRootArrowNamesTheChordForTheRootShown()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(clickTab(*w, Page::ChordDesign));
        fretCMajor(*w);
        DesignPageView& design = w->designPage().designView();
        const pages::DiagramRecord& d = w->designPage().work();
        // The sounding notes C, E and G counted from a root, the root itself first.
        auto intervalsFrom = [](int root) {
            std::set<int> out{0};
            for (int n : {0, 4, 7})
                out.insert(((n - root) % 12 + 12) % 12);
            return out;
        };
        auto workIntervals = [&d] {
            std::set<int> out;
            for (std::uint8_t i : d.intervals)
                if (i != 255)
                    out.insert(i);
            return out;
        };

        QVERIFY(clickArrow(design.udRoot, false));
        QCOMPARE(design.editRoot->text(), QString("B"));
        QCOMPARE(int(d.root), 11);
        QVERIFY(workIntervals() == intervalsFrom(11));
        QVERIFY(w->fretboardPanel().editChordNameUser->text().startsWith("B "));
        QVERIFY(clickArrow(design.udRoot, true));
        QCOMPARE(design.editRoot->text(), QString("C"));
        QVERIFY(workIntervals() == intervalsFrom(0));
        QCOMPARE(intervalCaptions(*w).mid(0, 4), (QStringList{"1", "3", "5", ""}));
        QVERIFY(w->fretboardPanel().editChordNameUser->text().startsWith("C "));

        // Held down: the chord is named for wherever the root field has got to.
        QVERIFY(holdArrow(design.udRoot, true, 650));
        const int root = d.root;
        QVERIFY2(root >= 2 && root <= 11, qPrintable(QString::number(root)));
        QCOMPARE(design.editRoot->text(), QString::fromStdString(w->noteNames().note(root)));
        QVERIFY(workIntervals() == intervalsFrom(root));
        QVERIFY(w->fretboardPanel().editChordNameUser->text().startsWith(design.editRoot->text() + " "));
        // And the bass, held, names the slash chord after the bass field.
        QVERIFY(holdArrow(design.udBass, false, 650));
        const int bass = d.bass % 12;
        QVERIFY(bass != root);
        QCOMPARE(design.editBass->text(), QString::fromStdString(w->noteNames().note(bass)));
        QVERIFY(w->fretboardPanel().editChordNameUser->text().endsWith(" /" + design.editBass->text()));
    }

    void fretBoxesSetTheFretWhenLeft()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeActiveWindow(prompter);
        QVERIFY(w);
        QVERIFY(clickTab(*w, Page::ChordDesign));
        DesignPageView& design = w->designPage().designView();
        const pages::DiagramRecord& d = w->designPage().work();
        QTest::keyClick(w->fretboardPanel().sbStrumSpeed, Qt::Key_2);  // finger 2 for what is fretted next
        QVERIFY(design.sbtnFinger[1]->isChecked());

        // The digits go into the box: they choose no finger marker while it has the focus.
        typeInto(design.editTab[4], "3");
        QVERIFY(design.sbtnFinger[1]->isChecked());
        QCOMPARE(int(d.sounding[4]), 0);  // nothing happens before the box is left
        QVERIFY(tabAway(design.editTab[4]));
        QCOMPARE(int(d.frets[4]), 3);
        QCOMPARE(int(d.sounding[4]), 48);
        QCOMPARE(int(d.markers[4]), 2);
        QCOMPARE(design.editTab[4]->text(), QString("3"));

        typeInto(design.editTab[2], "0");  // "0" opens the string
        QVERIFY(tabAway(design.editTab[2]));
        QCOMPARE(int(d.markers[2]), 0);
        QCOMPARE(int(d.sounding[2]), 55);
        QCOMPARE(design.editTab[2]->text(), QString("0"));
        QCOMPARE(w->fretboardPanel().editNotes->text(), QString(" C G"));
        QCOMPARE(intervalCaptions(*w).mid(0, 3), (QStringList{"1", "5", ""}));

        typeInto(design.editTab[3], "12");
        QVERIFY(tabAway(design.editTab[3]));
        QCOMPARE(int(d.sounding[3]), 62);
        QCOMPARE(int(d.baseFret), 3);
        // Past the last fret: the box empties and the string is muted.
        typeInto(design.editTab[3], "25");
        QVERIFY(tabAway(design.editTab[3]));
        QCOMPARE(design.editTab[3]->text(), QString());
        QCOMPARE(int(d.sounding[3]), 0);
        QCOMPARE(int(d.markers[3]), 5);
        // An emptied box mutes its string too.
        typeInto(design.editTab[4], "");
        QVERIFY(tabAway(design.editTab[4]));
        QCOMPARE(int(d.sounding[4]), 0);
        QCOMPARE(int(d.markers[4]), 5);
        QCOMPARE(fretBoxes(*w), (QStringList{"", "", "0", "", "", ""}));
        QCOMPARE(intervalCaptions(*w).mid(0, 3), (QStringList{"1", "5", ""}));
    }

    void typingANameSuspendsTheWindowKeys()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeActiveWindow(prompter);
        QVERIFY(w);
        QVERIFY(w->keyPreviewEnabled());
        QTest::mouseClick(w->fretboardPanel().editTuningName, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), w->fretboardPanel().editTuningName);
        QVERIFY(!w->keyPreviewEnabled());
        // A page change puts the focus back on the strum-speed bar.
        QVERIFY(clickTab(*w, Page::ChordDesign));
        QCOMPARE(QApplication::focusWidget(), w->fretboardPanel().sbStrumSpeed);
        QVERIFY(w->keyPreviewEnabled());
        QTest::mouseClick(w->fretboardPanel().editChordNameUser, Qt::LeftButton);
        QVERIFY(!w->keyPreviewEnabled());
        QTest::mouseClick(w->designPage().designView().editTab[2], Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), w->designPage().designView().editTab[2]);
        QVERIFY(!w->keyPreviewEnabled());
    }

    void fingerKeysPressTheMarkerButtonsOnTheDesignPage()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeActiveWindow(prompter);
        QVERIFY(w);
        QWidget* focus = w->fretboardPanel().sbStrumSpeed;
        QTest::keyClick(focus, Qt::Key_3);  // Chords page: the keys mean nothing
        QVERIFY(w->designPage().designView().sbtnPlain->isChecked());
        QVERIFY(clickTab(*w, Page::ChordDesign));
        QTest::keyClick(focus, Qt::Key_3);
        QVERIFY(w->designPage().designView().sbtnFinger[2]->isChecked());
        click(*w, 1, 1);
        QCOMPARE(int(w->designPage().work().markers[1]), 3);
        QTest::keyClick(focus, Qt::Key_P);
        QVERIFY(w->designPage().designView().sbtnPlain->isChecked());
        // While a name is typed the keys are letters, not buttons.
        QTest::mouseClick(w->fretboardPanel().editTuningName, Qt::LeftButton);
        QTest::keyClick(w->fretboardPanel().editTuningName, Qt::Key_2);
        QVERIFY(w->designPage().designView().sbtnPlain->isChecked());
    }

    // --- tuning ----------------------------------------------------------------------------
    void tuningArrowsStepAndWrap()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(clickTab(*w, Page::ChordDesign));
        fretCMajor(*w);
        FretboardPanel& p = w->fretboardPanel();
        UpDown* low = p.upDown[5];
        QVERIFY(clickArrow(low, false, 2));
        QCOMPARE(p.editString[5]->text(), QString("D2"));
        QVERIFY(clickArrow(low, true, 2));
        QCOMPARE(p.editString[5]->text(), QString("E2"));

        UpDown* high = p.upDown[0];
        QVERIFY(clickArrow(high, true, 5));  // 64 -> 69
        QCOMPARE(p.editString[0]->text(), QString("A4"));
        QVERIFY(clickArrow(high, true));
        QCOMPARE(p.editString[0]->text(), QString("A1"));
        QVERIFY(clickArrow(high, false));
        QCOMPARE(p.editString[0]->text(), QString("A4"));

        // Off the pages that retune, the arrows do nothing.
        QVERIFY(clickTab(*w, Page::Chords));
        QVERIFY(!high->isEnabled());
        QVERIFY(clickArrow(high, false));
        QCOMPARE(p.editString[0]->text(), QString("A4"));
    }

    void releasingATuningArrowAppliesTheTuningShown()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(clickTab(*w, Page::ChordDesign));
        fretCMajor(*w);
        click(*w, 5, 3);  // G in the bass on the low string
        FretboardPanel& p = w->fretboardPanel();
        const pages::DiagramRecord& d = w->designPage().work();
        UpDown* low = p.upDown[5];

        QVERIFY(clickArrow(low, false, 2));
        QCOMPARE(p.editString[5]->text(), QString("D2"));
        QCOMPARE(int(w->currentTuning()[5]), 38);
        QCOMPARE(p.editTuningName->text(), QString("D A D G B E "));
        QCOMPARE(QString::fromStdString(d.tuningName), QString("D A D G B E "));
        QCOMPARE(int(d.tuning[5]), 38);
        QCOMPARE(int(d.sounding[5]), 41);  // fret 3 now sounds F
        QVERIFY2(p.editNotes->text().split(' ', Qt::SkipEmptyParts).contains("F"), qPrintable(p.editNotes->text()));
        QVERIFY(intervalCaptions(*w).contains("4"));

        QVERIFY(clickArrow(low, true, 2));
        QCOMPARE(p.editString[5]->text(), QString("E2"));
        QVERIFY(w->currentTuning() == theory::kStandardTuning);
        QCOMPARE(p.editTuningName->text(), QString("Standard"));
        QCOMPARE(QString::fromStdString(d.tuningName), QString("Standard"));
        QCOMPARE(int(d.sounding[5]), 43);
        QCOMPARE(p.editNotes->text(), QString(" C E G"));

        // Held down, the arrow repeats; letting go applies where the field has got to.
        QVERIFY(holdArrow(p.upDown[4], false, 650));
        const int a = w->currentTuning()[4];
        QVERIFY2(a <= 43, qPrintable(QString::number(a)));  // at least two steps below A2
        QCOMPARE(p.editString[4]->text(), QString::fromStdString(w->noteNames().octaveName(a)));
        QCOMPARE(int(d.tuning[4]), a);
        QCOMPARE(int(d.sounding[4]), a + 3);
        QCOMPARE(p.editTuningName->text().split(' ').value(1), QString::fromStdString(w->noteNames().note(a)));
    }

    // --- flats and sharps ------------------------------------------------------------------
    void flatSharpSwitchRenamesEveryCaption()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QMenu* key = w->menuBar()->findChild<QMenu*>("menuKey");
        QVERIFY(key);
        menuItem(*w, "mnuDb")->trigger();
        auto* root = w->findChild<QLineEdit*>("editChordRoot");
        QCOMPARE(root->text(), QString("Db"));
        QVERIFY(clickTab(*w, Page::ChordDesign));
        QVERIFY(clickArrow(w->designPage().designView().udRoot, true));
        QCOMPARE(w->designPage().designView().editRoot->text(), QString("Db"));
        QVERIFY(clickArrow(w->fretboardPanel().upDown[1], false));  // B3 -> Bb3
        QCOMPARE(w->fretboardPanel().editString[1]->text(), QString("Bb3"));

        QAction* switchNames = w->menus().mnuFlatSharp();
        switchNames->trigger();
        QCOMPARE(w->menus().mnuFlatSharp()->text(), QString("Sharps"));
        QCOMPARE(key->actions().at(1)->text(), QString("C#"));
        QCOMPARE(root->text(), QString("C#"));
        QCOMPARE(w->designPage().designView().editRoot->text(), QString("C#"));
        QCOMPARE(w->designPage().designView().editBass->text(), QString("C#"));
        QCOMPARE(w->fretboardPanel().editString[1]->text(), QString("A#3"));

        switchNames->trigger();
        QCOMPARE(w->menus().mnuFlatSharp()->text(), QString("Flats"));
        QCOMPARE(key->actions().at(1)->text(), QString("Db"));
        QCOMPARE(root->text(), QString("Db"));
        QCOMPARE(w->fretboardPanel().editString[1]->text(), QString("Bb3"));
    }

    // --- busy guard, flip, wheel -----------------------------------------------------------
    void pageChangesAndToggleButtonsAreRefusedWhileBusy()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        auto* pages = w->findChild<QTabWidget*>("PageControl1");
        FretboardPanel& p = w->fretboardPanel();
        w->busy().playDown = true;
        QVERIFY(!w->setActivePage(Page::Print));
        QVERIFY(!clickTab(*w, Page::Print));
        QCOMPARE(w->activePage(), Page::Chords);
        QTest::mouseClick(p.sbtnLeftHanded, Qt::LeftButton);
        QVERIFY(!p.sbtnLeftHanded->isChecked());
        QVERIFY(!w->fretboard().leftHanded());
        QTest::mouseClick(p.sbtnFlip, Qt::LeftButton);
        menuItem(*w, "menuFlip")->trigger();
        QVERIFY(!w->isFlipped());
        QVERIFY(!p.sbtnFlip->isChecked());
        QVERIFY(p.y() > pages->y());

        w->busy().playDown = false;
        QTest::mouseClick(p.sbtnFlip, Qt::LeftButton);
        QVERIFY(w->isFlipped());
        QVERIFY(p.sbtnFlip->isChecked());
        // Flipped: the fretboard panel sits above the page control.
        QVERIFY(p.y() < pages->y());
        menuItem(*w, "menuFlip")->trigger();
        QVERIFY(!w->isFlipped());
        QVERIFY(!p.sbtnFlip->isChecked());
        QVERIFY(p.y() > pages->y());
    }

    void wheelNotchScrollsTheActivePageThreeLines()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(clickTab(*w, Page::PlayPage));
        auto* scroll = w->findChild<QScrollArea*>("scrollPlayPage");
        QVERIFY(scroll);
        QScrollBar* bar = scroll->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        const int step = bar->singleStep();
        const int lines = QApplication::wheelScrollLines();
        auto turn = [&](int delta) {
            QWheelEvent ev(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                           Qt::NoScrollPhase, false);
            QApplication::sendEvent(w->fretboardPanel().editNotes, &ev);
        };
        turn(-120);
        QCOMPARE(bar->value(), lines * step);
        turn(-40);
        turn(-40);
        QCOMPARE(bar->value(), lines * step);
        turn(-40);
        QCOMPARE(bar->value(), 2 * lines * step);
        turn(120);
        QCOMPARE(bar->value(), lines * step);
    }

    // --- closing ---------------------------------------------------------------------------
    void closingAsksAboutUnsavedWorkInOrder()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        // Marked against the order of the pages, which is not the order of the questions.
        *w->tablature().document(session::DocumentKind::TabPage) = {true, ""};
        *w->tablature().document(session::DocumentKind::RawTab) = {true, "/tabs/riff.txt"};
        w->designPage().group().modified = true;
        w->playPage().model().modified = true;
        w->playPage().setFileName("/songs/blues.ppf");
        const std::vector<std::string> questions{"Save PlayPage changes to /songs/blues.ppf before closing?",
                                                 "Save Chord Design Page changes before closing?",
                                                 "Save Raw Tab changes to /tabs/riff.txt before closing?",
                                                 "Save Strumox Tab file (.sxt) changes before closing?"};
        prompter.answers = {Answer::Cancel};
        QVERIFY(!w->close());
        QCOMPARE(prompter.asked, (std::vector<std::string>{questions[0]}));
        QVERIFY(w->isVisible());

        // Nothing can save these documents yet: a Yes to any of them keeps the window open.
        for (size_t yesAt = 0; yesAt < questions.size(); ++yesAt) {
            prompter.asked.clear();
            prompter.answers.assign(yesAt, Answer::No);
            prompter.answers.push_back(Answer::Yes);
            QVERIFY(!w->close());
            QCOMPARE(prompter.asked, std::vector<std::string>(questions.begin(), questions.begin() + yesAt + 1));
            QVERIFY(w->isVisible());
        }

        prompter.asked.clear();
        prompter.answers = {Answer::No, Answer::No, Answer::No, Answer::No};
        menuItem(*w, "mnuExit")->trigger();
        QCOMPARE(prompter.asked, questions);
        QVERIFY(!w->isVisible());
        QCOMPARE(prompter.unscripted, 0);
    }

    void closingWhilePlayingIsRefused()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        w->busy().playDown = true;
        QVERIFY(!w->close());
        QVERIFY(prompter.asked.empty());
        w->busy().stepDown = true;
        QVERIFY(!w->close());
        QCOMPARE(prompter.asked, (std::vector<std::string>{"Step Play is active"}));
        w->busy() = {};
        QVERIFY(w->close());
    }

    void closingWritesTheExitSettings()
    {
        {
            testsupport::ScriptedPrompter prompter;
            auto w = makeWindow(prompter);
            FretboardPanel& p = w->fretboardPanel();
            QTest::mouseClick(p.sbtnLeftHanded, Qt::LeftButton);
            QTest::mouseClick(p.sbtnBassNote, Qt::LeftButton);
            QTest::keyClick(p.sbStrumSpeed, Qt::Key_Home);  // the slowest strum, then three pages faster
            for (int i = 0; i < 3; ++i)
                QTest::keyClick(p.sbStrumSpeed, Qt::Key_PageDown);
            QVERIFY(w->close());
        }
        const settings::AppSettings s = settings::readStartupSettings(appDir());
        QVERIFY(s.leftHanded);
        QVERIFY(s.bassNote);
        QCOMPARE(s.strumSpeed, -770);
        // And the next window starts that way.
        testsupport::ScriptedPrompter prompter;
        auto w = makeWindow(prompter);
        QVERIFY(w->fretboard().leftHanded());
        QVERIFY(w->fretboardPanel().sbtnLeftHanded->isChecked());
        QCOMPARE(w->fretboardPanel().sbStrumSpeed->value(), -770);
        QVERIFY(w->close());
        QFile::remove(m_dir.filePath("Kq.ini"));
    }

    void aRefusedSettingsWriteIsReportedAndTheWindowStillCloses()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("Kq.ini"));  // a folder where the file should go
        testsupport::ScriptedPrompter prompter;
        TfrmMain w(dir.path().toStdString() + "/", &prompter);
        w.show();
        QVERIFY(w.close());
        QCOMPARE(prompter.asked, (std::vector<std::string>{"Unable to write to " + dir.path().toStdString() + "/Kq.ini"}));
    }

    void anUnreadableSettingsFileIsToldAtStartAndNeverReplaced()
    {
        QTemporaryDir dir;
        const std::string ini = dir.path().toStdString() + "/Kq.ini";
        QCOMPARE(::mkfifo(ini.c_str(), 0644), 0);  // opened as a file, it would hold start-up forever
        testsupport::ScriptedPrompter prompter;
        TfrmMain w(dir.path().toStdString() + "/", &prompter);
        w.show();
        QTRY_COMPARE(prompter.messages.size(), std::size_t(1));
        QCOMPARE(prompter.messages[0], "Unable to read " + ini + ": not a regular file. Settings will not be saved.");
        QTest::mouseClick(w.fretboardPanel().sbtnLeftHanded, Qt::LeftButton);  // something to save
        QVERIFY(w.close());
        QCOMPARE(prompter.messages.back(), "Unable to write to " + ini);
        struct stat st {};
        QVERIFY(::lstat(ini.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    }
};

QTEST_MAIN(MainWindowTest)
#include "mainwindow_test.moc"
