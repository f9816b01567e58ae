#pragma once
// Runs one of the built programs as a user's shell would, with no terminal on stdin, and keeps
// what it printed and its exit status.

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace pv::test {

struct ProgramRun {
    int status = -1;
    std::string out;
};

// `redirect` says which streams reach `out`, in shell syntax ("2>&1" for both, "2>&1 >/dev/null"
// for stderr alone, ">/dev/null 2>&1" for none).
inline ProgramRun RunProgram(const std::string& commandLine, const std::string& redirect = "2>&1") {
    ProgramRun r;
    std::FILE* p = ::popen((commandLine + " </dev/null " + redirect).c_str(), "r");
    if (!p) return r;
    char buf[4096];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int st = ::pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

}  // namespace pv::test
