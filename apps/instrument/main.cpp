// zemvalkorta-instrument: a virtual instrument on a Unix-domain socket.

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "device/SocketCable.h"
#include "device/sim/InstrumentServer.h"

namespace {

constexpr char Usage[] =
    "usage: zemvalkorta-instrument [--socket PATH] [--seed N] [--measurements N] [--full-size]\n"
    "                              [--pace full-speed|immediate] [--fault FAULT]...\n"
    "faults: wrong-identity, bad-version, bad-header, timeout-at=K, disconnect-at=K, stall-at=K\n";

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
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        long long number = 0;
        if (option == "--full-size") {
            generator.FullSize = true;
            continue;
        }
        if (option == "--help" || option == "-h") {
            std::cout << Usage;
            return 0;
        }
        if (value == nullptr) {
            std::cerr << Usage;
            return 2;
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
            std::cerr << "zemvalkorta-instrument: bad option " << option << ' ' << value << '\n' << Usage;
            return 2;
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

    sim::TInstrumentServer instrument(sim::GenerateContent(generator), server);
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
