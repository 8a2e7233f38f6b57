// process: runs the deformation processing on a stored measurement image, the
// same pass the program makes after a download or an edit.
// grade: the frost-resistance grade and cycles of one theta.

#include <iostream>
#include <string>

#include "Commands.h"
#include "core/Catalogue.h"
#include "core/FrostGrading.h"
#include "core/JsonText.h"
#include "core/MeasureImage.h"
#include "core/MeasureJson.h"
#include "core/NumberFormat.h"
#include "core/Processing.h"

namespace zemvalkorta::cli {

namespace {

// The program keeps one filter of window 3 for all its processing.
constexpr std::int32_t ProcessingFilterWindow = 3;

std::string GradeText(int grade) { return grade < 0 ? "?" : "F" + std::to_string(grade); }
std::string CyclesText(int cycles) { return cycles < 0 ? "?" : std::to_string(cycles); }

void PrintSummary(const TMeasureResult& measure) {
    const std::string date = DateTimeText(measure.MeasureDate);
    std::cout << "Measurement " << measure.MeasureNumber << ", " << (date.empty() ? "?" : date) << "\n"
              << "Points " << measure.PointCount << ", period "
              << NumberText(static_cast<std::uint32_t>(measure.Period)) << " s, duration "
              << DurationText(measure.Duration) << "\n"
              << "Reference: " << StandardLabel(measure.StandardPattern, measure.ModelCoefficients) << "\n"
              << "Channels: " << ChannelsLabel(measure.ActiveChannels) << "\n"
              << "Specimens: " << ConcreteKindName(measure.ConcreteKind) << ", " << GeometryName(measure.GeometryKind)
              << "\n";
    bool anyConcrete = false;
    for (int c = 0; c < ChannelCount; ++c) {
        const ChannelRole role = RoleOfChannel(measure, c);
        if (role == ChannelRole::Inactive) continue;
        std::cout << "Channel " << c + 1 << ": ";
        if (role == ChannelRole::Standard) {
            std::cout << "standard specimen\n";
            continue;
        }
        anyConcrete = true;
        std::cout << "dV " << FormatFloat("0.000", measure.DeltaVolume[c]) << " cm3, theta x 10^3 "
                  << FormatFloat("0.000", measure.Tetta[c] * 1000.0) << ", " << GradeText(measure.FrostResistance[c])
                  << ", N " << CyclesText(FrostCycles(measure.GeometryKind, measure.ConcreteKind, measure.Tetta[c]))
                  << "\n";
    }
    if (anyConcrete)
        std::cout << "Average: theta x 10^3 " << FormatFloat("0.000", measure.AverageTetta * 1000.0) << ", "
                  << GradeText(measure.AverageFrostResistance) << ", N "
                  << CyclesText(FrostCycles(measure.GeometryKind, measure.ConcreteKind, measure.AverageTetta)) << "\n";
}

int RunProcess(const Arguments& arguments) {
    const std::string& input = arguments.At(0);
    const bool curves = arguments.Has("--curves");
    const bool json = arguments.Has("--json");
    if (curves && !json) throw UsageError("process: --curves goes with --json");

    TMeasureResult measure = ReadMeasureImageFile(input);
    TMAFilter filter(ProcessingFilterWindow);
    try {
        ProcessMeasureRecord(measure, filter);
    } catch (const ProcessingError& error) {
        throw std::runtime_error(input + ": cannot process: " + error.what());
    }
    if (const auto output = arguments.Value("-o")) WriteBinaryFile(*output, EncodeMeasure(measure));
    if (json)
        std::cout << MeasureToJson(measure, {.Curves = curves}) << "\n";
    else
        PrintSummary(measure);
    return ExitSuccess;
}

int RunGrade(const Arguments& arguments) {
    const std::int32_t geometry = ParseInteger(arguments.At(0), "GEOMETRY");
    const std::int32_t kind = ParseInteger(arguments.At(1), "KIND");
    const double tetta = ParseDouble(arguments.At(2), "THETA");
    const int grade = FrostGrade(geometry, kind, tetta);
    const int cycles = FrostCycles(geometry, kind, tetta);
    if (arguments.Has("--json"))
        std::cout << JsonText({{"FrostGrade", grade}, {"FrostCycles", cycles}}) << "\n";
    else
        std::cout << GeometryName(geometry) << ", " << ConcreteKindName(kind) << "\n"
                  << "FrostGrade: " << GradeText(grade) << "\n"
                  << "FrostCycles: " << CyclesText(cycles) << "\n";
    return ExitSuccess;
}

}  // namespace

void RegisterProcessCommands(CommandTable& table) {
    table.Add("process", "IMAGE [-o OUT] [--json [--curves]]",
              "process a stored measurement image; -o writes the processed image, --json prints "
              "the record (with its curves by --curves)",
              RunProcess);
    table.Add("grade", "GEOMETRY KIND THETA [--json]",
              "frost-resistance grade and cycles of a theta (the plain ratio, not x 1000)", RunGrade);
}

}  // namespace zemvalkorta::cli
