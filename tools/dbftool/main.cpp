// dbftool: the dBASE engine's command-line tool. It reads a command line,
// runs one command on one table through the table object, and maps failures
// to exit statuses: the engine's message and 1 for a failed command, the
// reason with the usage and 2 for a command line it does not understand.
#include "CommandLine.h"
#include "CreateCommand.h"
#include "DumpCommand.h"
#include "EvalCommand.h"
#include "EditCommands.h"
#include "InfoCommand.h"
#include "MaintenanceCommands.h"
#include "TableAccess.h"
#include "ToolError.h"
#include "Usage.h"

#include "dataset/Abort.h"

#include <exception>
#include <iostream>

namespace {

constexpr int kFailed = 1;
constexpr int kUsage = 2;

void Run(const dbftool::TRequest& request) {
    using dbftool::TCommand;
    dbftool::SetDefaultCodePage(request.CodePage);
    switch (request.Command) {
        case TCommand::Info: dbftool::RunInfo(request.Table, std::cout); break;
        case TCommand::Dump: dbftool::RunDump(request.Table, request.WithDeleted, request.Expression, std::cout); break;
        case TCommand::Eval: dbftool::RunEval(request.Table, request.Expression, std::cout); break;
        case TCommand::Create: dbftool::RunCreate(request); break;
        case TCommand::Append: dbftool::RunAppend(request.Table, request.InputFile, request.InputFormat, request.PlainForms);
            break;
        case TCommand::Update: dbftool::RunUpdate(request.Table, request.RecNos.front(), request.Json, request.PlainForms);
            break;
        case TCommand::Delete: dbftool::RunDelete(request.Table, request.RecNos); break;
        case TCommand::Recall: dbftool::RunRecall(request.Table, request.RecNos); break;
        case TCommand::Pack: dbftool::RunPack(request.Table); break;
        case TCommand::Zap: dbftool::RunZap(request.Table); break;
    }
    std::cout.flush();
}

int UsageFailure(const std::string& reason) {
    std::cerr << "dbftool: " << reason << "\n\n" << dbftool::UsageText();
    return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const auto request = dbftool::ParseCommandLine(argc, argv);
        if (!request) {
            std::cout << dbftool::UsageText();
            return 0;
        }
        Run(*request);
        return 0;
    } catch (const dbftool::TUsageError& error) {
        return UsageFailure(error.what());
    } catch (const ds::EAbort&) {
        // The engine's silent abort: the table cannot be used as it stands.
        std::cerr << "The table cannot be opened: its header gives no header or record length.\n";
        return kFailed;
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return kFailed;
    }
}
