#pragma once

// The check of a project file runs in a process of its own and can take up to
// half a minute on a damaged file. It is waited for beside the event loop:
// the window keeps painting, and after a moment a progress window offers
// "Отмена", which refuses the file as a damaged one would be.

#include <QString>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>

namespace zemvalkorta {

inline constexpr std::chrono::milliseconds CheckProgressDelay{400};

// Runs check on a thread of its own (joined before returning) with a cancel
// flag that "Отмена" sets, and returns its result.
std::string RunCheckWithProgress(QWidget* parent, const QString& label,
                                 const std::function<std::string(const std::atomic<bool>& cancel)>& check);

// CheckBeforeOpening of the file the way TMainDataModule::SetFileCheck wants it.
std::string CheckProjectWithProgress(QWidget* parent, const std::string& path, std::chrono::milliseconds limit);

}  // namespace zemvalkorta
