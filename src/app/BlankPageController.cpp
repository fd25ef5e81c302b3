#include "app/BlankPageController.h"

#include <QScrollArea>

#include "app/FretboardController.h"

namespace strumox::app {

namespace {
QString pageName(pages::Page page) { return page == pages::Page::PlayPage ? "PlayPage" : "Tablature"; }
}  // namespace

BlankPageController::BlankPageController(Behaviour behaviour, FretboardController& fretboard, QWidget* parent)
    : QObject(parent), m_b(std::move(behaviour)), m_fretboard(fretboard), m_documents(m_b.documents.size())
{
    m_scroll = new QScrollArea(parent);
    m_scroll->setObjectName(QStringLiteral("scroll") + pageName(m_b.page));
    auto* picture = new QWidget;
    picture->setObjectName(QStringLiteral("img") + pageName(m_b.page));
    const pages::PixelSize size = pages::pictureSize(m_b.page);
    picture->setFixedSize(size.width, size.height);
    picture->setAutoFillBackground(true);
    QPalette pal = picture->palette();
    pal.setColor(QPalette::Window, Qt::white);
    picture->setPalette(pal);
    picture->setMouseTracking(true);
    m_scroll->setWidget(picture);
}

QWidget* BlankPageController::view() const { return m_scroll; }

QAbstractScrollArea* BlankPageController::scrollBox() const { return m_scroll; }

void BlankPageController::showOnFretboard() { m_fretboard.refresh(); }

std::optional<pages::DiagramRecord> BlankPageController::arpeggioChord() const
{
    if (m_b.arpeggioClears)
        return pages::DiagramRecord{};
    return std::nullopt;
}

std::vector<session::CloseDocument> BlankPageController::closeDocuments() const
{
    std::vector<session::CloseDocument> out;
    // Nothing saves these documents yet, so a Yes to their question keeps the window open.
    for (size_t i = 0; i < m_documents.size(); ++i)
        out.push_back({m_b.documents[i], m_documents[i], nullptr});
    return out;
}

session::DocumentState* BlankPageController::document(session::DocumentKind kind)
{
    for (size_t i = 0; i < m_documents.size(); ++i)
        if (m_b.documents[i] == kind)
            return &m_documents[i];
    return nullptr;
}

}  // namespace strumox::app
