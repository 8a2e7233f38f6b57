#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <fstream>

#include "DeviceTestSupport.h"
#include "device/DeviceScreenShotUnit.h"

namespace zemvalkorta::test {
namespace {

int DarkPixels(const ScreenPicture& picture) {
    int count = 0;
    for (int y = 2; y < 66; ++y)
        for (int x = 2; x < 130; ++x) count += picture.Pixel(x, y) ? 1 : 0;
    return count;
}

TEST(ScreenPicture, FrameOnMarginAndDisplayOff) {
    ScreenPicture picture;
    for (int x = 0; x < PictureWidth; ++x) {
        EXPECT_TRUE(picture.Pixel(x, 0));
        EXPECT_TRUE(picture.Pixel(x, 67));
        EXPECT_FALSE(picture.Pixel(x == 0 || x == 131 ? 1 : x, 1));
    }
    for (int y = 0; y < PictureHeight; ++y) {
        EXPECT_TRUE(picture.Pixel(0, y));
        EXPECT_TRUE(picture.Pixel(131, y));
    }
    EXPECT_EQ(DarkPixels(picture), 0);
}

TEST(ScreenPicture, DisplayBytesMapToPagesAndColumns) {
    std::array<std::uint8_t, DisplayBytes> display{};
    display[0] = 0x01;
    ScreenPicture picture;
    picture.SetDisplay(display);
    EXPECT_EQ(DarkPixels(picture), 1);
    EXPECT_TRUE(picture.Pixel(2, 2));

    display[0] = 0;
    display[1023] = 0x80;
    display[128 + 5] = 0x04;  // page 1, column 5, bit 2: row 10
    picture.SetDisplay(display);
    EXPECT_EQ(DarkPixels(picture), 2);
    EXPECT_TRUE(picture.Pixel(129, 65));
    EXPECT_TRUE(picture.Pixel(7, 12));
    EXPECT_FALSE(picture.Pixel(1, 1));  // the margin is never touched

    picture.ClearPicture();
    EXPECT_EQ(DarkPixels(picture), 0);
    EXPECT_TRUE(picture.Pixel(131, 67));
}

TEST(ScreenPicture, PaintedInColoursGivenAsBlueGreenRed) {
    std::array<std::uint8_t, DisplayBytes> display{};
    display[0] = 0x01;
    ScreenPicture picture;
    picture.SetDisplay(display);
    const QImage image = PaintPicture(picture, 0x0000FF /* red */, 0xFF0000 /* blue */);
    EXPECT_EQ(image.size(), QSize(132, 68));
    EXPECT_EQ(image.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(3, 2), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(1, 1), qRgb(0, 0, 255));
}

TEST(ScreenBitmap, TwentyFourBitFileReplacedOnEveryWrite) {
    TemporaryDirectory directory;
    const auto path = directory.Path() / ScreenshotFileName;
    std::ofstream(path) << std::string(100000, 'x');  // an older, larger file
    std::array<std::uint8_t, DisplayBytes> display{};
    display[1023] = 0x80;
    ScreenPicture picture;
    picture.SetDisplay(display);
    const QImage image = PaintPicture(picture, 0x00123456, 0x00FFFFFF);
    SavePictureBitmap(image, path);

    std::ifstream stream(path, std::ios::binary);
    std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    ASSERT_EQ(file.size(), 54u + 396u * 68u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(file[28], 24);
    EXPECT_EQ(file[18], 132);
    EXPECT_EQ(file[22], 68);
    // Rows are stored bottom-up, pixels as blue, green, red: 0x00123456 has red 0x56.
    const std::size_t rowOfY65 = 54 + (67 - 65) * 396;
    EXPECT_EQ(file[rowOfY65 + 3 * 129], 0x12);
    EXPECT_EQ(file[rowOfY65 + 3 * 129 + 2], 0x56);
    EXPECT_EQ(file[rowOfY65 + 3 * 128], 0xFF);

    QImage reloaded(QString::fromStdString(path.string()));
    ASSERT_FALSE(reloaded.isNull());
    EXPECT_EQ(reloaded.convertToFormat(QImage::Format_RGB32), image);
}

TEST(ScreenBitmap, UnwritableFileIsAnError) {
    ScreenPicture picture;
    EXPECT_THROW(SavePictureBitmap(PaintPicture(picture, 0, 0xFFFFFF), "/nonexistent/dir/sceenshot.bmp"),
                 std::runtime_error);
}

TEST(ScreenClipboard, PictureReplacesTheClipboardContent) {
    EnsureApplication();
    QGuiApplication::clipboard()->setText("earlier");
    ScreenPicture picture;
    const QImage image = PaintPicture(picture, 0, 0xFFFFFF);
    CopyPictureToClipboard(image);
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), image);
}

TEST_F(InstrumentTest, FetchedScreenShowsTheInstrumentState) {
    StartInstrument(SmallContent(2));
    std::array<std::uint8_t, DisplayBytes> display{};
    ASSERT_EQ(FetchDisplay(ConnectedHub(), display), 0u);
    ScreenPicture picture;
    picture.SetDisplay(display);
    EXPECT_GT(DarkPixels(picture), 200);
    EXPECT_EQ(display, sim::RenderInstrumentScreen(SmallContent(2)));
}

TEST(ScreenFetch, WithoutInstrumentReportsTheStatus) {
    UsbOptions idle;
    idle.UseLibusb = false;
    idle.UseSockets = false;
    UsbHub hub(idle);
    std::array<std::uint8_t, DisplayBytes> display{};
    EXPECT_EQ(FetchDisplay(hub, display), UsbStatusNoDevice);
}

}  // namespace
}  // namespace zemvalkorta::test
