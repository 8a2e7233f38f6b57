#pragma once

// A print job made of templates chained one after another. Each occurrence of
// a template is built anew, page by page, through its build callback.

#include <cstddef>
#include <functional>
#include <vector>

#include "report/ReportPage.h"
#include "report/ReportTemplate.h"

namespace zemvalkorta {

using ReportBuildCallback = std::function<void(ReportPage&)>;
// Called after each built page with the pages done and the pages to build;
// returning false cancels the preparation.
using ReportProgress = std::function<bool(std::size_t done, std::size_t total)>;

class CompositeReport {
public:
    void Clear();
    void Add(const ReportTemplate& reportTemplate, ReportBuildCallback build);
    std::size_t TemplateCount() const { return entries_.size(); }

    // Builds every page of every occurrence in list order. Pages whose build
    // emitted no body are left out. Returns false when the job was cancelled
    // or produced no page; the prepared pages are then empty.
    bool Prepare(const ReportProgress& progress = {});

    const std::vector<ReportPage>& Pages() const { return pages_; }

private:
    struct Entry {
        const ReportTemplate* Template;
        ReportBuildCallback Build;
    };
    std::vector<Entry> entries_;
    std::vector<ReportPage> pages_;
};

}  // namespace zemvalkorta
