#pragma once
// The Print page: a free arrangement of up to thirty chord and scale diagrams with their texts.
#include "app/GridPageController.h"
#include "pages/PrintPageModel.h"

namespace strumox::app {

class PrintPageController : public GridPageController {
    Q_OBJECT
public:
    PrintPageController(GridPageServices services, QWidget* parent);

    pages::PrintPageModel& model() { return m_model; }
    const pages::PrintPageModel& model() const { return m_model; }

    void showSelection() override;
    void erase() override;
    bool tuningEditable() const override { return false; }
    // A selected scale offers no arpeggio; a chord, or nothing selected, does.
    std::optional<pages::DiagramRecord> arpeggioChord() const override;
    PlayItem playItem() const override;
    QString newCaption() const override { return QStringLiteral("&New Print Page"); }
    std::optional<pages::PageFileKind> fileKind() const override { return pages::PageFileKind::Print; }
    void writeFile(const std::string& path) const override;
    bool readFile(const std::string& path, std::string* error) override;
    // Leaving placement mode while a moved diagram is still in the air puts it back where it came
    // from, so a page change or a right click never loses it.
    void endPlacement() override;

    QMenu* popmenuPrint = nullptr;
    void deleteClicked();
    void moveClicked();
    void sendToScalePage();
    void sendToChordDesign();
    void sendToPlayPage();

protected:
    void paint(QPainter& p) override;
    void pressed(int x, int y, Qt::MouseButton button) override;

private:
    void place(pages::Cell cell, Qt::MouseButton button);
    pages::PrintPageModel m_model;
    QAction* m_toScale = nullptr;
    QAction* m_toDesign = nullptr;
    QAction* m_toPlayPage = nullptr;
};

}  // namespace strumox::app
