#pragma once

// A private socket directory with virtual instruments in it and a USB unit
// scanning it, for the device tests.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "device/USB.h"
#include "device/sim/InstrumentServer.h"

namespace zemvalkorta::test {

class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Waits up to `limit` for the condition, checking every few milliseconds.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);

UsbOptions FastOptions(const std::filesystem::path& directory);

// Waits until the hub's scanner has looked at its directory `scans` more
// times from now, so that whatever is there now has been seen.
bool WaitForScans(const UsbHub& hub, int scans = 2);

class InstrumentTest : public ::testing::Test {
protected:
    // Starts an instrument named `name` in the directory; fails the test if it cannot listen.
    sim::InstrumentServer& StartInstrument(sim::InstrumentContent content, sim::InstrumentFaults faults = {},
                                           const std::string& name = "a.sock");
    // A hub scanning the directory, started and connected.
    UsbHub& ConnectedHub();

    TemporaryDirectory directory_;
    std::vector<std::unique_ptr<sim::InstrumentServer>> instruments_;
    std::shared_ptr<UsbHub> hub_;
};

// A content of `count` small measurements (ten samples, all channels).
sim::InstrumentContent SmallContent(int count);

// Makes sure a QGuiApplication exists (offscreen) for queued signals and the clipboard.
void EnsureApplication();

}  // namespace zemvalkorta::test
