#pragma once

// One page of a report while it is being built and after: its own copy of the
// template's fields, found by name, the chart handed to it, and whether its
// build emitted the body band.

#include <QString>
#include <optional>

#include "report/ReportChart.h"
#include "report/ReportTemplate.h"

namespace zemvalkorta {

class ReportPage {
public:
    explicit ReportPage(const ReportPageTemplate& pageTemplate);

    const QString& Name() const { return template_.Name; }
    const ReportPageTemplate& Layout() const { return template_; }

    // nullptr when the page has no text field of that name.
    ReportTextField* FindText(const QString& name);
    const ReportTextField* FindText(const QString& name) const;

    // These throw std::out_of_range for a name the page does not have: a
    // misspelt field would otherwise vanish silently from the printout.
    void SetText(const QString& name, const QString& line);
    void ClearText(const QString& name);
    void AddLine(const QString& name, const QString& line);
    QStringList Lines(const QString& name) const;

    // Throws std::out_of_range when the page has no chart field.
    void SetChart(const ReportChart& chart);
    const std::optional<ReportChart>& Chart() const { return chart_; }

    void EmitBody() { bodyEmitted_ = true; }
    bool BodyEmitted() const { return bodyEmitted_; }

private:
    ReportTextField& Field(const QString& name);

    ReportPageTemplate template_;
    std::optional<ReportChart> chart_;
    bool bodyEmitted_ = false;
};

}  // namespace zemvalkorta
