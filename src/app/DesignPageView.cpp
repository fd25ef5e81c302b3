#include "app/DesignPageView.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/UpDown.h"
#include "app/pictures/DiagramPictures.h"

namespace strumox::app {

namespace {


QGroupBox* radioGroup(QWidget* parent, const char* name, const QString& title, const QStringList& items,
                      QButtonGroup*& group, QRect geometry)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(2);
    group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], box);
        b->setObjectName(QStringLiteral("%1Item%2").arg(name).arg(i));
        b->setFocusPolicy(Qt::NoFocus);
        group->addButton(b, i);
        layout->addWidget(b);
    }
    return box;
}

}  // namespace

QString DesignStripWidget::sourceOf(const QMimeData* data)
{
    if (!data || !data->hasFormat(kDesignDragMime))
        return {};
    const QList<QByteArray> parts = data->data(kDesignDragMime).split(':');
    if (parts.size() != 2 || parts[0].toLongLong() != QCoreApplication::applicationPid())
        return {};
    return QString::fromUtf8(parts[1]);
}

void DesignStripWidget::dragEnterEvent(QDragEnterEvent* e)
{
    const QString source = sourceOf(e->mimeData());
    if (!source.isEmpty() && acceptsSource && acceptsSource(source))
        e->acceptProposedAction();
    else
        e->ignore();
}

void DesignStripWidget::dragMoveEvent(QDragMoveEvent* e)
{
    const QString source = sourceOf(e->mimeData());
    if (!source.isEmpty() && acceptsSource && acceptsSource(source))
        e->acceptProposedAction();
    else
        e->ignore();
}

void DesignStripWidget::dropEvent(QDropEvent* e)
{
    const QString source = sourceOf(e->mimeData());
    if (source.isEmpty() || !acceptsSource || !acceptsSource(source)) {
        e->ignore();
        return;
    }
    e->acceptProposedAction();
    const QPoint pt = e->position().toPoint();
    emit dropped(source, pt.x(), pt.y());
}

DesignPageView::DesignPageView(PictureWidget::Painter stripPainter, QWidget* parent) : QWidget(parent)
{
    lblCDFilePath = new QLabel("File:", this);
    lblCDFilePath->setObjectName("lblCDFilePath");
    lblCDFilePath->setGeometry(8, 4, 830, 18);

    auto* frame = new QFrame(this);
    frame->setObjectName("pnlChordDesign");
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setLineWidth(1);
    frame->setGeometry(7, 23, pictures::kDesignStripWidth + 2, pictures::kDesignStripHeight + 2);
    pnlChordDesign = frame;
    imgChordDesign = new DesignStripWidget(QSize(pictures::kDesignStripWidth, pictures::kDesignStripHeight),
                                           std::move(stripPainter), frame);
    imgChordDesign->setObjectName("imgChordDesign");
    imgChordDesign->move(1, 1);
    imgChordDesign->setAcceptDrops(true);

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

    auto* listLabel = new QLabel("Chords found (drag one onto the design group):", this);
    listLabel->setGeometry(530, 4, 310, 18);
    listChordDesign = new QListWidget(this);
    listChordDesign->setObjectName("listChordDesign");
    listChordDesign->setGeometry(530, 24, 306, 172);
    listChordDesign->viewport()->installEventFilter(this);

    staffHost = new QWidget(this);
    staffHost->setObjectName("staffHost");
    staffHost->setGeometry(848, 24, 154, 144);

    rgIntervalOp = radioGroup(this, "rgIntervalOp", "Interval Note Options",
                              {"Search For All Chords Containing These Notes",
                               "Limit Search To Chords With These Notes Only"},
                              intervalOpGroup, QRect(8, 204, 316, 66));
    rgRootOp = radioGroup(this, "rgRootOp", "Root Note Options",
                          {"Use Current Root Note Only", "Use Each Note In Chord As Root", "Use All 12 Keys As Root"},
                          rootOpGroup, QRect(332, 204, 220, 86));
    setIntervalOption(1);
    setRootOption(0);

    btnSearch = new QPushButton("Search", this);
    btnSearch->setObjectName("btnSearch");
    btnSearch->setGeometry(564, 206, 90, 26);
    btnSearch->setToolTip("Name the chord fretted on the neck");
    sbDisplayIntervals = new QToolButton(this);
    sbDisplayIntervals->setObjectName("sbDisplayIntervals");
    sbDisplayIntervals->setText("Show Intervals");
    sbDisplayIntervals->setCheckable(true);
    sbDisplayIntervals->setGeometry(662, 206, 110, 26);
    sbDisplayIntervals->setToolTip("Lay the chord type chosen below over the neck");
    sbDisplayIntervals->setStyleSheet(QStringLiteral(
        "QToolButton { border: 1px solid #8c8c8c; border-radius: 12px; padding: 1px 6px;"
        "  background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fdfdfd, stop:1 #dcdcdc); }"
        "QToolButton:checked { background: #2f6db5; color: white; border: 1px solid #183f70; }"));
    auto* typeLabel = new QLabel("Chord Type:", this);
    typeLabel->setGeometry(564, 240, 80, 20);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setGeometry(644, 238, 128, 24);
    ComboBox1->setMaxVisibleItems(20);
    ComboBox1->setToolTip("Right-click to add or delete a chord type of your own");
}

int DesignPageView::intervalOption() const { return intervalOpGroup->checkedId(); }
int DesignPageView::rootOption() const { return rootOpGroup->checkedId(); }
void DesignPageView::setIntervalOption(int item) { intervalOpGroup->button(item)->setChecked(true); }
void DesignPageView::setRootOption(int item) { rootOpGroup->button(item)->setChecked(true); }

void DesignPageView::startChordDrag(QWidget* source)
{
    auto* drag = new QDrag(source);
    auto* data = new QMimeData;
    data->setData(kDesignDragMime,
                  QByteArray::number(QCoreApplication::applicationPid()) + ':' + source->objectName().toUtf8());
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}

bool DesignPageView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        const QVariant s = watched->property("string");
        if (s.isValid())
            emit fretBoxLeft(s.toInt());
    }
    if (watched == listChordDesign->viewport()) {
        // A press on a result and a move away from it drags that chord toward the strip.
        if (event->type() == QEvent::MouseButtonPress) {
            auto* me = static_cast<QMouseEvent*>(event);
            m_listPressAt = me->button() == Qt::LeftButton && listChordDesign->itemAt(me->position().toPoint())
                                ? me->position().toPoint()
                                : QPoint(-1, -1);
        } else if (event->type() == QEvent::MouseButtonRelease) {
            m_listPressAt = QPoint(-1, -1);
        } else if (event->type() == QEvent::MouseMove && m_listPressAt.x() >= 0) {
            auto* me = static_cast<QMouseEvent*>(event);
            if ((me->position().toPoint() - m_listPressAt).manhattanLength() >= QApplication::startDragDistance()) {
                m_listPressAt = QPoint(-1, -1);
                if (listChordDesign->currentItem())
                    startChordDrag(listChordDesign);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace strumox::app
