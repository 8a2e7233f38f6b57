#pragma once

// The instrument's 128 x 64 display: fetched with command 6, kept in a
// framed 132 x 68 picture buffer, painted in two colours, written as a
// 24-bit bitmap file and put on the clipboard.

#include <QImage>
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "device/USB.h"

namespace zemvalkorta {

inline constexpr int DisplayWidth = 128;
inline constexpr int DisplayHeight = 64;
inline constexpr std::size_t DisplayBytes = DisplayWidth * DisplayHeight / 8;  // 1024
inline constexpr int PictureWidth = 132;
inline constexpr int PictureHeight = 68;
inline constexpr char ScreenshotFileName[] = "sceenshot.bmp";
inline constexpr char ScreenCommunicationErrorText[] = "Ошибка связи с прибором!";

class ScreenPicture {
public:
    ScreenPicture() { ClearPicture(); }

    // Frame on, margin and display off.
    void ClearPicture();
    // Copies the display memory (eight pages of 128 column bytes, bit b of a
    // byte is row 8 * page + b) into the display area; frame and margin stay.
    void SetDisplay(std::span<const std::uint8_t, DisplayBytes> display);
    bool Pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y * PictureWidth + x)]; }

private:
    std::vector<bool> pixels_ = std::vector<bool>(static_cast<std::size_t>(PictureWidth) * PictureHeight);
};

// Command 6 into `display`; returns the USB status.
std::uint32_t FetchDisplay(CommandPort& port, std::array<std::uint8_t, DisplayBytes>& display);

// Colours are 0x00BBGGRR.
QImage PaintPicture(const ScreenPicture& picture, std::uint32_t penColor, std::uint32_t backgroundColor);

// 24 bits per pixel, bottom-up rows, replacing the file. Throws
// std::runtime_error naming the file when it cannot be written.
void SavePictureBitmap(const QImage& image, const std::filesystem::path& path);

// Needs a QGuiApplication.
void CopyPictureToClipboard(const QImage& image);

// "sceenshot.bmp" in the program's data folder (core/ProgramFolders.h),
// made when missing.
std::filesystem::path ScreenshotFilePath();

}  // namespace zemvalkorta
