#include "ui/BlobTextEdit.h"

#include "storage/CachedDataSet.h"
#include "ui/CommandErrors.h"

namespace zemvalkorta {

TBlobTextEdit::TBlobTextEdit(CachedDataSet& dataSet, Reader reader, Writer writer, Poster poster, QWidget* parent)
    : QPlainTextEdit(parent),
      DataSet(dataSet),
      Read(std::move(reader)),
      Write(std::move(writer)),
      Post(std::move(poster)) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (Busy) return;
        Pending = true;
        DataSet.SetEditorModified(true);
    });
    ObserverId = DataSet.AddObserver([this](DataSetEvent event) {
        if (Busy) return;
        switch (event) {
            case DataSetEvent::BeforePost:
                WritePending();
                break;
            case DataSetEvent::CurrentChanged:
            case DataSetEvent::DataChanged:
            case DataSetEvent::RowChanged:
                if (!Pending) Reload();
                break;
            case DataSetEvent::StateChanged:
                if (!DataSet.IsActive()) Reload();
                break;
        }
    });
}

TBlobTextEdit::~TBlobTextEdit() { DataSet.RemoveObserver(ObserverId); }

void TBlobTextEdit::Detach() {
    Write = nullptr;
    Post = nullptr;
}

void TBlobTextEdit::WritePending() {
    if (!Write || !Pending || !DataSet.IsActive() || DataSet.IsEmpty()) return;
    Pending = false;
    Busy = true;
    try {
        Write(toPlainText().toStdString());
    } catch (...) {
        Busy = false;
        throw;
    }
    Busy = false;
    DataSet.SetEditorModified(false);
}

void TBlobTextEdit::Commit() {
    WritePending();
    if (Post) Post();
}

void TBlobTextEdit::Reload() {
    Busy = true;
    const bool readable = DataSet.IsActive() && !DataSet.IsEmpty();
    setPlainText(readable ? QString::fromStdString(Read()) : QString());
    Busy = false;
    Pending = false;
    DataSet.SetEditorModified(false);
}

void TBlobTextEdit::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    RunCommand(this, [this] { Commit(); });
}

}  // namespace zemvalkorta
