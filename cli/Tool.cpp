#include "cli/Tool.h"

#include <iostream>

#include "cli/BackendSession.h"
#include "cli/CommandContext.h"
#include "cli/Console.h"
#include "cli/DriveAccess.h"
#include "cli/ExitStatus.h"
#include "cli/Options.h"
#include "cli/SettingCommands.h"
#include "cli/UtilityCommands.h"
#include "drive/ActiveBackend.h"

namespace tavoren::cli {
namespace {

using DriveCommand = int (*)(const CommandContext&, const SelectedDrive&);

// Null for list, which needs no selected drive.
DriveCommand DriveCommandFor(CommandKind command) {
    switch (command) {
        case CommandKind::List:
            return nullptr;
        case CommandKind::Show:
            return RunShow;
        case CommandKind::Quiet:
            return RunQuiet;
        case CommandKind::Veritrax:
            return RunVeritrax;
        case CommandKind::Led:
            return RunLed;
        case CommandKind::BusPowerCheck:
            return RunBusPowerCheck;
        case CommandKind::ForceEject:
            return RunForceEject;
        case CommandKind::FactoryReset:
            return RunFactoryReset;
    }
    return nullptr;
}

std::string DeviceNames(const std::vector<SurveyedDrive>& drives) {
    std::string names;
    for (const SurveyedDrive& drive : drives) {
        names += ' ';
        names += ActiveDeviceBackend().DeviceName(drive.drive.letter);
    }
    return names;
}

std::string JoinedArguments(const std::vector<std::string>& arguments) {
    std::string joined;
    for (const std::string& argument : arguments) joined += " " + argument;
    return joined;
}

// The trace notes mark where discovery ends and the command's own requests begin.
int RunCommand(const CommandContext& context, BackendSession& session) {
    const DriveCommand command = DriveCommandFor(context.options.command);
    if (command == nullptr) {
        const std::vector<SurveyedDrive> drives = SurveyDrives();
        session.Note("drives found:" + DeviceNames(drives));
        return RunList(context, drives);
    }
    const DriveSelection selection = SelectDrive(context.options.driveLetter);
    if (!selection.drive) return Fail(context, selection.exitStatus, selection.error);
    session.Note("drive " + selection.drive->deviceName + " selected");
    return command(context, *selection.drive);
}

}  // namespace

int RunTool(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
            std::ostream& err, std::unique_ptr<DeviceBackend> backend) {
    const ParseOutcome parsed = ParseCommandLine(arguments);
    if (!parsed.options) {
        (parsed.exitStatus == kExitOk ? out : err) << parsed.text;
        return parsed.exitStatus;
    }
    const Options& options = *parsed.options;
    if (AsksForConfirmation(options.command) && !options.yes && !Console::InputIsTerminal()) {
        err << kToolName
            << ": this command asks for confirmation and standard input is not a "
               "terminal; add --yes to go ahead without asking\n";
        return kExitNotConfirmed;
    }
    BackendSession::Started started = BackendSession::Start(options, std::move(backend));
    if (!started.session) {
        err << kToolName << ": " << started.error << '\n';
        return kExitUsage;
    }
    started.session->Note(std::string(kToolName) + " " + kToolVersion + JoinedArguments(arguments));
    Console console(in, out);
    const CommandContext context{options, console, out, err};
    int status = RunCommand(context, *started.session);
    const std::string finishError = started.session->Finish();
    if (!finishError.empty()) {
        err << kToolName << ": " << finishError << '\n';
        if (status == kExitOk) status = kExitUsage;
    }
    return status;
}

}  // namespace tavoren::cli
