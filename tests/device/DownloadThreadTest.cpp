#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <array>

#include "DeviceTestSupport.h"
#include "device/DeviceScreenShotUnit.h"
#include "device/DownloadThread.h"
#include "device/DownloadUnit.h"

namespace zemvalkorta::test {
namespace {

// A port whose commands take `delay` each and ignore any stop request.
class SlowPort final : public CommandPort {
public:
    explicit SlowPort(std::chrono::milliseconds delay) : delay_(delay) {}
    std::uint32_t UsbCommand(std::uint32_t, std::span<const std::uint8_t>, std::span<std::uint8_t> reply) override {
        ++calls;
        std::this_thread::sleep_for(delay_);
        std::fill(reply.begin(), reply.end(), std::uint8_t{0});
        if (reply.size() == 20) {
            reply[0] = 16;
            reply[8] = 0x03, reply[9] = 0x00, reply[10] = 0x01;  // 65539
            reply[12] = 100;
        } else if (reply.size() == 16) {
            const std::string identity = "ZEMVALKORTA-1.0";
            std::copy(identity.begin(), identity.end(), reply.begin() + 1);
        }
        ++finished;
        return 0;
    }
    std::atomic<int> calls{0};
    std::atomic<int> finished{0};

private:
    std::chrono::milliseconds delay_;
};

struct Received {
    std::vector<std::pair<int, quint32>> Messages;
    bool Ended = false;
};

void Collect(TDownloadThread& worker, Received& received) {
    QObject::connect(&worker, &TDownloadThread::Message, [&received](int code, quint32 value) {
        received.Messages.emplace_back(code, value);
        if (code != TDownloadThread::ProgressCode) received.Ended = true;
    });
}

void SpinUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition() && std::chrono::steady_clock::now() < deadline)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

class DownloadWorker : public InstrumentTest {
protected:
    void SetUp() override { EnsureApplication(); }
};

TEST_F(DownloadWorker, ProgressThenDoneAsQueuedMessages) {
    StartInstrument(SmallContent(3));
    ConnectedHub();
    TDownloadThread worker(hub_);
    Received received;
    Collect(worker, received);
    worker.Start();
    SpinUntil([&] { return received.Ended; }, std::chrono::seconds(5));
    ASSERT_TRUE(worker.Stop());
    EXPECT_EQ(received.Messages, (std::vector<std::pair<int, quint32>>{{1, 0}, {1, 33}, {1, 66}, {2, 0}}));
    EXPECT_EQ(worker.Status(), 0u);
    EXPECT_EQ(worker.TakeResults().size(), 3u);
}

TEST_F(DownloadWorker, ErrorCarriesTheStatus) {
    sim::InstrumentFaults faults;
    faults.BadVersion = true;
    StartInstrument(SmallContent(3), faults);
    ConnectedHub();
    TDownloadThread worker(hub_);
    Received received;
    Collect(worker, received);
    worker.Start();
    SpinUntil([&] { return received.Ended; }, std::chrono::seconds(5));
    ASSERT_TRUE(worker.Stop());
    EXPECT_EQ(received.Messages, (std::vector<std::pair<int, quint32>>{{3, WrongInstrumentStatus}}));
    EXPECT_EQ(worker.Status(), WrongInstrumentStatus);
    EXPECT_TRUE(worker.TakeResults().empty());
}

TEST_F(DownloadWorker, NoInstrumentIsAnErrorNotAHang) {
    auto hub = std::make_shared<UsbHub>(FastOptions(directory_.Path()));
    TDownloadThread worker(hub);
    Received received;
    Collect(worker, received);
    worker.Start();
    ASSERT_TRUE(worker.Stop());
    SpinUntil([&] { return received.Ended; }, std::chrono::seconds(2));
    EXPECT_EQ(worker.Status(), UsbStatusNoDevice);
    EXPECT_EQ(received.Messages, (std::vector<std::pair<int, quint32>>{{3, UsbStatusNoDevice}}));
}

TEST_F(DownloadWorker, StopIsHonouredBetweenTransfers) {
    auto port = std::make_shared<SlowPort>(std::chrono::milliseconds(20));
    TDownloadThread worker(port);
    worker.Start();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_TRUE(worker.Stop());
    EXPECT_EQ(worker.Status(), DownloadStopped);
    EXPECT_TRUE(worker.TakeResults().empty());
    EXPECT_LT(port->calls.load(), 20);
}

TEST_F(DownloadWorker, WorkerStuckPastTheWaitIsReportedAndJoined) {
    auto port = std::make_shared<SlowPort>(std::chrono::milliseconds(1500));
    std::weak_ptr<SlowPort> watch = port;
    const SlowPort& slow = *port;  // alive until the worker lets go of it
    {
        auto worker = std::make_unique<TDownloadThread>(std::move(port));
        Received received;
        Collect(*worker, received);
        worker->Start();
        ASSERT_TRUE(WaitUntil([&] { return slow.calls.load() == 1; }, std::chrono::seconds(5)));
        // The wait ends while the first command is still in flight.
        EXPECT_FALSE(worker->Stop(std::chrono::milliseconds(50)));
        EXPECT_EQ(slow.finished.load(), 0);
        EXPECT_EQ(worker->Status(), 0xFFFFFFFFu);
        EXPECT_EQ(CommunicationErrorText(worker->Status()), "Ошибка связи FFFFFFFF");
        EXPECT_TRUE(worker->TakeResults().empty());
        worker.reset();
        // Joined: the command in flight ended, no further one was sent, and
        // nothing of the worker holds the port any more.
        EXPECT_TRUE(watch.expired());
        QCoreApplication::processEvents();
        EXPECT_FALSE(received.Ended);
    }
}

TEST_F(DownloadWorker, StatusStaysFailedWhenTheWorkerEndsAfterTheWait) {
    auto port = std::make_shared<SlowPort>(std::chrono::milliseconds(300));
    TDownloadThread worker(port);
    worker.Start();
    ASSERT_TRUE(WaitUntil([&] { return port->calls.load() == 1; }, std::chrono::seconds(5)));
    EXPECT_FALSE(worker.Stop(std::chrono::milliseconds(10)));
    // A second, longer wait sees the worker end; what it did after the first
    // wait had given up on it is not handed out.
    EXPECT_TRUE(worker.Stop(std::chrono::seconds(10)));
    EXPECT_EQ(worker.Status(), 0xFFFFFFFFu);
    EXPECT_TRUE(worker.TakeResults().empty());
    EXPECT_EQ(port->calls.load(), 1);
}

// The operator cancels while the instrument is slow to answer, and the wait
// gives up on the worker; a screen capture started at once waits for the
// command in flight and then gets its own reply, not the worker's.
TEST_F(DownloadWorker, CaptureRightAfterACancelGetsItsOwnReply) {
    sim::InstrumentFaults faults;
    faults.StallAt = 9;  // the first samples block: OUT 8, IN 9
    faults.StallFor = std::chrono::milliseconds(1500);
    sim::InstrumentServer& instrument = StartInstrument(SmallContent(3), faults);
    // The program's own transfer time-out, which the stall stays within.
    UsbOptions options = FastOptions(directory_.Path());
    options.TransferTimeout = UsbTransferTimeout;
    hub_ = std::make_shared<UsbHub>(options);
    ASSERT_EQ(hub_->UsbInit(), 0u);
    ASSERT_TRUE(WaitUntil([&] { return hub_->IsDeviceConnected(); }, std::chrono::seconds(5)));
    auto worker = std::make_unique<TDownloadThread>(hub_);
    worker->Start();
    ASSERT_TRUE(WaitUntil([&] { return instrument.TransferCount() >= 9; }, std::chrono::seconds(5)));
    EXPECT_FALSE(worker->Stop(std::chrono::milliseconds(50)));

    std::array<std::uint8_t, DisplayBytes> display{};
    EXPECT_EQ(FetchDisplay(*hub_, display), 0u);
    EXPECT_EQ(display, sim::RenderInstrumentScreen(SmallContent(3)));
    // The worker ended after its command: no header of the second measurement was asked.
    EXPECT_EQ(instrument.TransferCount(), 11);
    EXPECT_EQ(CommunicationErrorText(worker->Status()), "Ошибка связи FFFFFFFF");
    worker.reset();
    EXPECT_EQ(hub_.use_count(), 1);
}

}  // namespace
}  // namespace zemvalkorta::test
