#include "ui/RecordNavigator.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

#include "storage/CachedDataSet.h"
#include "ui/CommandErrors.h"
#include "ui/Hints.h"

namespace zemvalkorta {

TRecordNavigator::TRecordNavigator(CachedDataSet& dataSet, std::function<void()> post, QWidget* parent)
    : QWidget(parent), dataSet_(dataSet), postAll_(std::move(post)) {
    static const std::array<const char*, 6> hints{"Первая запись",    "Предыдущая запись", "Следующая запись",
                                                  "Последняя запись", "Удалить запись",    "Сохранить изменения"};
    static const std::array<QStyle::StandardPixmap, 6> icons{
        QStyle::SP_MediaSkipBackward, QStyle::SP_MediaSeekBackward,   QStyle::SP_MediaSeekForward,
        QStyle::SP_MediaSkipForward,  QStyle::SP_DialogDiscardButton, QStyle::SP_DialogApplyButton};
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        auto* button = new QToolButton(this);
        button->setIcon(style()->standardIcon(icons[i]));
        SetHint(button, QString::fromUtf8(hints[i]));
        button->setFocusPolicy(Qt::StrongFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        ConnectCommand(button, &QToolButton::clicked, this, [this, i] { Click(Button(i)); });
        layout->addWidget(button);
        buttons_[i] = button;
    }
}

void TRecordNavigator::Click(Button button) {
    if (!dataSet_.IsActive()) return;
    switch (button) {
        case First:
            dataSet_.First();
            break;
        case Prior:
            dataSet_.Prior();
            break;
        case Next:
            dataSet_.Next();
            break;
        case Last:
            dataSet_.Last();
            break;
        case Delete:
            if (!dataSet_.IsEmpty()) {
                if (dataSet_.State() != DataSetState::Browse) dataSet_.Post();
                dataSet_.Delete();
            }
            break;
        case Post:
            if (postAll_) postAll_();
            break;
    }
    UpdateButtons();
}

void TRecordNavigator::UpdateButtons() {
    const bool rows = dataSet_.IsActive() && !dataSet_.IsEmpty();
    const int recordNumber = dataSet_.RecNo();
    buttons_[First]->setEnabled(rows && recordNumber > 1);
    buttons_[Prior]->setEnabled(rows && recordNumber > 1);
    buttons_[Next]->setEnabled(rows && recordNumber < dataSet_.RecordCount());
    buttons_[Last]->setEnabled(rows && recordNumber < dataSet_.RecordCount());
    buttons_[Delete]->setEnabled(rows);
    buttons_[Post]->setEnabled(dataSet_.IsActive() &&
                               (dataSet_.State() != DataSetState::Browse || dataSet_.EditorModified()));
}

}  // namespace zemvalkorta
