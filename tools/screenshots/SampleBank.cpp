#include "tools/screenshots/SampleBank.h"

#include "dataset/DataSet.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <stdexcept>
#include <string>

namespace {

void SetFields(const nlohmann::json& question, ds::TDataSet& table) {
    for (const auto& [key, value] : question.items()) {
        ds::TField* field = table.FindField(key);
        if (field == nullptr) continue;
        if (value.is_boolean())
            field->SetAsBoolean(value.get<bool>());
        else if (value.is_string())
            field->SetAsString(value.get<std::string>());
    }
}

}  // namespace

QString SampleBankPath() { return QStringLiteral(QUARZEL_SAMPLE_BANK); }

int LoadSampleBank(ds::TDataSet& table, const QString& path) {
    std::ifstream input(path.toStdString());
    if (!input) throw std::runtime_error("cannot read " + path.toStdString());
    int appended = 0;
    int lineNumber = 0;
    for (std::string line; std::getline(input, line);) {
        ++lineNumber;
        if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
        const nlohmann::json question = nlohmann::json::parse(line, nullptr, false);
        if (question.is_discarded() || !question.is_object())
            throw std::runtime_error(path.toStdString() + ":" + std::to_string(lineNumber) + ": not a JSON object");
        if (!question.contains("FRAGENR")) continue;
        table.Append();
        SetFields(question, table);
        table.Post();
        ++appended;
    }
    return appended;
}
