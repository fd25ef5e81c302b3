#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "RecordBuilders.h"
#include "ScriptedPrompter.h"
#include "app/FretboardController.h"
#include "app/FretboardPanel.h"
#include "app/PictureWidget.h"
#include "app/TfrmMain.h"
#include "app/pictures/KeyboardPicture.h"

using namespace strumox;
using namespace strumox::app;

class KeyboardViewTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    testsupport::ScriptedPrompter m_prompter;
    std::unique_ptr<TfrmMain> m_window;
    PictureWidget* m_keyboard = nullptr;

    QStringList readOuts() const
    {
        return {m_window->fretboardPanel().pnlNote->text(), m_window->fretboardPanel().pnlInterval->text()};
    }
    QImage shot() const { return m_keyboard->grabPicture().convertToFormat(QImage::Format_RGB32); }
    static QImage blank() { return pictures::blankKeyboard().convertToFormat(QImage::Format_RGB32); }

    // D major, so that every hovered key has an interval from D.
    void showDMajor()
    {
        m_window->fretboard().showChord(testsupport::shapeChord(2, "major", "xx0232", {0, 4, 7, 255, 255, 255, 255}));
    }

private slots:
    void init()
    {
        m_window = std::make_unique<TfrmMain>(m_dir.path().toStdString() + "/", &m_prompter);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_keyboard = m_window->findChild<PictureWidget*>("imgKeyboard");
        QVERIFY(m_keyboard);
        QCOMPARE(m_keyboard->size(), QSize(281, 18));
    }
    void cleanup() { m_window.reset(); }

    void hoverNamesTheKeyAndItsIntervalFromTheRoot()
    {
        showDMajor();
        const theory::NoteNames& names = m_window->noteNames();
        const struct {
            QPoint at;
            int note;
            const char* interval;
        } rows[] = {
            {{0, 15}, 0, "b7"},          // lowest C, lower half
            {{7, 5}, 1, "7"},            // lowest C#, upper half
            {{8, 10}, 2, "1"},           // first row of the lower half: the white key, D
            {{280, 5}, 11, "6 / 13"},    // the last column is the top B's
            {{214, 3}, 10, "#5 / b13"},  // B flat of the fourth octave
        };
        for (const auto& r : rows) {
            QTest::mouseMove(m_keyboard, r.at);
            QCOMPARE(readOuts(), (QStringList{QString::fromStdString(names.note(r.note)), r.interval}));
        }
    }

    void movingOverAnyOtherPartOfTheWindowEmptiesBothReadOuts()
    {
        showDMajor();
        QWidget* central = m_window->centralWidget();
        const QList<QWidget*> elsewhere{m_window->findChild<QTabWidget*>("PageControl1"),
                                        m_window->findChild<QWidget*>("pnlTop"), &m_window->fretboardPanel(),
                                        m_window->findChild<QPushButton*>("btnShowChords"), central};
        for (QWidget* w : elsewhere) {
            QVERIFY(w);
            QTest::mouseMove(m_keyboard, QPoint(40, 12));
            QVERIFY(!readOuts().contains(QString()));
            // The window's own margin, where no child lies, or the widget's top-left corner.
            const QPoint at = w == central ? QPoint(1, 1) : QPoint(2, 2);
            QTest::mouseMove(w, at);
            QCOMPARE(readOuts(), (QStringList{QString(), QString()}));
        }
    }

    void aPressOnTheKeyboardChangesNothing()
    {
        showDMajor();
        QTest::mouseMove(m_keyboard, QPoint(40, 12));
        const QStringList before = readOuts();
        const QImage picture = shot();
        for (const Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton}) {
            QTest::mousePress(m_keyboard, b, Qt::NoModifier, QPoint(40, 12));
            QTest::mouseRelease(m_keyboard, b, Qt::NoModifier, QPoint(40, 12));
        }
        QCOMPARE(readOuts(), before);
        QCOMPARE(shot(), picture);
        QVERIFY(!m_window->busy().holds());
    }

    void clearingTheDisplayOrAnEmptyIntervalListLeavesTheUnmarkedKeyboard()
    {
        showDMajor();
        QVERIFY(shot() != blank());
        QCOMPARE(shot().pixel(56 + 11 + 1, 12 + 1), qRgb(255, 0, 0));  // D of the second octave: the root
        QCOMPARE(shot().pixel(31 + 1, 6 + 1), qRgb(0, 255, 0));        // the lowest F#
        m_window->fretboard().clearDisplay();
        QCOMPARE(shot(), blank());

        showDMajor();
        std::array<std::uint8_t, 10> none;
        none.fill(99);
        m_window->fretboard().showScale(testsupport::scaleRecord(2, "none", none), 1, 5);
        QCOMPARE(shot(), blank());
    }
};

QTEST_MAIN(KeyboardViewTest)
#include "keyboard_view_test.moc"
