// Load check of the reference sharing service, run from a second process
// against a live server (see server_load.sh). Not a timed benchmark: it
// reports throughput and fails only on a failed request or a byte that
// came back different from what was sent.

#include "HttpClient.h"
#include "server/Crypto.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>
#include <zlib.h>

using velloq::server::Md5;
using namespace velloq::server::test;

namespace {

struct Settings {
    std::string url, ca, key;
    int clients = 8, uploads = 200, pngKiB = 500;
    int videos = 4, videoMiB = 100, partMiB = 5;
    long serverPid = 0;
};

std::atomic<long> failures{0};
std::atomic<unsigned long long> bytesMoved{0};

void failure(const std::string& what) {
    ++failures;
    std::cerr << "FAIL: " << what << "\n";
}

// Deterministic bytes that differ per stream, so a mix-up between uploads shows.
char byteAt(std::uint64_t stream, std::uint64_t offset) {
    std::uint64_t x = (stream + 1) * 0x9e3779b97f4a7c15ull + offset * 0xbf58476d1ce4e5b9ull;
    return static_cast<char>((x ^ (x >> 29)) & 0xff);
}

std::string md5Of(const std::string& data) {
    Md5 md5;
    md5.update(data.data(), data.size());
    return md5.hexDigest();
}

HttpRequest base(const Settings& s, const std::string& method, const std::string& url,
                 bool auth = true) {
    HttpRequest req;
    req.method = method;
    req.url = url.rfind("http", 0) == 0 ? url : s.url + url;
    req.caFile = s.ca;
    if (auth) {
        req.headers.push_back("Authorization: Bearer " + s.key);
    }
    return req;
}

// Fetches `url` and returns the MD5 of its body without holding it.
std::string fetchMd5(const Settings& s, const std::string& url) {
    Md5 md5;
    HttpRequest get = base(s, "GET", url, false);
    get.sink = [&](const char* data, std::size_t size) {
        md5.update(data, size);
        bytesMoved += size;
    };
    HttpResponse res = send(get);
    if (res.curlCode != 0 || res.status != 200) {
        failure("GET " + url + " status " + std::to_string(res.status));
    }
    return md5.hexDigest();
}

std::string pngChunk(const char* type, const std::string& data) {
    std::string out;
    const auto crc = static_cast<std::uint32_t>(
        crc32(crc32(0, reinterpret_cast<const Bytef*>(type), 4),
              reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    for (std::uint32_t value : {static_cast<std::uint32_t>(data.size()), crc}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            out.push_back(static_cast<char>((value >> shift) & 0xff));
        }
        if (out.size() == 4) {
            out += std::string(type, 4) + data;
        }
    }
    return out;
}

// A PNG of noise, about `bytes` long, different for every stream: the server
// decodes all of it, as it would a screenshot.
std::string noisePng(std::uint64_t stream, std::size_t bytes) {
    const std::uint32_t width = 512;
    const std::uint32_t height = static_cast<std::uint32_t>(bytes / (width * 3 + 1)) + 1;
    std::string raw;
    for (std::uint32_t y = 0; y < height; ++y) {
        raw.push_back('\0');
        for (std::uint32_t x = 0; x < width * 3; ++x) {
            raw.push_back(byteAt(stream, raw.size()));
        }
    }
    uLongf size = compressBound(raw.size());
    std::string idat(size, '\0');
    compress2(reinterpret_cast<Bytef*>(idat.data()), &size,
              reinterpret_cast<const Bytef*>(raw.data()), raw.size(), 1);
    idat.resize(size);
    std::string ihdr;
    for (std::uint32_t value : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            ihdr.push_back(static_cast<char>((value >> shift) & 0xff));
        }
    }
    ihdr += std::string("\x08\x02\0\0\0", 5);
    return std::string("\x89PNG\r\n\x1a\n", 8) + pngChunk("IHDR", ihdr) + pngChunk("IDAT", idat) +
           pngChunk("IEND", "");
}

void imageClient(const Settings& s, int client) {
    for (int i = 0; i < s.uploads; ++i) {
        std::uint64_t stream =
            static_cast<std::uint64_t>(client) * 100000 + static_cast<std::uint64_t>(i);
        const std::string image = noisePng(stream, static_cast<std::size_t>(s.pngKiB) * 1024);
        HttpRequest post = base(s, "POST", "/upload");
        post.headers.push_back("Content-Type: multipart/form-data; boundary=velloq-load");
        post.body = "--velloq-load\r\nContent-Disposition: form-data; name=\"image\"; "
                    "filename=\"screenshot.png\"\r\nContent-Type: image/png\r\n\r\n" +
                    image + "\r\n--velloq-load--\r\n";
        HttpResponse res = send(post);
        bytesMoved += post.body->size();
        auto json = nlohmann::json::parse(res.body, nullptr, false);
        if (res.status != 201 || !json.is_object() || !json.contains("url")) {
            failure("upload status " + std::to_string(res.status));
            continue;
        }
        if (fetchMd5(s, json["url"]) != md5Of(image)) {
            failure("image came back different");
        }
    }
}

void videoClient(const Settings& s, int video) {
    const std::uint64_t partSize = static_cast<std::uint64_t>(s.partMiB) << 20;
    const std::uint64_t total = static_cast<std::uint64_t>(s.videoMiB) << 20;
    const std::uint64_t stream = 1000000000ull + static_cast<std::uint64_t>(video);
    auto start = nlohmann::json::parse(send(base(s, "POST", "/videos/start")).body, nullptr, false);
    if (!start.is_object() || !start.contains("videoId")) {
        failure("start");
        return;
    }
    const std::string id = start["videoId"];
    Md5 sent;
    nlohmann::json parts = nlohmann::json::array();
    std::string bytes;
    for (std::uint64_t offset = 0, number = 1; offset < total; offset += partSize, ++number) {
        bytes.resize(static_cast<std::size_t>(std::min(partSize, total - offset)));
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = byteAt(stream, offset + i);
        }
        sent.update(bytes.data(), bytes.size());
        HttpRequest sign = base(s, "POST", "/videos/" + id + "/sign-part");
        sign.body = nlohmann::json{{"partNumber", number}}.dump();
        auto address = nlohmann::json::parse(send(sign).body, nullptr, false);
        if (!address.is_object() || !address.contains("url")) {
            failure("sign-part");
            return;
        }
        HttpRequest put = base(s, "PUT", address["url"], false);
        put.body = bytes;
        HttpResponse res = send(put);
        bytesMoved += bytes.size();
        std::string expected = md5Of(bytes);
        expected.insert(expected.begin(), '"');
        expected.push_back('"');
        if (res.status != 200 || res.header("etag") != expected) {
            failure("part " + std::to_string(number) + " status " + std::to_string(res.status));
            return;
        }
        parts.push_back({{"partNumber", number}, {"etag", res.header("etag")}});
    }
    HttpRequest done = base(s, "POST", "/videos/" + id + "/complete");
    done.body = nlohmann::json{{"parts", parts}, {"sizeBytes", total}}.dump();
    auto view = nlohmann::json::parse(send(done).body, nullptr, false);
    if (!view.is_object() || !view.contains("viewUrl")) {
        failure("complete");
        return;
    }
    // The link opens a page; the video as uploaded is at the same address plus ".mp4".
    if (fetchMd5(s, view["viewUrl"].get<std::string>() + ".mp4") != sent.hexDigest()) {
        failure("video came back different");
    }
}

