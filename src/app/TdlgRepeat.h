#pragma once
// "Repeat Markers": the repeat start, repeat end with its count, and loop of one PlayPage
// measure. It shows and returns values only; the page's model applies them.
#include <QDialog>
#include <optional>

#include "pages/PlayPage.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace strumox::app {

class TdlgRepeat : public QDialog {
    Q_OBJECT
public:
    explicit TdlgRepeat(QWidget* parent = nullptr);

    // Shows the dialog for measure number `measure` (1-based) set to `shown`; what the user
    // chose on OK, nothing on Cancel.
    std::optional<pages::PlayPage::RepeatDialogValues> ask(int measure, const pages::PlayPage::RepeatDialogValues& shown);

    QLabel* lblNum = nullptr;
    QCheckBox* cbReturn = nullptr;
    QCheckBox* cbRepeat = nullptr;
    QLineEdit* editRepeat = nullptr;
    QCheckBox* cbLoop = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace strumox::app
