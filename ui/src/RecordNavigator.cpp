#include "ui/RecordNavigator.h"

#include <QHBoxLayout>
#include <QStyle>
#include <QToolButton>

#include "storage/CachedDataSet.h"
#include "ui/CommandErrors.h"
#include "ui/Hints.h"

namespace zemvalkorta {

TRecordNavigator::TRecordNavigator(CachedDataSet& dataSet, std::function<void()> post, QWidget* parent)
    : QWidget(parent), DataSet(dataSet), PostAll(std::move(post)) {
    static const std::array<const char*, 6> hints{"Первая запись",    "Предыдущая запись", "Следующая запись",
                                                  "Последняя запись", "Удалить запись",    "Сохранить изменения"};
    static const std::array<QStyle::StandardPixmap, 6> icons{
        QStyle::SP_MediaSkipBackward, QStyle::SP_MediaSeekBackward,   QStyle::SP_MediaSeekForward,
        QStyle::SP_MediaSkipForward,  QStyle::SP_DialogDiscardButton, QStyle::SP_DialogApplyButton};
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (std::size_t i = 0; i < Buttons.size(); ++i) {
        auto* button = new QToolButton(this);
        button->setIcon(style()->standardIcon(icons[i]));
        SetHint(button, QString::fromUtf8(hints[i]));
        button->setFocusPolicy(Qt::StrongFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        ConnectCommand(button, &QToolButton::clicked, this, [this, i] { Click(Button(i)); });
        layout->addWidget(button);
        Buttons[i] = button;
    }
}

void TRecordNavigator::Click(Button button) {
    if (!DataSet.IsActive()) return;
    switch (button) {
        case First:
            DataSet.First();
            break;
        case Prior:
            DataSet.Prior();
            break;
        case Next:
            DataSet.Next();
            break;
        case Last:
            DataSet.Last();
            break;
        case Delete:
            if (!DataSet.IsEmpty()) {
                if (DataSet.State() != DataSetState::Browse) DataSet.Post();
                DataSet.Delete();
            }
            break;
        case Post:
            if (PostAll) PostAll();
            break;
    }
    UpdateButtons();
}

void TRecordNavigator::UpdateButtons() {
    const bool rows = DataSet.IsActive() && !DataSet.IsEmpty();
    const int recordNumber = DataSet.RecNo();
    Buttons[First]->setEnabled(rows && recordNumber > 1);
    Buttons[Prior]->setEnabled(rows && recordNumber > 1);
    Buttons[Next]->setEnabled(rows && recordNumber < DataSet.RecordCount());
    Buttons[Last]->setEnabled(rows && recordNumber < DataSet.RecordCount());
    Buttons[Delete]->setEnabled(rows);
    Buttons[Post]->setEnabled(DataSet.IsActive() &&
                              (DataSet.State() != DataSetState::Browse || DataSet.EditorModified()));
}

}  // namespace zemvalkorta
