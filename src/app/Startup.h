#pragma once
class QApplication;

namespace strumox::app {

// Names, style and the face every picture's geometry was laid out for.
void configureApplication(QApplication& app);

}  // namespace strumox::app
