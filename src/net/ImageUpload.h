#pragma once

// Still images go to the service in one multipart/form-data POST.

#include "net/UploadError.h"
#include "platform/Http.h"

#include <functional>
#include <string>
#include <string_view>

namespace velloq {

// "velloq-" and a fresh upper-case UUID: a new one for every request.
std::string multipartBoundary();

// The request body: one part, field "image", file name "screenshot.png".
std::string imageUploadBody(std::string_view boundary, std::string_view png);

// Sends `png` to the image endpoint and returns the link the service gave it.
// Exactly one request, never retried. Blocks until the answer is in: call it
// on a worker thread (uploadImageInBackground does).
NetResult<std::string> uploadImage(std::string_view png, platform::Http& http);

// Runs uploadImage on the task pool with the installed HTTP service; `done`
// gets the result on the main thread.
void uploadImageInBackground(std::string png, std::function<void(NetResult<std::string>)> done);

} // namespace velloq
