#pragma once

// The modal preview of a prepared report: pages two side by side, zoom,
// printing and saving as JPEG pictures (the default) or PDF.

#include <QDialog>
#include <QWidget>
#include <vector>

#include "report/ReportPage.h"

class QScrollArea;

namespace zemvalkorta {

// Draws the pages in two columns at the zoom, only those in view.
class ReportPageView : public QWidget {
    Q_OBJECT

public:
    explicit ReportPageView(const std::vector<ReportPage>& pages, QWidget* parent = nullptr);

    // Screen pixels per template unit.
    void SetZoom(double zoom);
    double Zoom() const { return zoom_; }
    // The zoom at which two pages fill the given width.
    static double TwoPageZoom(int width);
    QRect PageRect(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const std::vector<ReportPage>& pages_;
    double zoom_ = 0.5;
};

inline const QString JpegFilter = QStringLiteral("Рисунок JPEG (*.jpg)");
inline const QString PdfFilter = QStringLiteral("Документ PDF (*.pdf)");

class ReportPreviewDialog : public QDialog {
    Q_OBJECT

public:
    // The dialog keeps a reference: the pages must outlive it.
    explicit ReportPreviewDialog(const std::vector<ReportPage>& pages, QWidget* parent = nullptr);

    ReportPageView* PageView() const { return view_; }
    void ZoomIn();
    void ZoomOut();
    void ShowTwoPages();
    void Print();
    void Save();
    // Writes the pages as the filter says: PDF, or one JPEG per page at
    // quality 100. Shows progress for long reports; false when the file could
    // not be written or the operator cancelled.
    bool SaveReport(const QString& fileName, const QString& filter);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const std::vector<ReportPage>& pages_;
    QScrollArea* scrollArea_;
    ReportPageView* view_;
    bool fitting_ = true;  // keeps two pages in view until the operator zooms
    bool saveCancelled_ = false;
};

}  // namespace zemvalkorta
