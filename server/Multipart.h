#pragma once

// Streaming reader of multipart/form-data bodies. It never holds more than a
// header block or a boundary's worth of body bytes, so a large upload passes
// through in constant memory.

#include <optional>
#include <string>
#include <string_view>

namespace velloq::server {

enum class FormContentType { FormData, NotFormData, BadBoundary };

struct FormBoundary {
    FormContentType type = FormContentType::NotFormData;
    std::string boundary;
};

// Reads the boundary parameter of a "multipart/form-data" Content-Type.
FormBoundary parseFormContentType(std::string_view contentType);

struct PartHeader {
    std::string name;
    std::optional<std::string> filename;
    std::string contentType;
};

// Receives the parts as they are read. Returning false stops the parse.
class PartSink {
public:
    virtual ~PartSink() = default;
    virtual bool beginPart(const PartHeader& header) = 0;
    virtual bool partData(std::string_view data) = 0;
    virtual bool endPart() = 0;
};

class MultipartParser {
public:
    enum class Outcome { Ok, Malformed, Stopped };

    MultipartParser(std::string_view boundary, PartSink& sink);

    Outcome feed(std::string_view data);
    // Call at the end of the body: a body without its closing delimiter is malformed.
    Outcome finish();

private:
    enum class State { Preamble, AfterDelimiter, Headers, Body, Epilogue, Failed };

    Outcome step(bool& progressed);
    Outcome failWith(Outcome outcome);
    Outcome scanForDelimiter(bool inBody, bool& progressed);
    Outcome readAfterDelimiter(bool& progressed);
    Outcome readHeaders(bool& progressed);

    std::string delimiter_; // CRLF "--" boundary
    PartSink& sink_;
    std::string buffer_;
    State state_ = State::Preamble;
};

} // namespace velloq::server
