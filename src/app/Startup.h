#pragma once
// What every start of the program does, shared by the real executable and the test host that
// runs it under a private instance name.
#include <QString>
#include <string>

#include "app/SingleInstance.h"

class QApplication;

namespace strumox::app {

// Application name, style and font.
void configureApplication(QApplication& app);

// One run of the program: hands the command line over to the first copy at `instance` when one of
// this user answers there (and returns 0), otherwise becomes the first copy itself, shows the
// window for `appDir` (ending with '/') and runs the event loop. Without a trustworthy address it
// runs unguarded. Returns the exit code.
int runProgram(QApplication& app, const InstanceAddress& instance, const std::string& appDir,
               const InstanceLimits& limits = {});

}  // namespace strumox::app
