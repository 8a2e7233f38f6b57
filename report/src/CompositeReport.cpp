#include "report/CompositeReport.h"

namespace zemvalkorta {

void CompositeReport::Clear() {
    m_entries.clear();
    m_pages.clear();
}

void CompositeReport::Add(const ReportTemplate& reportTemplate, ReportBuildCallback build) {
    m_entries.push_back(Entry{&reportTemplate, std::move(build)});
}

bool CompositeReport::Prepare(const ReportProgress& progress) {
    m_pages.clear();
    std::size_t total = 0;
    for (const auto& entry : m_entries) total += entry.Template->Pages.size();

    std::vector<ReportPage> pages;
    std::size_t done = 0;
    for (const auto& entry : m_entries) {
        for (const auto& pageTemplate : entry.Template->Pages) {
            ReportPage page(pageTemplate);
            if (entry.Build) entry.Build(page);
            if (page.BodyEmitted()) pages.push_back(std::move(page));
            ++done;
            if (progress && !progress(done, total)) return false;
        }
    }
    if (pages.empty()) return false;
    m_pages = std::move(pages);
    return true;
}

}  // namespace zemvalkorta
