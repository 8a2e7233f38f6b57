// zemvalkorta-instrument: a virtual instrument on a Unix-domain socket.

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "apps/ProgramOptions.h"
#include "device/SocketCable.h"
#include "device/sim/InstrumentServer.h"

namespace {

constexpr char Program[] = "zemvalkorta-instrument";

constexpr char Usage[] =
    "Usage: zemvalkorta-instrument [OPTION]...\n"
    "Play the frost-resistance instrument on a Unix-domain socket, holding generated\n"
    "measurements, so that zemvalkorta and zemvalkorta-cli can download from it as\n"
    "from a plugged-in instrument. The socket's path is printed on standard output;\n"
    "the instrument runs until it is sent SIGINT, SIGTERM or SIGHUP.\n"
    "\n"
    "Options:\n"
    "      --socket PATH        listen on PATH (default: a new socket in the private\n"
    "                           folder where the programs look for instruments)\n"
    "      --seed N             seed of the generated measurements\n"
    "      --measurements N     number of stored measurements (0..10000)\n"
    "      --full-size          measurements of full length\n"
    "      --pace PACE          full-speed (as the real instrument) or immediate\n"
    "      --fault FAULT        misbehave: wrong-identity, bad-version, bad-header,\n"
    "                           timeout-at=K, disconnect-at=K or stall-at=K; may be\n"
    "                           repeated\n";

std::string HelpText() {
    return Usage + zemvalkorta::apps::StandardOptionsHelp() + "\n" + zemvalkorta::apps::ReportBugsHelp();
}

void UsageFailure(const std::string& message) {
    std::cerr << Program << ": " << message << '\n' << zemvalkorta::apps::TryHelpText(Program) << '\n';
}

bool ParseNumber(const char* text, long long low, long long high, long long& value) {
    char* end = nullptr;
    value = std::strtoll(text, &end, 10);
    return end != text && *end == '\0' && value >= low && value <= high;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace zemvalkorta;
    sim::GeneratorOptions generator;
    sim::InstrumentServerOptions server;
    if (const auto status = apps::HandleStandardOptions(std::vector<std::string>(argv + 1, argv + argc), Program,
                                                        HelpText(), std::cout))
        return *status;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        long long number = 0;
        if (option == "--full-size") {
            generator.FullSize = true;
            continue;
        }
        if (value == nullptr) {
            const bool known = option == "--socket" || option == "--seed" || option == "--measurements" ||
                               option == "--pace" || option == "--fault";
            UsageFailure(known ? "option " + option + " needs a value" : "unrecognized option '" + option + "'");
            return apps::ExitUsage;
        }
        ++i;
        if (option == "--socket") {
            server.SocketPath = value;
        } else if (option == "--seed" && ParseNumber(value, 0, INT64_MAX, number)) {
            generator.Seed = static_cast<std::uint64_t>(number);
        } else if (option == "--measurements" && ParseNumber(value, 0, 10000, number)) {
            generator.Count = static_cast<int>(number);
        } else if (option == "--pace" && (std::string(value) == "full-speed" || std::string(value) == "immediate")) {
            server.Pace = std::string(value) == "full-speed" ? sim::Pacing::FullSpeed : sim::Pacing::Immediate;
        } else if (option == "--fault" && sim::ParseFault(value, server.Faults)) {
        } else {
            UsageFailure("bad option " + option + " " + value);
            return apps::ExitUsage;
        }
    }
    if (server.SocketPath.empty()) {
        const auto directory = InstrumentSocketDirectory();
        if (directory.empty()) {
            std::cerr << "zemvalkorta-instrument: no private socket directory\n";
            return 1;
        }
        server.SocketPath = directory / ("instrument-" + std::to_string(::getpid()) + ".sock");
    }

    // Signals are taken by sigwait below, so that the socket file is removed
    // on the way out; the server's threads inherit the blocked mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    sim::InstrumentServer instrument(sim::GenerateContent(generator), server);
    const std::string failure = instrument.Start();
    if (!failure.empty()) {
        std::cerr << "zemvalkorta-instrument: " << failure << '\n';
        return 1;
    }
    std::cout << instrument.SocketPath().string() << std::endl;
    int received = 0;
    sigwait(&signals, &received);
    instrument.Stop();
    return 0;
}
