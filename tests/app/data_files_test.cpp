// The chord and scale finders over damaged or misplaced data files, driven by mouse clicks on the
// menu bar, its menus and the Show Chords button: the message names the file and its first bad
// record, and nothing of that file reaches a page.
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <tuple>

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ScriptedPrompter.h"
#include "app/ChordPageController.h"
#include "app/ScalesPageController.h"
#include "app/TfrmMain.h"
#include "theory/ChordData.h"
#include "theory/ScaleData.h"

using namespace strumox;
using namespace strumox::app;

namespace {

// Clicks `caption` in the menu bar's menu `menu`: a click on the bar opens it, a click on the
// item chooses it.
[[nodiscard]] bool clickMenuItem(TfrmMain& w, const char* menu, const QString& caption)
{
    QMenuBar* bar = w.menuBar();
    auto* m = bar->findChild<QMenu*>(menu);
    if (!m)
        return false;
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->actionGeometry(m->menuAction()).center());
    if (!QTest::qWaitFor([m] { return m->isVisible(); }, 2000))
        return false;
    for (QAction* a : m->actions()) {
        if (a->text() == caption && !a->menu()) {
            QTest::mouseClick(m, Qt::LeftButton, Qt::NoModifier, m->actionGeometry(a).center());
            return QTest::qWaitFor([m] { return !m->isVisible(); }, 2000);
        }
    }
    m->close();
    return false;
}

void clickShowButton(TfrmMain& w)
{
    QTest::mouseClick(w.findChild<QPushButton*>("btnShowChords"), Qt::LeftButton);
}

void fill(const std::string& path, std::size_t at, std::size_t count, char byte)
{
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(static_cast<std::streamoff>(at));
    const std::string bytes(count, byte);
    f.write(bytes.data(), static_cast<std::streamsize>(count));
}

}  // namespace

class DataFilesTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::string dir() const { return m_dir->path().toStdString() + "/"; }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        theory::writeChordDataFiles(dir());
        theory::writeScaleFile(dir());
    }

    // The last of each family's main types stands in its menu; the next is under More Chords.
    void eachChordMenuEndsItsMainTypesWhereMoreChordsBegins()
    {
        testsupport::ScriptedPrompter prompter;
        TfrmMain w(dir(), &prompter);
        w.show();
        for (const auto& [menu, last, next] :
             {std::tuple{"menuMajor", "add9", "maj7(add13)"}, {"menuMinor", "m9(maj7)", "m11"}, {"menuDominant", "7/6", "7#9"}}) {
            QVERIFY2(clickMenuItem(w, menu, last), last);
            QVERIFY2(!clickMenuItem(w, menu, next), next);
            auto* more = w.menuBar()->findChild<QMenu*>(menu)->findChild<QMenu*>();
            QVERIFY(more && more->title() == "More Chords...");
            QCOMPARE(more->actions().front()->text(), QString(next));
        }
    }

    void aDamagedDictionaryIsNamedWithItsRecordAndNoChordIsShown()
    {
        fill(dir() + "kqma1.dat", 17 * 13 + 3, 1, char(200));  // a fret of record 17 far past the neck
        testsupport::ScriptedPrompter prompter;
        TfrmMain w(dir(), &prompter);
        w.show();
        QVERIFY(clickMenuItem(w, "menuKey", "C"));
        QVERIFY(clickMenuItem(w, "menuMajor", "maj7"));
        const pages::Page before = w.activePage();
        clickShowButton(w);
        QCOMPARE(prompter.messages, (std::vector<std::string>{"kqma1.dat is damaged: record 17."}));
        QCOMPARE(w.chordPage().model().setCount(), 0);
        QVERIFY(w.chordPage().model().selection.isEmpty());
        QCOMPARE(w.activePage(), before);

        // Once the file is whole again the same clicks find the chord.
        theory::writeChordDataFiles(dir());
        clickShowButton(w);
        QCOMPARE(prompter.messages.size(), std::size_t{1});
        QCOMPARE(w.chordPage().model().setCount(), 1);
    }

    void aDamagedFormulaFileIsNamedWithItsRecord()
    {
        fill(dir() + "kqcd3.dat", 30 * 44 + 7, 1, char(40));  // record 30's suffix length past its field
        testsupport::ScriptedPrompter prompter;
        TfrmMain w(dir(), &prompter);
        w.show();
        QVERIFY(clickMenuItem(w, "menuKey", "D"));
        QVERIFY(clickMenuItem(w, "menuMinor", "m7"));
        clickShowButton(w);
        QCOMPARE(prompter.messages, (std::vector<std::string>{"kqcd3.dat is damaged: record 30."}));
        QCOMPARE(w.chordPage().model().setCount(), 0);
    }

    void aDamagedScaleFileIsNamedWithItsRecordAndNoRowIsAdded()
    {
        fill(dir() + "kqs.dat", 9 * 37, 37, char(0xFF));
        testsupport::ScriptedPrompter prompter;
        TfrmMain w(dir(), &prompter);
        w.show();
        QVERIFY(clickMenuItem(w, "menuKey", "G"));
        QVERIFY(clickMenuItem(w, "menuScale", "Dorian (Minor)"));
        clickShowButton(w);
        QCOMPARE(prompter.messages, (std::vector<std::string>{"kqs.dat is damaged: record 9."}));
        QCOMPARE(w.scalesPage().model().rowCount(), 0);
    }

    void aFifoInPlaceOfTheFormulaFileIsReportedAtOnce()
    {
        const std::string fifo = dir() + "kqcd3.dat";
        QVERIFY(::unlink(fifo.c_str()) == 0);
        QVERIFY(::mkfifo(fifo.c_str(), 0600) == 0);
        testsupport::ScriptedPrompter prompter;
        TfrmMain w(dir(), &prompter);
        w.show();
        QVERIFY(clickMenuItem(w, "menuKey", "A"));
        QVERIFY(clickMenuItem(w, "menuMajor", "major"));

        // Should the finder block on the FIFO, a writer opened after two seconds lets it go on.
        std::atomic<bool> done{false}, blocked{false};
        std::thread watchdog([&] {
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            while (!done && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            if (!done) {
                blocked = true;
                const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0)
                    ::close(fd);
            }
        });
        clickShowButton(w);
        done = true;
        watchdog.join();
        QVERIFY2(!blocked, "the chord finder blocked on a FIFO");
        QCOMPARE(prompter.messages, (std::vector<std::string>{fifo + " is not a regular file."}));
        QCOMPARE(w.chordPage().model().setCount(), 0);
    }
};

QTEST_MAIN(DataFilesTest)
#include "data_files_test.moc"
