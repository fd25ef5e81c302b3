#pragma once
// "Change Beginning Fret": asks for the fret a scale position starts at, 1..20.
#include <QDialog>
#include <optional>

class QLabel;
class QLineEdit;

namespace strumox::app {

class TdlgBeginFret : public QDialog {
    Q_OBJECT
public:
    explicit TdlgBeginFret(QWidget* parent = nullptr);

    // Shows the dialog with `current` selected; the new fret, or nothing when the user cancelled
    // or left the field empty.
    std::optional<int> ask(int current);

    QLineEdit* meditBeginFret = nullptr;
    QLabel* lblPrompt = nullptr;

    // The OK button's rule, callable from tests without running the dialog's loop.
    void tryAccept();

private:
    std::optional<int> m_value;
};

}  // namespace strumox::app
