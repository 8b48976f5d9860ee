// velloq-server: see --help.

#include "server/CommandLine.h"
#include "server/Files.h"
#include "server/SharingServer.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <pthread.h>
#include <thread>

using namespace velloq::server;

int main(int argc, char** argv) {
    auto parsed = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed) {
        std::cerr << "velloq-server: " << parsed.error().message << " (see --help)\n";
        return 2;
    }
    if (parsed.value().showHelp) {
        std::cout << usageText();
        return 0;
    }
    if (parsed.value().showVersion) {
        std::cout << "velloq-server " << VELLOQ_SERVER_VERSION << "\n";
        return 0;
    }
    const ServerConfig& config = parsed.value().config;

    // Signals are taken by one thread that stops the server; every other thread
    // inherits the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    auto created = SharingServer::create(config);
    if (!created) {
        std::cerr << "velloq-server: " << created.error().message << "\n";
        return 1;
    }
    SharingServer& server = *created.value();
    if (config.readyFile) {
        if (auto wrote = writeFileAtomically(*config.readyFile, server.readyJson(), 0600); !wrote) {
            std::cerr << "velloq-server: " << wrote.error().message << "\n";
            return 1;
        }
    }
    std::thread signalWaiter([&server, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
    });
    std::cout << server.readyLine() << std::endl;
    server.run();
    // Wake the waiter if serving ended for another reason.
    pthread_kill(signalWaiter.native_handle(), SIGTERM);
    signalWaiter.join();
    if (config.readyFile) {
        std::remove(config.readyFile->c_str());
    }
    return 0;
}
