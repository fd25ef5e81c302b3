#include <QtTest>

#include "app/TZoStaffBox.h"
#include "app/pictures/StaffPicture.h"

using strumox::app::TZoStaffBox;

class StaffBoxTest : public QObject {
    Q_OBJECT
private slots:
    // The staff inside two sunken rings; a string that is not played (0) shows no note.
    void chordNotesAppearInsideTheFrame()
    {
        TZoStaffBox box;
        QCOMPARE(box.size(), QSize(154, 144));
        QCOMPARE(box.property("Key").value<strumox::ui::TKey>(), strumox::ui::TKey::keyC);
        QCOMPARE(box.property("Sharp").toBool(), false);
        box.setChordNotes({0, 48, 52, 55, 60, 64});
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));

        strumox::ui::NoteFlags expected{};
        for (const int m : {48, 52, 55, 60, 64})
            expected[static_cast<size_t>(m)] = 1;
        QVERIFY(box.notes() == expected);
        const QImage shot = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage staff = strumox::pictures::staffPicture(strumox::ui::layoutStaff(expected))
                                 .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.copy(2, 2, 150, 140), staff);

        const QRgb shadow = box.palette().color(QPalette::Dark).rgb();
        const QRgb face = box.palette().color(QPalette::Button).rgb();
        const QRgb white = qRgb(255, 255, 255);
        QCOMPARE((QList<QRgb>{shot.pixel(0, 70), shot.pixel(80, 0), shot.pixel(153, 70), shot.pixel(80, 143)}),
                 (QList<QRgb>{shadow, shadow, white, white}));
        QCOMPARE((QList<QRgb>{shot.pixel(1, 70), shot.pixel(80, 1), shot.pixel(152, 70), shot.pixel(80, 142)}),
                 (QList<QRgb>{shadow, shadow, face, face}));
    }
};

QTEST_MAIN(StaffBoxTest)
#include "staff_box_test.moc"
