#include "app/TdlgTempo.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include "playback/Tempo.h"

namespace strumox::app {

TdlgTempo::TdlgTempo(QWidget* parent) : QDialog(parent)
{
    setObjectName("TdlgTempo");
    setWindowTitle("Change PlayPage Tempo");
    setFixedSize(280, 150);

    auto* caption = new QLabel("Beats per minute (10 - 250):", this);
    caption->setGeometry(12, 12, 180, 20);
    meditTempo = new QLineEdit(this);
    meditTempo->setObjectName("meditTempo");
    meditTempo->setInputMask("000");
    meditTempo->setGeometry(200, 10, 48, 22);

    scrollTempo = new QScrollBar(Qt::Horizontal, this);
    scrollTempo->setObjectName("scrollTempo");
    scrollTempo->setRange(playback::kMinBpm, playback::kMaxBpm);
    scrollTempo->setPageStep(10);
    scrollTempo->setGeometry(12, 48, 256, 18);
    connect(scrollTempo, &QScrollBar::valueChanged, this,
            [this](int bpm) { meditTempo->setText(QString::number(bpm)); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setGeometry(12, 104, 256, 32);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<int> TdlgTempo::ask(int bpm)
{
    scrollTempo->setValue(bpm);
    meditTempo->setText(QString::number(bpm));
    meditTempo->selectAll();
    meditTempo->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    const int held = playback::holdBpm(meditTempo->text().trimmed().toStdString(), bpm);
    meditTempo->setText(QString::number(held));
    return held;
}

}  // namespace strumox::app
