#include "device/DeviceScreenShotUnit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <fstream>
#include <stdexcept>

#include "core/ProgramFolders.h"
#include "device/DownloadUnit.h"

namespace zemvalkorta {

void ScreenPicture::ClearPicture() {
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x)
            pixels_[static_cast<std::size_t>(y * PictureWidth + x)] =
                x <= 0 || y <= 0 || x >= PictureWidth - 1 || y >= PictureHeight - 1;
}

void ScreenPicture::SetDisplay(std::span<const std::uint8_t, DisplayBytes> display) {
    for (std::size_t k = 0; k < DisplayBytes; ++k) {
        const int x = static_cast<int>(k % DisplayWidth) + 2;
        for (int bit = 0; bit < 8; ++bit) {
            const int y = 8 * static_cast<int>(k / DisplayWidth) + bit + 2;
            pixels_[static_cast<std::size_t>(y * PictureWidth + x)] = ((display[k] >> bit) & 1) != 0;
        }
    }
}

std::uint32_t FetchDisplay(CommandPort& port, std::array<std::uint8_t, DisplayBytes>& display) {
    return port.UsbCommand(ScreenCommand, {}, display);
}

QImage PaintPicture(const ScreenPicture& picture, std::uint32_t penColor, std::uint32_t backgroundColor) {
    auto toRgb = [](std::uint32_t color) { return qRgb(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF); };
    QImage image(PictureWidth, PictureHeight, QImage::Format_RGB32);
    const QRgb pen = toRgb(penColor);
    const QRgb background = toRgb(backgroundColor);
    for (int y = 0; y < PictureHeight; ++y)
        for (int x = 0; x < PictureWidth; ++x) image.setPixel(x, y, picture.Pixel(x, y) ? pen : background);
    return image;
}

void SavePictureBitmap(const QImage& image, const std::filesystem::path& path) {
    const int width = image.width();
    const int height = image.height();
    const std::uint32_t rowBytes = static_cast<std::uint32_t>((width * 3 + 3) & ~3);
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> file(54 + pixelBytes, 0);
    auto put16 = [&file](std::size_t at, std::uint32_t value) {
        file[at] = static_cast<std::uint8_t>(value);
        file[at + 1] = static_cast<std::uint8_t>(value >> 8);
    };
    auto put32 = [&](std::size_t at, std::uint32_t value) {
        put16(at, value & 0xFFFF);
        put16(at + 2, value >> 16);
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<std::uint32_t>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    put16(26, 1);
    put16(28, 24);
    put32(34, pixelBytes);
    put32(38, 2835);  // 72 dpi
    put32(42, 2835);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = &file[54 + static_cast<std::size_t>(height - 1 - y) * rowBytes];
        for (int x = 0; x < width; ++x) {
            const QRgb color = image.pixel(x, y);
            std::uint8_t* pixel = row + 3 * static_cast<std::size_t>(x);  // blue, green, red
            pixel[0] = static_cast<std::uint8_t>(qBlue(color));
            pixel[1] = static_cast<std::uint8_t>(qGreen(color));
            pixel[2] = static_cast<std::uint8_t>(qRed(color));
        }
    }
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    stream.close();
    if (!stream) throw std::runtime_error("Cannot write " + path.string());
}

void CopyPictureToClipboard(const QImage& image) {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setImage(image);
}

std::filesystem::path ScreenshotFilePath() {
    const std::filesystem::path folder = FoldersOf(ProgramFilePath()).Data;
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder / ScreenshotFileName;
}

}  // namespace zemvalkorta
