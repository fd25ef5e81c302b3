#include "app/TdlgRepeat.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QTimer>

#include "app/pictures/PlayPagePicture.h"

namespace strumox::app {

namespace {

// A sign on a short piece of staff, twice its size so it reads in the dialog.
QLabel* signPicture(QWidget* parent, const QImage& sign, int x, int y)
{
    QImage piece = pictures::staffErase().scaled(24, sign.height());
    {
        QPainter p(&piece);
        p.drawImage(8, 0, sign);
    }
    auto* label = new QLabel(parent);
    label->setPixmap(QPixmap::fromImage(piece.scaled(piece.size() * 2)));
    label->setGeometry(x, y, 48, 66);
    return label;
}

}  // namespace

TdlgRepeat::TdlgRepeat(QWidget* parent) : QDialog(parent)
{
    setObjectName("TdlgRepeat");
    setWindowTitle("Repeat Markers");
    setFixedSize(300, 260);

    auto* caption = new QLabel("Choose Repeat Markers For Measure", this);
    caption->setGeometry(12, 10, 230, 20);
    lblNum = new QLabel(this);
    lblNum->setObjectName("lblNum");
    lblNum->setGeometry(244, 10, 40, 20);
    QFont bold = lblNum->font();
    bold.setBold(true);
    lblNum->setFont(bold);

    signPicture(this, pictures::staffReturn(), 50, 45)->setObjectName("imgReturn");
    signPicture(this, pictures::staffRepeat(), 138, 45)->setObjectName("imgRepeat");
    cbReturn = new QCheckBox("Return", this);
    cbReturn->setObjectName("cbReturn");
    cbReturn->setGeometry(44, 114, 80, 20);
    cbRepeat = new QCheckBox("Repeat", this);
    cbRepeat->setObjectName("cbRepeat");
    cbRepeat->setGeometry(132, 114, 80, 20);

    auto* howMany = new QLabel("How Many Repeats?", this);
    howMany->setGeometry(12, 146, 130, 20);
    editRepeat = new QLineEdit(this);
    editRepeat->setObjectName("editRepeat");
    editRepeat->setMaxLength(3);
    editRepeat->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), editRepeat));
    editRepeat->setGeometry(144, 144, 40, 22);
    editRepeat->installEventFilter(this);
    auto* range = new QLabel("(1 - 255)", this);
    range->setGeometry(190, 146, 70, 20);

    cbLoop = new QCheckBox("Loop", this);
    cbLoop->setObjectName("cbLoop");
    cbLoop->setGeometry(12, 178, 60, 20);
    auto* loopHint = new QLabel("Check to loop from this measure", this);
    loopHint->setGeometry(76, 178, 210, 20);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setGeometry(12, 216, 276, 32);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A repeat wants its count next.
    connect(cbRepeat, &QCheckBox::toggled, this, [this](bool checked) {
        if (checked)
            editRepeat->setFocus();
    });
}

std::optional<pages::PlayPage::RepeatDialogValues> TdlgRepeat::ask(int measure,
                                                                   const pages::PlayPage::RepeatDialogValues& shown)
{
    lblNum->setText(QString::number(measure));
    cbReturn->setChecked(shown.returnMark);
    cbRepeat->setChecked(shown.repeat);
    editRepeat->setText(QString::fromStdString(shown.countText));
    cbLoop->setChecked(shown.loop);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return pages::PlayPage::RepeatDialogValues{cbReturn->isChecked(), cbRepeat->isChecked(),
                                               editRepeat->text().toStdString(), cbLoop->isChecked()};
}

bool TdlgRepeat::eventFilter(QObject* watched, QEvent* event)
{
    // A click in the count selects all three digits, so typing replaces them.
    if (watched == editRepeat && event->type() == QEvent::MouseButtonRelease)
        QTimer::singleShot(0, editRepeat, &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}

}  // namespace strumox::app
