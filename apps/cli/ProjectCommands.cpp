// Project commands: create a project, look into it, add measurement images as
// a download does, edit a measurement as the result grids and the graph
// buttons do, delete one, export one as text. Every command opens the project
// as the program does and saves what it changed.

#include <algorithm>
#include <array>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "Commands.h"
#include "OperatorOption.h"
#include "core/Catalogue.h"
#include "core/FrostGraphicScaling.h"
#include "core/JsonText.h"
#include "core/MeasureEdits.h"
#include "core/MeasureImage.h"
#include "core/MeasureJson.h"
#include "report/LocaleFormat.h"
#include "storage/MainDataModuleUnit.h"
#include "storage/TextExport.h"

namespace zemvalkorta::cli {

namespace {

void OpenOrFail(TMainDataModule& module, const std::string& path) {
    if (!module.OpenProject(path)) throw std::runtime_error("Не удалось открыть проект! " + module.LastError());
}

void SaveProject(TMainDataModule& module) {
    module.PostChanges();
    module.SaveChanges();
    module.CloseProject();
}

void LocateOrFail(TMainDataModule& module, const std::string& key) {
    std::int64_t pk = ParseInteger(key, "PK");
    if (!module.ResultDataSet().Locate(MeasureResultTablePk, pk))
        throw std::runtime_error("Нет измерения с ключом " + key);
}

TMeasureResult ReadCurrent(TMainDataModule& module) {
    TMeasureResult measure;
    if (module.ReadMeasure(measure) != 0) throw std::runtime_error("Измерение не содержит данных");
    return measure;
}

Json DateValue(const FieldValue& value) {
    const auto* stamp = std::get_if<TimeStamp>(&value);
    return stamp == nullptr ? Json(nullptr) : Json(DateTimeText(DateTimeFromTimeStamp(*stamp)));
}

int RunCreate(const Arguments& arguments) {
    const std::string& path = arguments.At(0);
    std::error_code error;
    std::filesystem::remove(path, error);
    if (error) throw std::runtime_error("Не удалось создать проект! " + error.message());
    TMainDataModule module;
    if (!module.CreateProject(path)) throw std::runtime_error("Не удалось создать проект! " + module.LastError());
    OpenOrFail(module, path);
    return ExitSuccess;
}

int RunInfo(const Arguments& arguments) {
    TMainDataModule module;
    OpenOrFail(module, arguments.At(0));
    CachedDataSet& description = module.DescriptionDataSet();
    std::string name = AsText(description.Value(DeviceNameField));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    auto version = AsInteger(description.Value(DeviceDataVersionField));
    std::string text = module.ProjectDescription();
    if (arguments.Has("--json")) {
        std::cout << JsonText({{"DEVICE_NAME", name},
                               {"DEVICE_DATA_VERSION", version},
                               {"PROJECT_DESCRIPTION", text},
                               {"RowCount", module.GetRecordCount()}})
                  << "\n";
    } else {
        std::cout << name << "\n"
                  << "Data version: " << version << "\nMeasurements: " << module.GetRecordCount() << "\n"
                  << text << "\n";
    }
    return ExitSuccess;
}

int RunList(const Arguments& arguments) {
    TMainDataModule module;
    OpenOrFail(module, arguments.At(0));
    CachedDataSet& rows = module.ResultDataSet();
    bool json = arguments.Has("--json");
    if (json) std::cout << "[";
    for (int row = 1; row <= rows.RecordCount(); ++row) {
        rows.SetRecNo(row);
        auto pk = AsInteger(rows.Value(MeasureResultTablePk));
        FieldValue number = rows.Value(MeasureNumberField);
        const Json numberValue = IsNull(number) ? Json(nullptr) : Json(AsInteger(number));
        if (json) {
            // Rows are written as they are read, one to a line.
            std::cout << (row > 1 ? ",\n " : "")
                      << JsonText({{"MEASURE_RESULT_TABLE_PK", pk},
                                   {"MEASURE_DATE", DateValue(rows.Value(MeasureDateField))},
                                   {"MEASURE_TIME", DateValue(rows.Value(MeasureTimeField))},
                                   {"MEASURE_NUMBER", numberValue},
                                   {"MEASURE_COMMENT", module.MeasureComment()}});
        } else {
            std::cout << pk << "\t" << JsonText(DateValue(rows.Value(MeasureDateField))) << "\t"
                      << JsonText(numberValue) << "\t" << module.MeasureComment() << "\n";
        }
    }
    if (json) std::cout << "]\n";
    return ExitSuccess;
}

void PrintRecord(const TMeasureResult& measure, const std::string& comment, const Arguments& arguments) {
    Json json = MeasureJsonObject(measure, {.Curves = arguments.Has("--curves")});
    json["MEASURE_COMMENT"] = comment;
    std::cout << JsonText(json, MeasureJsonLayout()) << "\n";
}

int RunShow(const Arguments& arguments) {
    TMainDataModule module;
    OpenOrFail(module, arguments.At(0));
    if (arguments.Has("--original")) {
        const std::int64_t pk = ParseInteger(arguments.At(1), "PK");
        if (const auto original = module.History().Original(pk)) {
            if (!original->AsInserted)
                std::cerr << "the measurement is older than the history of changes: this is its record when the "
                             "history began\n";
            PrintRecord(DecodeMeasure(original->Image), original->Comment.value_or(""), arguments);
            return ExitSuccess;
        }
        // A measurement older than the history and never amended since is
        // still as it was when the history began.
        LocateOrFail(module, arguments.At(1));
        std::cerr << "the measurement is older than the history of changes and unchanged since it began\n";
    } else {
        LocateOrFail(module, arguments.At(1));
    }
    PrintRecord(ReadCurrent(module), module.MeasureComment(), arguments);
    return ExitSuccess;
}

int RunAddImage(const Arguments& arguments) {
    TArrayOfMeasureResult measures;
    for (std::size_t i = 1; i < arguments.Positional().size(); ++i) {
        StopPoint();
        measures.push_back(ReadMeasureImageFile(arguments.At(i)));
    }
    TMainDataModule module;
    OpenOrFail(module, arguments.At(0));
    StopPoint();
    ApplyOperatorOption(arguments, module);
    int added = StoreDownloadedMeasures(module, measures);
    // The last point before the save; the save itself is one unit and runs to its end.
    StopPoint();
    SaveProject(module);
    std::cout << "{\"Added\": " << added << "}\n";
    return ExitSuccess;
}

int ParseChannel(const std::string& text, const TMeasureResult& measure) {
    int channel = ParseInteger(text, "CHANNEL");
    if (channel < 1 || channel > ChannelCount) throw UsageError("CHANNEL: 1, 2 or 3 expected");
    if (!CanEditChannelProperties(measure, channel - 1))
        throw std::runtime_error("Канал " + text + " не содержит бетонного образца");
    return channel - 1;
}

template <std::size_t Count>
std::array<double, Count> ParseList(const std::string& text, std::string_view what) {
    std::vector<double> values;
    std::stringstream stream(text);
    std::string item;
    while (std::getline(stream, item, ',')) values.push_back(ParseDouble(item, what));
    if (values.size() != Count)
        throw UsageError(std::string(what) + ": " + std::to_string(Count) + " comma-separated numbers expected");
    std::array<double, Count> list{};
    std::copy(values.begin(), values.end(), list.begin());
    return list;
}

// The general-parameters dialog: kind, geometry, model coefficients in model mode only.
void ApplyGeneralParameters(const Arguments& arguments, TMeasureResult& measure) {
    auto concrete = arguments.Value("--concrete");
    auto geometry = arguments.Value("--geometry");
    auto model = arguments.Value("--model");
    if (!concrete && !geometry && !model) return;
    if (!CanEditGeneralParameters(measure)) throw std::runtime_error("Измерение содержит только стандартный образец");
    GeneralParametersEdit edit;
    if (model) {
        if (!HasEditableModel(measure))
            throw std::runtime_error("Измерение с физическим стандартным образцом не имеет модели");
        edit.ModelCoefficients = ParseList<4>(*model, "--model");
    }
    if (concrete) edit.ConcreteKind = ParseInteger(*concrete, "--concrete");
    if (geometry) edit.GeometryKind = ParseInteger(*geometry, "--geometry");
    ApplyGeneralParameters(measure, edit);
}

// The channel-properties dialog of one concrete channel.
void ApplyChannelProperties(const Arguments& arguments, TMeasureResult& measure) {
    auto dims = arguments.Value("--dims");
    auto primary = arguments.Value("--primary");
    auto saturated = arguments.Value("--saturated");
    auto age = arguments.Value("--age");
    auto channelText = arguments.Value("--channel");
    if (!channelText) {
        if (dims || primary || saturated || age)
            throw UsageError("--dims, --primary, --saturated, --age need --channel");
        return;
    }
    if (!dims && !primary && !saturated && !age)
        throw UsageError("--channel needs --dims, --primary, --saturated or --age");
    int channel = ParseChannel(*channelText, measure);
    ChannelPropertiesEdit edit;
    if (dims) edit.PatternDimensions = ParseList<3>(*dims, "--dims");
    if (primary) edit.PrimaryWeight = ParseDouble(*primary, "--primary");
    if (saturated) edit.SaturatedWeight = ParseDouble(*saturated, "--saturated");
    edit.PatternAge = age;
    ApplyChannelProperties(measure, channel, edit);
}

// The stretch, compress and undo buttons of a channel's graph.
void ApplyStretch(const std::string& text, TMeasureResult& measure) {
    auto colon = text.find(':');
    if (colon == std::string::npos) throw UsageError("--stretch: CHANNEL:up, CHANNEL:down or CHANNEL:reset expected");
    int channel = ParseChannel(text.substr(0, colon), measure);
    std::string step = text.substr(colon + 1);
    CurveScaling scaling{};
    if (step == "up") {
        scaling = CurveScaling::Stretch;
    } else if (step == "down") {
        scaling = CurveScaling::Compress;
    } else if (step == "reset") {
        scaling = CurveScaling::Reset;
    } else {
        throw UsageError("--stretch: up, down or reset expected after the channel");
    }
    double& factor = measure.CurveStretch[std::size_t(channel)];
    factor = ScaledStretch(factor, scaling);
}

int RunSet(const Arguments& arguments) {
    TMainDataModule module;
    OpenOrFail(module, arguments.At(0));
    ApplyOperatorOption(arguments, module);
    LocateOrFail(module, arguments.At(1));
    TMeasureResult measure = ReadCurrent(module);
    ApplyGeneralParameters(arguments, measure);
    ApplyChannelProperties(arguments, measure);
    if (auto stretch = arguments.Value("--stretch")) ApplyStretch(*stretch, measure);
    if (auto comment = arguments.Value("--comment")) {
        module.SetMeasureComment(*comment);
        module.PostChanges();
    }
    module.WriteMeasure(measure);
    module.ProcessMeasure();
    SaveProject(module);
    return ExitSuccess;
}

int RunDelete(const Arguments& arguments) {
    TMainDataModule module;
    OpenOrFail(module, arguments.At(0));
    ApplyOperatorOption(arguments, module);
    LocateOrFail(module, arguments.At(1));
    module.ResultDataSet().Delete();
    SaveProject(module);
    return ExitSuccess;
}

int RunExport(const Arguments& arguments) {
    TMainDataModule module;
    OpenOrFail(module, arguments.At(0));
    LocateOrFail(module, arguments.At(1));
    // Samples for people and spreadsheets: the user's decimal separator, as the window writes them.
    ExportMeasureText(ReadCurrent(module), arguments.At(2), LocaleFormatSettings());
    return ExitSuccess;
}

}  // namespace

void RegisterProjectCommands(CommandTable& table) {
    table.Add("create", "PROJECT", "create an empty project (an existing file is replaced)", RunCreate);
    table.Add("info", "PROJECT [--json]", "identity, description and number of measurements of a project", RunInfo);
    table.Add("list", "PROJECT [--json]", "the measurement rows in list order", RunList);
    table.Add("show", "PROJECT PK [--original] [--json] [--curves]",
              "the stored record of one row as JSON, with its comment; --original: its first stored record", RunShow);
    table.Add("add-image", "PROJECT IMAGE... [--operator NAME]",
              "add measurement images as a download does (duplicates skipped, new rows processed), save", RunAddImage);
    table.Add("set",
              "PROJECT PK [--concrete K] [--geometry G] [--model a0,a1,a2,a3] [--channel C (--dims x,y,z | "
              "--primary M | --saturated M | --age TEXT)] [--stretch C:up|down|reset] [--comment TEXT] "
              "[--operator NAME]",
              "edit a measurement as the grids and graph buttons do, reprocess, save", RunSet);
    table.Add("delete", "PROJECT PK [--operator NAME]", "delete one measurement row and save", RunDelete);
    table.Add("export", "PROJECT PK OUT.txt", "write the raw curves of one measurement as tab-separated text",
              RunExport);
}

}  // namespace zemvalkorta::cli
