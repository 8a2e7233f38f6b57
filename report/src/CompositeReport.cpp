#include "report/CompositeReport.h"

namespace zemvalkorta {

void CompositeReport::Clear() {
    entries_.clear();
    pages_.clear();
}

void CompositeReport::Add(const ReportTemplate& reportTemplate, ReportBuildCallback build) {
    entries_.push_back(Entry{&reportTemplate, std::move(build)});
}

bool CompositeReport::Prepare(const ReportProgress& progress) {
    pages_.clear();
    std::size_t total = 0;
    for (const auto& entry : entries_) total += entry.Template->Pages.size();

    std::vector<ReportPage> pages;
    std::size_t done = 0;
    for (const auto& entry : entries_) {
        for (const auto& pageTemplate : entry.Template->Pages) {
            ReportPage page(pageTemplate);
            if (entry.Build) entry.Build(page);
            if (page.BodyEmitted()) pages.push_back(std::move(page));
            ++done;
            if (progress && !progress(done, total)) return false;
        }
    }
    if (pages.empty()) return false;
    pages_ = std::move(pages);
    return true;
}

}  // namespace zemvalkorta
