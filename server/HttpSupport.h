#pragma once

// Helpers the route handlers share: JSON answers, bodies and file serving.

#include "server/HttpMessage.h"

#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace velloq::server {

void sendJson(Response& res, int status, const nlohmann::json& body);
void sendError(Response& res, int status, std::string_view message);
// For refusals that leave part of the body unread: the connection closes after the answer.
void sendErrorAndClose(Response& res, int status, std::string_view message);

// Called when a request is answered without reading its body: a small body
// is read and dropped so that the connection stays usable; otherwise the
// connection closes after the answer (and a client waiting for "100
// Continue" never sends the body).
void refuseUnreadBody(const Request& req, Response& res, BodyReader& reader);

enum class BodyRead { Ok, TooLarge, Failed };
BodyRead readSmallBody(const Request& req, BodyReader& reader, std::size_t limit, std::string& out);

// Streams a file from disk, honouring a single Range; 404 when it is absent.
void serveFile(const Request& req, Response& res, const std::filesystem::path& path,
               const std::string& contentType);

// Declares the whole body, sends half of it, then drops the connection.
void cutResponseBody(Response& res);

bool isLoopbackAddress(std::string_view address);
bool isLoopbackHost(std::string_view host);

} // namespace velloq::server
