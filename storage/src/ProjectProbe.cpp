#include "storage/ProjectProbe.h"

#include "storage/CheckedProjects.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

extern char** environ;

namespace zemvalkorta {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t OutputLimit = std::size_t{64} * 1024;

class Pipe {
public:
    Pipe() {
        if (::pipe2(ends_, O_CLOEXEC) != 0) ends_[0] = ends_[1] = -1;
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    bool IsOpen() const { return ends_[0] >= 0; }
    int Read() const { return ends_[0]; }
    int Write() const { return ends_[1]; }
    void CloseRead() { Close(ends_[0]); }
    void CloseWrite() { Close(ends_[1]); }

private:
    static void Close(int& end) {
        if (end >= 0) ::close(end);
        end = -1;
    }
    int ends_[2] = {-1, -1};
};

std::string Trimmed(std::string text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    std::size_t first = 0;
    while (first < text.size() && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    return text.substr(first);
}

std::string Seconds(std::chrono::milliseconds span) {
    const auto tenths = (span.count() + 50) / 100;
    return std::to_string(tenths / 10) + (tenths % 10 != 0 ? "." + std::to_string(tenths % 10) : "") + " s";
}

// Collects what the probe writes until it closes its end or time runs out.
// Returns false on time-out.
bool Cancelled(const std::atomic<bool>* cancel) { return cancel != nullptr && cancel->load(); }

bool Collect(int descriptor, Clock::time_point deadline, std::string& output, const std::atomic<bool>* cancel) {
    char buffer[4096];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || Cancelled(cancel)) return false;
        pollfd wanted{descriptor, POLLIN, 0};
        // Short slices, so that a cancel ends the check at once.
        const int ready = ::poll(&wanted, 1, static_cast<int>(std::min<long long>(left.count(), 50)));
        if (ready < 0 && errno != EINTR) return true;
        if (ready <= 0) continue;
        const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return true;
        if (output.size() < OutputLimit) output.append(buffer, static_cast<std::size_t>(got));
    }
}

// Waits for the child until the deadline; false when it is still running then.
bool Reap(pid_t child, Clock::time_point deadline, int& status, const std::atomic<bool>* cancel) {
    for (;;) {
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child) return true;
        if (done < 0 && errno != EINTR) return true;
        if (Clock::now() >= deadline || Cancelled(cancel)) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

}  // namespace

std::string ProbeExecutable() {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        const auto beside = self.parent_path() / "zemvalkorta-probe";
        if (::access(beside.c_str(), X_OK) == 0) return beside.string();
        // Installed: <prefix>/bin/zemvalkorta finds <prefix>/lib/zemvalkorta/zemvalkorta-probe.
        const auto installed =
            (self.parent_path().parent_path() / ZEMVALKORTA_HELPER_DIR / "zemvalkorta-probe").lexically_normal();
        if (::access(installed.c_str(), X_OK) == 0) return installed.string();
    }
#ifdef ZEMVALKORTA_PROBE_BUILD_PATH
    if (::access(ZEMVALKORTA_PROBE_BUILD_PATH, X_OK) == 0) return ZEMVALKORTA_PROBE_BUILD_PATH;
#endif
    return {};
}

bool IsServerPath(const std::string& path) {
    if (path.find("://") != std::string::npos) return true;
    const auto colon = path.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    return path[0] != '/' && path[0] != '.';
}

ProbeOutcome ProbeProjectFile(const std::string& probe, const std::string& path, std::chrono::milliseconds timeLimit,
                              ProbeDepth depth, const std::atomic<bool>* cancel) {
    const auto deadline = Clock::now() + timeLimit;
    Pipe output;
    if (!output.IsOpen())
        return {false, std::string("cannot check the file: ") + std::generic_category().message(errno)};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, output.Write(), 1);
    posix_spawn_file_actions_adddup2(&actions, output.Write(), 2);
    const std::string parent = std::to_string(::getpid());
    std::vector<char*> argv{const_cast<char*>(probe.c_str())};
    if (depth == ProbeDepth::Rows) argv.push_back(const_cast<char*>("--rows-only"));
    argv.push_back(const_cast<char*>(path.c_str()));
    argv.push_back(const_cast<char*>(parent.c_str()));
    argv.push_back(nullptr);
    // The child starts with no signal blocked and none ignored, whatever this
    // program did with its own.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    pid_t child = -1;
    const int spawnError = ::posix_spawn(&child, probe.c_str(), &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    output.CloseWrite();
    if (spawnError != 0)
        return {false, "cannot start " + probe + " to check the file: " + std::generic_category().message(spawnError)};

    std::string text;
    int status = -1;  // stays so if the child cannot be waited for (SIGCHLD ignored)
    const bool finished = Collect(output.Read(), deadline, text, cancel) && Reap(child, deadline, status, cancel);
    if (!finished) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        if (Cancelled(cancel)) return {false, CheckCancelledText};
        return {false, "the database engine did not finish opening the file within " + Seconds(timeLimit) +
                           "; the file is damaged or held by a program that stopped answering"};
    }
    text = Trimmed(std::move(text));
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return {true, {}};
    if (WIFEXITED(status) && WEXITSTATUS(status) == 1 && !text.empty()) return {false, text};
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        // glibc's strsignal writes a shared buffer only for an unknown signal, and a
        // child ended by a signal names a known one.
        const char* name = strsignal(signal);  // NOLINT(concurrency-mt-unsafe)
        return {false, "the database engine failed on the file (signal " + std::to_string(signal) + ", " + name +
                           "); the file is damaged"};
    }
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return {false, "checking the file ended with status " + std::to_string(code) + (text.empty() ? "" : ": " + text)};
}

std::string CheckBeforeOpening(const std::string& path, std::chrono::milliseconds timeLimit,
                               const std::atomic<bool>* cancel) {
    if (timeLimit.count() <= 0 || IsServerPath(path)) return {};
    const std::string probe = ProbeExecutable();
    if (probe.empty()) {
        static const bool warned = [] {
            std::fprintf(stderr, "zemvalkorta: zemvalkorta-probe not found; project files are opened unchecked\n");
            return true;
        }();
        static_cast<void>(warned);
        return {};
    }
    const ProbeDepth depth = IsCleanlyClosed(path) ? ProbeDepth::Rows : ProbeDepth::Everything;
    ProbeOutcome outcome = ProbeProjectFile(probe, path, timeLimit, depth, cancel);
    return outcome.Usable ? std::string() : outcome.Error;
}

}  // namespace zemvalkorta
