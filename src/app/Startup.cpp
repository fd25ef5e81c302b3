#include "app/Startup.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

namespace strumox::app {

void configureApplication(QApplication& app)
{
    QApplication::setApplicationName("Strumox");
    QApplication::setApplicationDisplayName("Strumox!");
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QFont font("Liberation Sans");
    font.setPointSize(9);
    QApplication::setFont(font);
    Q_UNUSED(app);
}

}  // namespace strumox::app
