#include "app/QtPrompter.h"

#include <QFileDialog>
#include <QMessageBox>

namespace strumox::app {

namespace {
const QString kTitle = QStringLiteral("Strumox");
}

session::Answer QtPrompter::askYesNo(const std::string& question, bool defaultNo)
{
    const auto r = QMessageBox::question(m_parent, kTitle, QString::fromStdString(question),
                                         QMessageBox::Yes | QMessageBox::No,
                                         defaultNo ? QMessageBox::No : QMessageBox::Yes);
    return r == QMessageBox::Yes ? session::Answer::Yes : session::Answer::No;
}

session::Answer QtPrompter::askYesNoCancel(const std::string& question)
{
    const auto r = QMessageBox::question(m_parent, kTitle, QString::fromStdString(question),
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (r == QMessageBox::Yes)
        return session::Answer::Yes;
    return r == QMessageBox::No ? session::Answer::No : session::Answer::Cancel;
}

void QtPrompter::message(const std::string& text)
{
    QMessageBox::information(m_parent, kTitle, QString::fromStdString(text));
}

std::string QtPrompter::openFileName(const std::string& title, const std::string& dir, const std::string& filter)
{
    return QFileDialog::getOpenFileName(m_parent, QString::fromStdString(title), QString::fromStdString(dir),
                                        QString::fromStdString(filter))
        .toStdString();
}

std::string QtPrompter::saveFileName(const std::string& title, const std::string& dir, const std::string& filter)
{
    return QFileDialog::getSaveFileName(m_parent, QString::fromStdString(title), QString::fromStdString(dir),
                                        QString::fromStdString(filter))
        .toStdString();
}

}  // namespace strumox::app
