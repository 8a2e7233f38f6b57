#pragma once

// The embedded database engine runs inside our process, and a damaged project
// file can make it crash or hang there, taking every unsaved change of the
// window with it. A file is therefore first opened by zemvalkorta-probe, a
// process of its own that opens the project and reads every row as the
// program would; only a file that the probe came through is attached here.

#include <atomic>
#include <chrono>
#include <string>

namespace zemvalkorta {

struct ProbeOutcome {
    bool Usable = false;
    // Why the file cannot be used: the project's own refusal, or what
    // happened to the engine (a signal, no answer within the time limit).
    std::string Error;
};

enum class ProbeDepth {
    Rows,        // the identity and every row, without the measurement images
    Everything,  // the rows and every measurement image
};

// The probe program: next to the running executable, else the one of the
// build tree. Empty when there is none.
std::string ProbeExecutable();

// The refusal of a check the operator cancelled.
inline constexpr const char* CheckCancelledText = "the check of the file was cancelled";

// Runs the probe on a local project file. A probe that has not finished
// within timeLimit, or whose cancel flag is set meanwhile, is killed and the
// file counts as unusable. May run on any thread.
ProbeOutcome ProbeProjectFile(const std::string& probe, const std::string& path, std::chrono::milliseconds timeLimit,
                              ProbeDepth depth = ProbeDepth::Everything, const std::atomic<bool>* cancel = nullptr);

// What the program does before it attaches to a project: nothing for a file
// on a server; else the probe, reading the images too unless the file is
// one we closed cleanly (CheckedProjects.h). Returns why the file must be
// refused, or nothing.
std::string CheckBeforeOpening(const std::string& path, std::chrono::milliseconds timeLimit,
                               const std::atomic<bool>* cancel = nullptr);

// A path of the form "host:/path" or "host/port:path" is opened by a server,
// whose own process meets the file; only local files need the probe.
bool IsServerPath(const std::string& path);

}  // namespace zemvalkorta
