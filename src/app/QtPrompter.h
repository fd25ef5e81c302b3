#pragma once
#include "session/Prompter.h"

class QWidget;

namespace strumox::app {

// Question boxes titled "Strumox" with a question icon, and the platform's file dialogs.
class QtPrompter : public session::Prompter {
public:
    explicit QtPrompter(QWidget* parent) : m_parent(parent) {}
    session::Answer askYesNo(const std::string& question, bool defaultNo) override;
    session::Answer askYesNoCancel(const std::string& question) override;
    void message(const std::string& text) override;
    std::string openFileName(const std::string& title, const std::string& dir, const std::string& filter) override;
    std::string saveFileName(const std::string& title, const std::string& dir, const std::string& filter) override;

private:
    QWidget* m_parent;
};

}  // namespace strumox::app
