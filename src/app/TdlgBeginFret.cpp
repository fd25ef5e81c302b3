#include "app/TdlgBeginFret.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "pages/BeginFretInput.h"

namespace strumox::app {

TdlgBeginFret::TdlgBeginFret(QWidget* parent) : QDialog(parent)
{
    setObjectName("TdlgBeginFret");
    setWindowTitle("Change Beginning Fret");
    auto* layout = new QVBoxLayout(this);
    lblPrompt = new QLabel("Enter a number between 1 and 20", this);
    lblPrompt->setObjectName("lblPrompt");
    layout->addWidget(lblPrompt);
    meditBeginFret = new QLineEdit(this);
    meditBeginFret->setObjectName("meditBeginFret");
    meditBeginFret->setMaxLength(2);
    meditBeginFret->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]{0,2}"), meditBeginFret));
    layout->addWidget(meditBeginFret);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TdlgBeginFret::tryAccept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void TdlgBeginFret::tryAccept()
{
    const pages::BeginFretInput in = pages::parseBeginFret(meditBeginFret->text().toStdString());
    switch (in.kind) {
    case pages::BeginFretInput::Kind::Empty:
        m_value.reset();
        accept();
        break;
    case pages::BeginFretInput::Kind::OutOfRange:
        lblPrompt->setStyleSheet("color: red;");
        break;
    case pages::BeginFretInput::Kind::Value:
        m_value = in.value;
        accept();
        break;
    }
}

std::optional<int> TdlgBeginFret::ask(int current)
{
    m_value.reset();
    lblPrompt->setStyleSheet("color: black;");
    meditBeginFret->setText(QString::number(current));
    meditBeginFret->selectAll();
    meditBeginFret->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return m_value;
}

}  // namespace strumox::app
