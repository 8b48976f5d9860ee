#pragma once

// Small pieces shared by the routes: JSON answers, bounded body reading,
// file responses with ranges, and workarounds for cpp-httplib's defaults.

#include <cstdint>
#include <filesystem>
#include <httplib.h>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace velloq::server {

void sendJson(httplib::Response& res, int status, const nlohmann::json& body);
void sendError(httplib::Response& res, int status, std::string_view message);

// Makes cpp-httplib close the connection once `res` is written: for answers
// given while body bytes are still on the connection.
void closeAfterResponse(httplib::Response& res);
void sendErrorAndClose(httplib::Response& res, int status, std::string_view message);

// For a request answered without reading its body: drops a small body so the
// connection stays usable, or closes the connection after the answer.
void refuseUnreadBody(const httplib::Request& req, httplib::Response& res,
                      const httplib::ContentReader& reader);

// cpp-httplib applies a Range header to any response, error bodies included,
// and reads past the end of a file for ranges beyond it. Every route calls
// this first; serveFile then honours ranges itself.
void takeOverRanges(const httplib::Request& req);

// The Content-Length the client declared, if any.
std::optional<std::uint64_t> declaredLength(const httplib::Request& req);

enum class BodyRead { Ok, TooLarge, Failed };
BodyRead readSmallBody(const httplib::Request& req, const httplib::ContentReader& reader,
                       std::size_t limit, std::string& out);

// Reads the request body as raw bytes, whatever its Content-Type. Returns
// false when the body ended early or `receiver` stopped it.
bool readRawBody(const httplib::Request& req, const httplib::ContentReader& reader,
                 const httplib::ContentReceiver& receiver);

// Streams a file from disk, honouring a single Range; 404 when it is absent.
void serveFile(const httplib::Request& req, httplib::Response& res,
               const std::filesystem::path& path, const std::string& contentType);

// Sends the response headers and half of the body, then drops the connection.
void cutResponseBody(httplib::Response& res);

bool isLoopbackAddress(std::string_view address);
bool isLoopbackHost(std::string_view host);

} // namespace velloq::server