template <class Work> void phase(const char* name, int workers, Work work) {
    bytesMoved = 0;
    auto begun = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int i = 0; i < workers; ++i) {
        threads.emplace_back(work, i);
    }
    for (auto& t : threads) {
        t.join();
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
    std::printf("%s: %.1f s, %.1f MB/s moved (up + down)\n", name, seconds,
                static_cast<double>(bytesMoved.load()) / 1e6 / seconds);
}

long peakRssKiB(long pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    Settings s;
    std::string keyFile;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string name = argv[i], value = argv[i + 1];
        if (name == "--url")
            s.url = value;
        else if (name == "--ca")
            s.ca = value;
        else if (name == "--key-file")
            keyFile = value;
        else if (name == "--clients")
            s.clients = std::stoi(value);
        else if (name == "--uploads")
            s.uploads = std::stoi(value);
        else if (name == "--videos")
            s.videos = std::stoi(value);
        else if (name == "--video-mib")
            s.videoMiB = std::stoi(value);
        else if (name == "--server-pid")
            s.serverPid = std::stol(value);
    }
    std::ifstream(keyFile) >> s.key; // never on the command line
    if (s.url.empty() || s.key.empty()) {
        std::cerr
            << "usage: velloq_server_load --url URL --ca CA --key-file FILE [--server-pid PID]\n";
        return 2;
    }
    auto t0 = std::chrono::steady_clock::now();
    phase("images", s.clients, [&](int c) { imageClient(s, c); });
    double imageSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("images: %d uploads of %d KiB, %.0f uploads/s (each also fetched back)\n",
                s.clients * s.uploads, s.pngKiB, s.clients * s.uploads / imageSeconds);
    phase("videos", s.videos, [&](int v) { videoClient(s, v); });
    if (s.serverPid > 0) {
        std::printf("server peak RSS: %.1f MiB\n", peakRssKiB(s.serverPid) / 1024.0);
    }
    std::printf("failures: %ld\n", failures.load());
    return failures == 0 ? 0 : 1;
}
