#include "app/DesignPageView.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpressionValidator>
#include <QToolButton>

#include "app/UpDown.h"

namespace strumox::app {

DesignPageView::DesignPageView(QWidget* parent) : QWidget(parent)
{
    lblCDFilePath = new QLabel("File:", this);
    lblCDFilePath->setObjectName("lblCDFilePath");
    lblCDFilePath->setGeometry(8, 4, 600, 18);

    imgChordDesign = new QWidget(this);
    imgChordDesign->setObjectName("imgChordDesign");
    imgChordDesign->setGeometry(8, 26, 456, 110);
    imgChordDesign->setAutoFillBackground(true);
    QPalette pal = imgChordDesign->palette();
    pal.setColor(QPalette::Window, Qt::white);
    imgChordDesign->setPalette(pal);

    // Finger marker group: the marker written for each newly fretted string.
    auto* markerLabel = new QLabel("Finger Marker No:", this);
    markerLabel->setGeometry(8, 146, 120, 20);
    markerGroup = new QButtonGroup(this);
    markerGroup->setExclusive(true);
    const char* names[] = {"sbtnOne", "sbtnTwo", "sbtnThree", "sbtnFour"};
    sbtnPlain = new QToolButton(this);
    sbtnPlain->setObjectName("sbtnPlain");
    sbtnPlain->setText("P");
    sbtnPlain->setToolTip("Fretted, no finger number");
    sbtnPlain->setCheckable(true);
    sbtnPlain->setChecked(true);
    sbtnPlain->setGeometry(128, 144, 24, 24);
    markerGroup->addButton(sbtnPlain, 6);
    for (int i = 0; i < 4; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(names[i]);
        b->setText(QString::number(i + 1));
        b->setToolTip(QStringLiteral("Finger %1").arg(i + 1));
        b->setCheckable(true);
        b->setGeometry(156 + 28 * i, 144, 24, 24);
        markerGroup->addButton(b, i + 1);
        sbtnFinger[static_cast<size_t>(i)] = b;
    }

    auto makeNoteControl = [this](const QString& label, int x, const char* editName, const char* udName,
                                  QLineEdit*& edit, UpDown*& ud) {
        auto* l = new QLabel(label, this);
        l->setGeometry(x, 176, 36, 20);
        edit = new QLineEdit(this);
        edit->setObjectName(editName);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setGeometry(x + 36, 176, 36, 20);
        edit->setAlignment(Qt::AlignCenter);
        ud = new UpDown(0, 11, 0, true, this);
        ud->setObjectName(udName);
        ud->setGeometry(x + 73, 176, 14, 20);
    };
    makeNoteControl("Root:", 8, "editRoot", "udRoot", editRoot, udRoot);
    makeNoteControl("Bass:", 110, "editBass", "udBass", editBass, udBass);

    // Fret boxes, string 0 (high E) on top like the strings of the picture.
    auto* tabLabel = new QLabel("Frets:", this);
    tabLabel->setGeometry(476, 26, 40, 18);
    const QRegularExpression twoDigits("[0-9]{0,2}");
    for (int s = 0; s < 6; ++s) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QStringLiteral("editTab%1").arg(s));
        e->setMaxLength(2);
        e->setValidator(new QRegularExpressionValidator(twoDigits, e));
        e->setGeometry(476, 46 + 18 * s, 32, 17);
        e->setAlignment(Qt::AlignCenter);
        e->setProperty("string", s);
        e->installEventFilter(this);
        editTab[static_cast<size_t>(s)] = e;
    }

    auto* listLabel = new QLabel("Chords found:", this);
    listLabel->setGeometry(530, 26, 200, 18);
    listChordDesign = new QListWidget(this);
    listChordDesign->setObjectName("listChordDesign");
    listChordDesign->setGeometry(530, 46, 240, 150);
}

bool DesignPageView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        const QVariant s = watched->property("string");
        if (s.isValid())
            emit fretBoxLeft(s.toInt());
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace strumox::app
