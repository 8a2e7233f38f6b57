#pragma once

// A multi-line text field bound to a text blob of a data set's current row.
// Typing marks the data set as edited at once (the project counts as changed
// before the field is left); leaving the field writes the text and posts it.

#include <QPlainTextEdit>
#include <functional>
#include <string>

namespace zemvalkorta {

class CachedDataSet;

class BlobTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    using Reader = std::function<std::string()>;
    using Writer = std::function<void(const std::string&)>;
    using Poster = std::function<void()>;

    BlobTextEdit(CachedDataSet& dataSet, Reader reader, Writer writer, Poster poster, QWidget* parent = nullptr);
    ~BlobTextEdit() override;

    // Writes typed text into the field (no posting); nothing when untouched.
    void WritePending();
    // Writes typed text and posts it into the cache.
    void Commit();
    // Shows the field's value of the current row, dropping nothing typed.
    void Reload();
    // From now on the editor writes nothing: its owner is going away, and
    // the focus leaving it while the window closes must not reach the data.
    void Detach();

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    CachedDataSet& dataSet_;
    Reader read_;
    Writer write_;
    Poster post_;
    int observerId_ = 0;
    bool pending_ = false;
    bool busy_ = false;
};

}  // namespace zemvalkorta
