#pragma once
// "Change PlayPage Tempo": the song's tempo in beats per minute, typed or set on a bar.
#include <QDialog>
#include <optional>

class QLineEdit;
class QScrollBar;

namespace strumox::app {

class TdlgTempo : public QDialog {
    Q_OBJECT
public:
    explicit TdlgTempo(QWidget* parent = nullptr);

    // Shows `bpm`; the tempo chosen, held to 10..250, on OK; nothing on Cancel.
    std::optional<int> ask(int bpm);

    QLineEdit* meditTempo = nullptr;
    QScrollBar* scrollTempo = nullptr;
};

}  // namespace strumox::app
