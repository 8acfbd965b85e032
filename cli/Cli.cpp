#include "Cli.h"

#include "CliContext.h"
#include "CliOptions.h"
#include "CollectionCommands.h"
#include "ExitCodes.h"
#include "ListCommand.h"
#include "MidiCommands.h"
#include "ParameterCommands.h"
#include "PortsCommand.h"

int RunCli(const std::vector<std::string>& args, CCliContext& context)
{
    CCliOptions options;
    std::string error;
    if (!ParseCliArguments(args, options, error)) {
        context.err << error << std::endl;
        return CLI_EXIT_USAGE;
    }
    switch (options.command) {
    case CliCommand::Help:
        context.out << CliHelpText() << std::flush;
        return CLI_EXIT_OK;
    case CliCommand::Version:
        context.out << CliVersionText() << std::flush;
        return CLI_EXIT_OK;
    case CliCommand::Ports:
        return RunPortsCommand(context.midiOut, context.out, context.err);
    case CliCommand::List:
        return RunListCommand(options.files, context.out, context.err);
    case CliCommand::Receive:
        return RunReceiveCommand(options, context);
    case CliCommand::Send:
        return RunSendCommand(options, context);
    case CliCommand::Import:
        return RunImportCommand(options, context);
    case CliCommand::Search:
        return RunSearchCommand(options, context);
    case CliCommand::Sources:
        return RunSourcesCommand(options, context);
    case CliCommand::Export:
        return RunExportCommand(options, context);
    case CliCommand::Diff:
        return RunDiffCommand(options, context);
    case CliCommand::Mark:
        return RunMarkCommand(options, context);
    case CliCommand::Check:
        return RunCheckCommand(options, context);
    case CliCommand::Detect:
        return RunDetectCommand(options, context);
    case CliCommand::Write:
        return RunWriteCommand(options, context);
    case CliCommand::Show:
        return RunShowCommand(options, context);
    case CliCommand::Compare:
        return RunCompareCommand(options, context);
    }
    return CLI_EXIT_USAGE;
}
