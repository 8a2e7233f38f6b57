#include "report/ReportPage.h"

#include <stdexcept>

namespace zemvalkorta {

ReportPage::ReportPage(const ReportPageTemplate& pageTemplate) : template_(pageTemplate) {}

ReportTextField* ReportPage::FindText(const QString& name) {
    for (auto& field : template_.Texts)
        if (!name.isEmpty() && field.Name == name) return &field;
    return nullptr;
}

const ReportTextField* ReportPage::FindText(const QString& name) const {
    return const_cast<ReportPage*>(this)->FindText(name);
}

ReportTextField& ReportPage::Field(const QString& name) {
    ReportTextField* field = FindText(name);
    if (field == nullptr)
        throw std::out_of_range("report page " + template_.Name.toStdString() + " has no field " + name.toStdString());
    return *field;
}

void ReportPage::SetText(const QString& name, const QString& line) { Field(name).Lines = QStringList{line}; }

void ReportPage::ClearText(const QString& name) { Field(name).Lines.clear(); }

void ReportPage::AddLine(const QString& name, const QString& line) { Field(name).Lines.append(line); }

QStringList ReportPage::Lines(const QString& name) const { return const_cast<ReportPage*>(this)->Field(name).Lines; }

void ReportPage::SetChart(const ReportChart& chart) {
    if (!template_.Chart)
        throw std::out_of_range("report page " + template_.Name.toStdString() + " has no chart field");
    chart_ = chart;
}

}  // namespace zemvalkorta
