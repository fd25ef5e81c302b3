#pragma once
// What every start of the program does, shared by the real executable and the test host that
// runs it under a private instance name.
#include <QString>
#include <string>

class QApplication;

namespace strumox::app {

// Application name, style and font.
void configureApplication(QApplication& app);

// One run of the program: becomes the first copy under `instanceKey` or hands the command line
// over to the copy that is, then shows the window for `appDir` (ending with '/') and runs the
// event loop. Returns the exit code.
int runProgram(QApplication& app, const QString& instanceKey, const std::string& appDir);

}  // namespace strumox::app
