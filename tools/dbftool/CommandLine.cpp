#include "CommandLine.h"

#include "ToolError.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdlib>

namespace dbftool {

namespace {

struct TSubcommands {
    CLI::App* Info;
    CLI::App* Dump;
    CLI::App* Eval;
    CLI::App* Create;
    CLI::App* Append;
    CLI::App* Update;
    CLI::App* Delete;
    CLI::App* Recall;
    CLI::App* Pack;
    CLI::App* Zap;
    CLI::Option* Language;
    CLI::Option* AppendFile;
    CLI::Option* AppendCsv;
};

CLI::App* AddTableCommand(CLI::App& app, const char* name, TRequest& request) {
    CLI::App* command = app.add_subcommand(name);
    command->add_option("TABLE", request.Table)->required();
    return command;
}

// --ignore-case and --no-partial, the filter options; with needed, only beside that option.
void AddFilterOptions(CLI::App& command, TExpressionRequest& expression, CLI::Option* needed = nullptr) {
    CLI::Option* ignoreCase = command.add_flag("--ignore-case", expression.IgnoreCase);
    CLI::Option* noPartial = command.add_flag("--no-partial", expression.NoPartial);
    if (needed) {
        ignoreCase->needs(needed);
        noPartial->needs(needed);
    }
}

TSubcommands DefineCommands(CLI::App& app, TRequest& request, std::string& languageText, int& updateRecNo) {
    TSubcommands commands{};
    commands.Info = AddTableCommand(app, "info", request);
    commands.Dump = AddTableCommand(app, "dump", request);
    commands.Dump->add_flag("--deleted", request.WithDeleted);
    CLI::Option* filter = commands.Dump->add_option("--filter", request.Expression.Text);
    AddFilterOptions(*commands.Dump, request.Expression, filter);
    commands.Eval = AddTableCommand(app, "eval", request);
    commands.Eval->add_option("EXPR", request.Expression.Text)->required();
    AddFilterOptions(*commands.Eval, request.Expression);
    commands.Eval->add_flag("--raw", request.Expression.Raw);
    commands.Create = AddTableCommand(app, "create", request);
    commands.Create->add_option("--level", request.Level)->required()->check(CLI::IsMember({3, 4, 7, 25}));
    commands.Language = commands.Create->add_option("--lang", languageText);
    commands.Create->add_option("FIELD", request.FieldSpecs)->required();
    commands.Append = AddTableCommand(app, "append", request);
    commands.AppendFile = commands.Append->add_option("FILE", request.InputFile);
    commands.AppendCsv = commands.Append->add_option("--csv", request.InputFile);
    commands.AppendCsv->excludes(commands.AppendFile);
    commands.Append->add_flag("--plain-forms", request.PlainForms);
    commands.Update = AddTableCommand(app, "update", request);
    commands.Update->add_option("RECNO", updateRecNo)->required()->check(CLI::PositiveNumber);
    commands.Update->add_option("JSON", request.Json)->required();
    commands.Update->add_flag("--plain-forms", request.PlainForms);
    commands.Delete = AddTableCommand(app, "delete", request);
    commands.Delete->add_option("RECNO", request.RecNos)->required()->check(CLI::PositiveNumber);
    commands.Recall = AddTableCommand(app, "recall", request);
    commands.Recall->add_option("RECNO", request.RecNos)->required()->check(CLI::PositiveNumber);
    commands.Pack = AddTableCommand(app, "pack", request);
    commands.Zap = AddTableCommand(app, "zap", request);
    return commands;
}

TCommand ChosenCommand(const TSubcommands& commands) {
    if (commands.Dump->parsed()) return TCommand::Dump;
    if (commands.Eval->parsed()) return TCommand::Eval;
    if (commands.Create->parsed()) return TCommand::Create;
    if (commands.Append->parsed()) return TCommand::Append;
    if (commands.Update->parsed()) return TCommand::Update;
    if (commands.Delete->parsed()) return TCommand::Delete;
    if (commands.Recall->parsed()) return TCommand::Recall;
    if (commands.Pack->parsed()) return TCommand::Pack;
    if (commands.Zap->parsed()) return TCommand::Zap;
    return TCommand::Info;
}

}  // namespace

std::optional<int> ParseLanguageId(const std::string& text) {
    if (text.empty() || text.front() == '-' || text.front() == '+') return std::nullopt;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* start = text.c_str() + (hex ? 2 : 0);
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(start, &end, hex ? 16 : 10);
    if (errno != 0 || end == start || *end != '\0' || value < 0 || value > 255) return std::nullopt;
    return static_cast<int>(value);
}

std::optional<TRequest> ParseCommandLine(int argc, char** argv) {
    TRequest request;
    std::string languageText;
    int updateRecNo = 0;
    CLI::App app("dbftool", "dbftool");
    app.require_subcommand(1, 1);
    // Every command takes it, after its name as well as before.
    app.fallthrough();
    app.add_option("--codepage", request.CodePage)->check(CLI::Range(1, 65535));
    const TSubcommands commands = DefineCommands(app, request, languageText, updateRecNo);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        return std::nullopt;
    } catch (const CLI::CallForAllHelp&) {
        return std::nullopt;
    } catch (const CLI::ParseError& error) {
        throw TUsageError(error.what());
    }
    request.Command = ChosenCommand(commands);
    if (request.Command == TCommand::Update) request.RecNos = {updateRecNo};
    if (request.Command == TCommand::Append && commands.AppendCsv->count() > 0)
        request.InputFormat = TInputFormat::Csv;
    if (request.Command == TCommand::Create && commands.Language->count() > 0) {
        request.LanguageId = ParseLanguageId(languageText);
        if (!request.LanguageId) throw TUsageError("--lang: not a language id from 0 to 255: " + languageText);
    }
    return request;
}

}  // namespace dbftool
