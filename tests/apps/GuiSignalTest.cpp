// The window program asked to end by a signal, as a session manager or a
// script does: the request is the operator's close, also after the database
// client has put in handlers of its own for SIGINT and SIGTERM.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

bool Handles(pid_t process, int signal) {
    std::ifstream status("/proc/" + std::to_string(process) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1;
    return false;
}

// Waits for the child to end; false when it is still running at the limit.
bool WaitForExit(pid_t child, int& status, std::chrono::seconds limit) {
    for (const auto until = Clock::now() + limit; Clock::now() < until;) {
        if (waitpid(child, &status, WNOHANG) == child) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

class GuiSignalTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zemvalkorta-gui-signal-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
        std::filesystem::create_directory(folder_ / "run");
        chmod((folder_ / "run").c_str(), 0700);
        project_ = folder_ / "p.fdb";
        const std::string create = std::string(ZEMVALKORTA_CLI) + " create '" + project_.string() + "' >/dev/null";
        ASSERT_EQ(std::system(create.c_str()), 0);
    }
    void TearDown() override {
        if (child_ > 0) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // Starts the window on the project and waits until it has attached it.
    void StartWindow() {
        std::vector<std::string> environment{"QT_QPA_PLATFORM=offscreen",
                                             "XDG_RUNTIME_DIR=" + (folder_ / "run").string(),
                                             "XDG_CACHE_HOME=" + (folder_ / "cache").string()};
        for (char** variable = environ; *variable != nullptr; ++variable) {
            const std::string text = *variable;
            if (text.rfind("QT_QPA_PLATFORM=", 0) != 0 && text.rfind("XDG_RUNTIME_DIR=", 0) != 0 &&
                text.rfind("XDG_CACHE_HOME=", 0) != 0)
                environment.push_back(text);
        }
        std::vector<char*> envp;
        for (auto& text : environment) envp.push_back(text.data());
        envp.push_back(nullptr);
        std::string program = ZEMVALKORTA_GUI, path = project_.string();
        char* argv[] = {program.data(), path.data(), nullptr};
        ASSERT_EQ(posix_spawn(&child_, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);
        const auto until = Clock::now() + std::chrono::seconds(60);
        int status = 0;
        while (!Handles(child_, SIGTERM) && Clock::now() < until) {
            ASSERT_NE(waitpid(child_, &status, WNOHANG), child_) << "the window ended by itself";
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ASSERT_TRUE(Handles(child_, SIGTERM)) << "the window never attached its project";
    }

    std::filesystem::path folder_;
    std::filesystem::path project_;
    pid_t child_ = -1;
};

TEST_F(GuiSignalTest, EachTerminationSignalClosesTheWindowWithNothingPending) {
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE("signal " + std::to_string(signal));
        StartWindow();
        // Right away: the window may still be opening the project.
        kill(child_, signal);
        int status = 0;
        ASSERT_TRUE(WaitForExit(child_, status, std::chrono::seconds(60))) << "the window kept running";
        child_ = -1;
        EXPECT_TRUE(WIFEXITED(status)) << "ended by the signal itself instead of closing";
        if (WIFEXITED(status)) {
            EXPECT_EQ(WEXITSTATUS(status), 0);
        }
    }
    // The project still opens.
    const std::string info = std::string(ZEMVALKORTA_CLI) + " info '" + project_.string() + "' >/dev/null";
    EXPECT_EQ(std::system(info.c_str()), 0);
}

}  // namespace
