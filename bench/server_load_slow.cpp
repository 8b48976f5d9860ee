// How many slow connections the reference sharing service holds before a
// well-behaved client waits: opens connections that never start TLS in
// growing steps, timing /healthz over verified TLS after each step. Run it
// with bench/server_load_slow.sh <build dir>.

#include "HttpClient.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <netinet/in.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using namespace velloq::server::test;

namespace {

int openIdle(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd >= 0 &&
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: velloq_server_slow_probe URL CA PORT [MAX]\n");
        return 2;
    }
    const std::string url = argv[1];
    const int port = std::stoi(argv[3]);
    const int most = argc > 4 ? std::stoi(argv[4]) : 16000;
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);

    HttpRequest health;
    health.url = url + "/healthz";
    health.caFile = argv[2];
    std::vector<int> idle;
    int held = 0;
    for (int step = 250; step <= most; step *= 2) {
        while (static_cast<int>(idle.size()) < step) {
            int fd = openIdle(port);
            if (fd < 0) {
                std::printf("could not open connection %zu\n", idle.size() + 1);
                break;
            }
            idle.push_back(fd);
        }
        double worst = 0;
        int failed = 0;
        for (int i = 0; i < 5; ++i) {
            const auto start = std::chrono::steady_clock::now();
            if (send(health).status != 204) {
                ++failed;
            }
            worst = std::max(
                worst,
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        std::printf("%zu slow connections: slowest /healthz %.0f ms, %d failed\n", idle.size(),
                    worst * 1000, failed);
        if (worst > 1.0 || failed > 0 || static_cast<int>(idle.size()) < step) {
            break;
        }
        held = static_cast<int>(idle.size());
    }
    std::printf("good client under 1 s with %d slow connections open\n", held);
    for (int fd : idle) {
        ::close(fd);
    }
    return 0;
}
