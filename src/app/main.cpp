#include "app/CommandLine.h"
#include "app/InstanceChannel.h"
#include "app/LinuxPlatform.h"
#include "app/RecordCommand.h"
#include "app/SetKeyCommand.h"
#include "app/TrayApplication.h"
#include "app/UploadCommand.h"
#include "platform/posix/TerminalEcho.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    using namespace velloq;
    const auto invocation = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (invocation.command) {
    case Command::help:
        std::cout << usageText();
        return 0;
    case Command::version:
        std::cout << "velloq " << VELLOQ_VERSION << "\n";
        return 0;
    case Command::invalid:
        std::cerr << "velloq: " << invocation.problem << "\n\n" << usageText();
        return 2;
    case Command::setKey: {
        LinuxPlatform platform;
        const platform::TerminalEchoOff quiet(STDIN_FILENO);
        return runSetKey(std::cin, std::cout, std::cerr, ::isatty(STDIN_FILENO) == 1);
    }
    case Command::capture:
    case Command::displays: {
        LinuxPlatform platform;
        return runScreenVerb(invocation.command == Command::displays, invocation.capture, argc,
                             argv);
    }
    case Command::record: {
        LinuxPlatform platform;
        return runRecord(invocation.record, argc, argv);
    }
    case Command::upload: {
        LinuxPlatform platform;
        return runUpload(invocation.files, std::cout, std::cerr, ::isatty(STDOUT_FILENO) == 1);
    }
    case Command::gui: {
        const auto request =
            invocation.recordFlow ? InstanceRequest::record : InstanceRequest::capture;
        if (InstanceChannel::request(request)) {
            return 0;
        }
        LinuxPlatform platform;
        return runTrayApplication(argc, argv, platform, request);
    }
    case Command::tray: {
        LinuxPlatform platform;
        return runTrayApplication(argc, argv, platform);
    }
    }
    return 2;
}
