#include "ui/BlobTextEdit.h"

#include "storage/CachedDataSet.h"
#include "ui/CommandErrors.h"

namespace zemvalkorta {

BlobTextEdit::BlobTextEdit(CachedDataSet& dataSet, Reader reader, Writer writer, Poster poster, QWidget* parent)
    : QPlainTextEdit(parent),
      dataSet_(dataSet),
      read_(std::move(reader)),
      write_(std::move(writer)),
      post_(std::move(poster)) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (busy_) return;
        pending_ = true;
        dataSet_.SetEditorModified(true);
    });
    observerId_ = dataSet_.AddObserver([this](DataSetEvent event) {
        if (busy_) return;
        switch (event) {
            case DataSetEvent::BeforePost:
                WritePending();
                break;
            case DataSetEvent::CurrentChanged:
            case DataSetEvent::DataChanged:
            case DataSetEvent::RowChanged:
                if (!pending_) Reload();
                break;
            case DataSetEvent::StateChanged:
                if (!dataSet_.IsActive()) Reload();
                break;
        }
    });
}

BlobTextEdit::~BlobTextEdit() { dataSet_.RemoveObserver(observerId_); }

void BlobTextEdit::Detach() {
    write_ = nullptr;
    post_ = nullptr;
}

void BlobTextEdit::WritePending() {
    if (!write_ || !pending_ || !dataSet_.IsActive() || dataSet_.IsEmpty()) return;
    pending_ = false;
    busy_ = true;
    try {
        write_(toPlainText().toStdString());
    } catch (...) {
        busy_ = false;
        throw;
    }
    busy_ = false;
    dataSet_.SetEditorModified(false);
}

void BlobTextEdit::Commit() {
    WritePending();
    if (post_) post_();
}

void BlobTextEdit::Reload() {
    busy_ = true;
    const bool readable = dataSet_.IsActive() && !dataSet_.IsEmpty();
    setPlainText(readable ? QString::fromStdString(read_()) : QString());
    busy_ = false;
    pending_ = false;
    dataSet_.SetEditorModified(false);
}

void BlobTextEdit::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    RunCommand(this, [this] { Commit(); });
}

}  // namespace zemvalkorta
