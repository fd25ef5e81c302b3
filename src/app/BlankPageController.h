#pragma once
// A page whose own work has not been built yet: a white picture of the page's size in a scroll
// box. It already answers for what the rest of the window expects of the page (tuning controls,
// Show Arpeggio, the File menu caption) and holds the documents the page will save.
#include <QObject>

#include "app/PageController.h"

class QScrollArea;

namespace strumox::app {

class FretboardController;

class BlankPageController : public QObject, public PageController {
    Q_OBJECT
public:
    struct Behaviour {
        pages::Page page;
        bool tuningEditable = false;
        // Show Arpeggio empties the fretboard (true) or leaves it as it is (false).
        bool arpeggioClears = false;
        QString newCaption;
        std::vector<session::DocumentKind> documents;
    };
    BlankPageController(Behaviour behaviour, FretboardController& fretboard, QWidget* parent);

    pages::Page page() const override { return m_b.page; }
    QWidget* view() const override;
    QAbstractScrollArea* scrollBox() const override;
    bool tuningEditable() const override { return m_b.tuningEditable; }
    void showOnFretboard() override;
    std::optional<pages::DiagramRecord> arpeggioChord() const override;
    QString newCaption() const override { return m_b.newCaption; }
    std::vector<session::CloseDocument> closeDocuments() const override;

    // The state of one of the page's documents; nullptr for a kind the page does not hold.
    session::DocumentState* document(session::DocumentKind kind);

private:
    Behaviour m_b;
    FretboardController& m_fretboard;
    QScrollArea* m_scroll = nullptr;
    std::vector<session::DocumentState> m_documents;
};

}  // namespace strumox::app
