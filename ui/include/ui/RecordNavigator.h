#pragma once

// First, previous, next, last, delete and post for the measurement data set.

#include <QWidget>
#include <array>
#include <functional>

class QToolButton;

namespace zemvalkorta {

class CachedDataSet;

class TRecordNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Delete, Post };

    // `post` posts every edit in progress (the data module's PostChanges).
    TRecordNavigator(CachedDataSet& dataSet, std::function<void()> post, QWidget* parent = nullptr);

    // Enables the buttons that can act on the data set now.
    void UpdateButtons();
    QToolButton* ButtonAt(Button button) const { return buttons_[std::size_t(button)]; }

private:
    void Click(Button button);

    CachedDataSet& dataSet_;
    std::function<void()> postAll_;
    std::array<QToolButton*, 6> buttons_{};
};

}  // namespace zemvalkorta
