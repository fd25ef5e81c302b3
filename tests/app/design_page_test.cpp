// The Chord Design page as a guitarist uses it: fret, search, drag a found chord onto the group,
// move and send diagrams, lay formulas over the neck, toggle compound intervals.
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QDropEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <set>

#include "ScriptedPrompter.h"
#include "app/DesignPageController.h"
#include "app/DesignPageView.h"
#include "app/FretboardController.h"
#include "app/FretboardPanel.h"
#include "app/PictureWidget.h"
#include "app/TZoStaffBox.h"
#include "app/TfrmMain.h"
#include "fretboard/FretboardGeometry.h"
#include "pages/DesignGroup.h"
#include "pages/RecordConversions.h"
#include "theory/ChordData.h"

using namespace strumox;
using namespace strumox::app;
using pages::Page;
using session::Answer;

namespace {

constexpr const char* kDataFiles[] = {"kqcd3.dat", "kqma1.dat", "kqma2.dat", "kqmi1.dat",
                                      "kqmi2.dat", "kqdo1.dat", "kqdo2.dat", "kqs.dat"};

[[nodiscard]] bool clickTab(TfrmMain& w, Page page)
{
    QTabBar* bar = w.findChild<QTabWidget*>("PageControl1")->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(static_cast<int>(page)).center());
    return w.activePage() == page;
}

// A click on the neck at (string, fret), string 0 the high E.
void press(TfrmMain& w, int string, int f, Qt::MouseButton button = Qt::LeftButton)
{
    PictureWidget* pic = w.fretboardPanel().imgFretboard;
    const auto h = fretboard::HandLayout::forHand(false);
    const QPoint pt(h.fretX[static_cast<size_t>(f)] + 6, fretboard::kStringTop[static_cast<size_t>(string)] + 6);
    QTest::mouseMove(pic, pt);
    QTest::mouseClick(pic, button, Qt::NoModifier, pt);
}

// A shape as guitarists write it, low E string first ("x32010"), clicked onto a neck whose
// strings are all not played.
void fret(TfrmMain& w, const std::string& shape)
{
    for (int i = 0; i < 6; ++i)
        if (const char c = shape[static_cast<size_t>(i)]; c != 'x')
            press(w, 5 - i, c - '0');
}

QStringList listLines(const DesignPageView& v)
{
    QStringList out;
    for (int i = 0; i < v.listChordDesign->count(); ++i)
        out << v.listChordDesign->item(i)->text();
    return out;
}

// A drag from one of the page's controls let go over the strip at x.
void dropOnStrip(DesignPageView& v, const QString& sourceName, int x)
{
    QMimeData data;
    data.setData(kDesignDragMime, QByteArray::number(QCoreApplication::applicationPid()) + ':' + sourceName.toUtf8());
    const QPoint at(x, 60);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.imgChordDesign, &enter);
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.imgChordDesign, &drop);
}

std::vector<std::array<std::uint8_t, 6>> groupFrets(DesignPageController& d)
{
    std::vector<std::array<std::uint8_t, 6>> out;
    for (int k = 0; k < 6; ++k)
        out.push_back(d.group().slot(k).frets);
    return out;
}

// Right-clicks slot k of the strip and picks the popup item.
[[nodiscard]] bool chooseFromPopup(DesignPageView& v, int slot, const char* item)
{
    QTest::mouseClick(v.imgChordDesign, Qt::RightButton, Qt::NoModifier, QPoint(76 * slot + 30, 60));
    auto* menu = v.imgChordDesign->findChild<QMenu*>("popmenuDesign");
    if (!menu || !menu->isVisible())
        return false;
    QAction* a = menu->findChild<QAction*>(item);
    if (!a || !a->isEnabled()) {
        menu->close();
        return false;
    }
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(a).center());
    return !menu->isVisible();
}

}  // namespace

class DesignPageTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::string appDir() const { return m_dir.path().toStdString() + "/"; }

    std::unique_ptr<TfrmMain> openDesignPage(testsupport::ScriptedPrompter& prompter)
    {
        auto w = std::make_unique<TfrmMain>(appDir(), &prompter);
        w->show();
        if (!clickTab(*w, Page::ChordDesign))
            return nullptr;
        return w;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char* name : kDataFiles)
            std::filesystem::copy_file(std::string(STRUMOX_APPDIR) + "/" + name, appDir() + name);
    }

    void searchNamesTheFrettedChordAndADraggedResultFillsTheGroup()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = openDesignPage(prompter);
        QVERIFY(w);
        DesignPageController& d = w->designPage();
        DesignPageView& v = d.designView();
        fret(*w, "x32010");
        QCOMPARE(w->statusBar()->currentMessage(), QString("Fretted chord: C major"));
        // The staff shows what the strings sound.
        std::set<int> staffNotes;
        for (int n = 0; n < 128; ++n)
            if (d.staff().notes()[static_cast<size_t>(n)])
                staffNotes.insert(n);
        QCOMPARE(staffNotes, (std::set<int>{48, 52, 55, 60, 64}));

        QTest::mouseClick(v.btnSearch, Qt::LeftButton);
        QCOMPARE(listLines(v), QStringList{"C major\t1 3 5"});
        QCOMPARE(d.found().size(), size_t(1));

        // Dropping the chosen result loads its six dictionary fingerings.
        QTest::mouseClick(v.listChordDesign->viewport(), Qt::LeftButton, Qt::NoModifier,
                          v.listChordDesign->visualItemRect(v.listChordDesign->item(0)).center());
        dropOnStrip(v, "listChordDesign", 200);
        const auto lookup = theory::lookupChord(appDir(), 0, 0, nullptr);
        QVERIFY(lookup);
        for (int k = 0; k < 6; ++k)
            QCOMPARE(d.group().slot(k).frets, lookup->fingerings[static_cast<size_t>(k)].frets);
        QCOMPARE(d.group().selected(), 0);
        QVERIFY(d.work() == d.group().slot(0));
        QVERIFY(d.document().modified);
        QCOMPARE(w->windowTitle(), QString("Strumox!"));

        // A second drop on the unsaved group asks first; Cancel keeps it.
        d.work() = pages::DiagramRecord::blankWork();
        fret(*w, "x02210");  // an A minor shape, with the page's root C among its notes
        QTest::mouseClick(v.rootOpGroup->button(1), Qt::LeftButton);  // each note as the root
        QTest::mouseClick(v.btnSearch, Qt::LeftButton);
        QVERIFY2(listLines(v).contains("A minor\t1 b3 5"), qPrintable(listLines(v).join(" | ")));
        v.listChordDesign->setCurrentRow(static_cast<int>(listLines(v).indexOf("A minor\t1 b3 5")));
        const auto before = groupFrets(d);
        prompter.answers = {Answer::Cancel};
        dropOnStrip(v, "listChordDesign", 10);
        QCOMPARE(prompter.asked, (std::vector<std::string>{"Do you want to save changes to this Design Group before modifying?"}));
        QCOMPARE(groupFrets(d), before);

        // A drag from anywhere else is refused.
        dropOnStrip(v, "editTab0", 10);
        QCOMPARE(groupFrets(d), before);
    }

    void searchOptionsSwitchAndNothingFoundSaysSo()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = openDesignPage(prompter);
        QVERIFY(w);
        DesignPageView& v = w->designPage().designView();
        fret(*w, "x3x2xx");  // C and E: two notes search every chord that holds them
        QTest::mouseClick(v.btnSearch, Qt::LeftButton);
        QCOMPARE(v.intervalOption(), 0);
        QVERIFY(listLines(v).size() > 5);
        QVERIFY(listLines(v).first().startsWith("C "));

        // Root C not played: "current root only" moves on to each note of the chord.
        w->designPage().work() = pages::DiagramRecord::blankWork();
        v.setIntervalOption(1);
        fret(*w, "xx0232");  // D F# A over the root C the page starts with
        QTest::mouseClick(v.btnSearch, Qt::LeftButton);
        QCOMPARE(v.rootOption(), 1);
        QCOMPARE(listLines(v).first(), QString("D major\t1 3 5"));

        // C C# D D#: no formula holds exactly these.
        w->designPage().work() = pages::DiagramRecord::blankWork();
        v.setRootOption(0);
        fret(*w, "x3082x");
        QTest::mouseClick(v.btnSearch, Qt::LeftButton);
        QCOMPARE(listLines(v), QStringList{"No Chords Found"});
        QVERIFY(w->designPage().found().empty());
        const auto before = groupFrets(w->designPage());
        v.listChordDesign->setCurrentRow(0);
        dropOnStrip(v, "listChordDesign", 10);
        QCOMPARE(groupFrets(w->designPage()), before);
        QVERIFY(prompter.asked.empty());
    }

    void movesShiftTheGroupAndALeftPageGivesTheLiftedDiagramBack()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = openDesignPage(prompter);
        QVERIFY(w);
        DesignPageController& d = w->designPage();
        DesignPageView& v = d.designView();
        fret(*w, "x32010");
        QTest::mouseClick(v.btnSearch, Qt::LeftButton);
        v.listChordDesign->setCurrentRow(0);
        dropOnStrip(v, "listChordDesign", 10);
        const auto a = groupFrets(d);

        QVERIFY(chooseFromPopup(v, 1, "pmenuDesignMove"));
        QVERIFY(!d.group().filled(1));
        QTest::mouseClick(v.imgChordDesign, Qt::RightButton, Qt::NoModifier, QPoint(76 * 4 + 10, 60));
        // A B C D E F with B moved onto E: F A C D B E.
        QCOMPARE(groupFrets(d), (std::vector{a[5], a[0], a[2], a[3], a[1], a[4]}));
        QVERIFY(d.work() == d.group().slot(4));

        const auto b = groupFrets(d);
        QVERIFY(chooseFromPopup(v, 2, "pmenuDesignMove"));
        QVERIFY(clickTab(*w, Page::Chords));
        QVERIFY(clickTab(*w, Page::ChordDesign));
        QCOMPARE(groupFrets(d), b);
        // The press after the page change selects; it places nothing.
        QTest::mouseClick(v.imgChordDesign, Qt::LeftButton, Qt::NoModifier, QPoint(76 * 0 + 10, 60));
        QCOMPARE(groupFrets(d), b);
        QCOMPARE(d.group().selected(), 0);

        // Delete asks, and the selection moves to the lowest filled slot.
        prompter.answers = {Answer::Yes};
        QVERIFY(chooseFromPopup(v, 0, "pmenuDesignDelete"));
        QVERIFY(!d.group().filled(0));
        QCOMPARE(d.group().selected(), 1);
        QVERIFY(d.work() == d.group().slot(1));

        // A diagram of the group goes to the Print page to be placed there.
        QVERIFY(chooseFromPopup(v, 3, "pmenuDesignToPrint"));
        QCOMPARE(w->activePage(), Page::Print);
        QCOMPARE(w->transfer().mode(Page::Print), pages::Placement::Place);
        QVERIFY(pages::printToChord(w->transfer().pendingPrint).frets == d.group().slot(3).frets);
        QVERIFY(clickTab(*w, Page::ChordDesign));

        // Erase asks about the unsaved group; No erases it.
        prompter.answers = {Answer::No};
        w->erasePage();
        QCOMPARE(d.group().filledCount(), 0);
        QCOMPARE(v.lblCDFilePath->text(), QString("File:"));
        QVERIFY(!d.document().modified);
    }

    void theWorkChordDraggedOntoTheStripCarriesItsTuningAndIntervals()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = openDesignPage(prompter);
        QVERIFY(w);
        DesignPageController& d = w->designPage();
        DesignPageView& v = d.designView();
        fret(*w, "xx0232");
        press(*w, 3, 0, Qt::RightButton);  // the open D string gives the root
        // The tuning's name as the box shows it goes with the diagram.
        QTest::mouseClick(w->fretboardPanel().editTuningName, Qt::LeftButton);
        QTest::keyClick(w->fretboardPanel().editTuningName, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(w->fretboardPanel().editTuningName, "Concert");
        dropOnStrip(v, "bitbtnDrag", 76 * 3 + 5);
        QCOMPARE(d.group().slot(3).frets, d.work().frets);
        QCOMPARE(QString::fromStdString(d.group().slot(3).tuningName), QString("Concert"));
        // Each interval field's caption and a blank, the four empty ones included.
        QCOMPARE(QString::fromStdString(d.group().slot(3).formula), QString("1 3 5     "));
        QCOMPARE(d.group().selected(), 3);
        QVERIFY(prompter.asked.empty());

        // Onto a filled slot it asks; No keeps what is there.
        press(*w, 0, 3);  // the high E string moves to G: D sus4
        prompter.answers = {Answer::No};
        dropOnStrip(v, "bitbtnDrag", 76 * 3 + 5);
        QCOMPARE(prompter.asked, (std::vector<std::string>{"Do you want to replace this diagram?"}));
        QVERIFY(d.group().slot(3).frets != d.work().frets);
    }

    void compoundIntervalsToggleByClickOnlyWhileShowIntervalsIsUp()
    {
        testsupport::ScriptedPrompter prompter;
        auto w = openDesignPage(prompter);
        QVERIFY(w);
        DesignPageController& d = w->designPage();
        DesignPageView& v = d.designView();
        FretboardPanel& p = w->fretboardPanel();
        fret(*w, "x32033");  // C E G D: 1 3 5 and a 2
        auto captions = [&] {
            QStringList out;
            for (int k = 0; k < 7; ++k)
                out << p.editIntervals[static_cast<size_t>(k)]->text();
            return out;
        };
        const int second = static_cast<int>(captions().indexOf("2"));
        QVERIFY(second > 0);
        QTest::mouseClick(p.editIntervals[static_cast<size_t>(second)], Qt::LeftButton);
        QVERIFY(captions().contains("9"));
        QVERIFY(!captions().contains("2"));
        const int third = static_cast<int>(captions().indexOf("3"));
        QTest::mouseClick(p.editIntervals[static_cast<size_t>(third)], Qt::LeftButton);
        QVERIFY(captions().contains("3"));  // a third has no compound name
        {
            // The sevenths have no compound names either: C with a b7 and a 7 over E.
            auto w2 = openDesignPage(prompter);
            QVERIFY(w2);
            FretboardPanel& p2 = w2->fretboardPanel();
            fret(*w2, "x3x300");
            QStringList before;
            for (int k = 0; k < 7; ++k)
                before << p2.editIntervals[static_cast<size_t>(k)]->text();
            QCOMPARE(before.mid(0, 4), (QStringList{"1", "3", "b7", "7"}));
            const auto flags = w2->designPage().compoundFlags();
            for (int k : {2, 3})
                QTest::mouseClick(p2.editIntervals[static_cast<size_t>(k)], Qt::LeftButton);
            QCOMPARE(p2.editIntervals[2]->text() + p2.editIntervals[3]->text(), QString("b77"));
            QCOMPARE(w2->designPage().compoundFlags(), flags);
        }

        // Under Show Intervals the fields show the formula (here "6", 1 3 5 6); clicks change nothing.
        v.ComboBox1->setCurrentIndex(1);
        QTest::mouseClick(v.sbDisplayIntervals, Qt::LeftButton);
        QVERIFY(d.showIntervalsDown());
        const auto flags = d.compoundFlags();
        for (int k = 0; k < 7; ++k)
            QTest::mouseClick(p.editIntervals[static_cast<size_t>(k)], Qt::LeftButton);
        QCOMPARE(d.compoundFlags(), flags);
        // The chosen type (major) is laid over the neck: its captions, in slot colours.
        QCOMPARE(captions().mid(0, 4), (QStringList{"1", "3", "5", "6"}));
        QCOMPARE(p.editIntervals[1]->palette().color(QPalette::Base), QColor(0, 255, 255));
    }
};

QTEST_MAIN(DesignPageTest)
#include "design_page_test.moc"
