#pragma once
// Runs the built strumox-cli as a user would: through the shell, stdout and stderr apart.
// Needs STRUMOX_APPDIR, which tests/CMakeLists.txt defines for every GoogleTest target.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <sys/wait.h>

#include "TempDir.h"

namespace strumox::testsupport {

inline const std::string kCli = STRUMOX_APPDIR "/strumox-cli";

// s between single quotes, for /bin/sh.
inline std::string shellQuoted(const std::string& s)
{
    std::string out = "'";
    for (const char c : s)
        out += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct CliRun {
    int status = -1;  // the exit status; -1 when the program did not exit normally
    std::string out;
    std::string err;

    std::vector<std::string> lines() const { return splitLines(out); }
};

// Runs strumox-cli with args; with a time limit in seconds, a run that has not ended by then is
// killed (status 137, as timeout(1) reports SIGKILL), so a program that blocks fails its test
// instead of hanging the suite.
inline CliRun runCli(const std::vector<std::string>& args, int timeLimit = 0)
{
    const TempDir scratch;
    std::string command = timeLimit > 0 ? "timeout -s KILL " + std::to_string(timeLimit) + " " : "";
    command += shellQuoted(kCli);
    for (const auto& a : args)
        command += " " + shellQuoted(a);
    command += " 2>" + shellQuoted(scratch.file("stderr"));

    CliRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        ADD_FAILURE() << "popen failed for " << command;
        return run;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
    const int wait = ::pclose(pipe);
    run.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    run.err = scratch.read("stderr");
    return run;
}

}  // namespace strumox::testsupport
