#include "server/Multipart.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace velloq::server {
namespace {

constexpr std::size_t kMaxHeaderBlock = 8 * 1024;

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

std::string_view trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

struct Parameter {
    std::string name; // lower case
    std::string value;
};

// Splits `type; a=b; c="d;e"` into the type and its parameters; nullopt when
// a parameter is not name=value or a quoted string is unterminated.
std::optional<std::vector<Parameter>> splitParameters(std::string_view text, std::string& typeOut) {
    std::size_t semi = text.find(';');
    typeOut = lower(trim(text.substr(0, semi)));
    std::vector<Parameter> params;
    std::size_t pos = semi == std::string_view::npos ? text.size() : semi + 1;
    while (pos < text.size()) {
        std::size_t eq = text.find('=', pos);
        if (eq == std::string_view::npos) {
            if (trim(text.substr(pos)).empty()) {
                break; // tolerate a trailing ';'
            }
            return std::nullopt;
        }
        Parameter param{lower(trim(text.substr(pos, eq - pos))), {}};
        pos = eq + 1;
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
            ++pos;
        }
        if (pos < text.size() && text[pos] == '"') {
            ++pos;
            bool closed = false;
            while (pos < text.size()) {
                char c = text[pos++];
                if (c == '\\' && pos < text.size()) {
                    param.value.push_back(text[pos++]);
                } else if (c == '"') {
                    closed = true;
                    break;
                } else {
                    param.value.push_back(c);
                }
            }
            if (!closed) {
                return std::nullopt;
            }
            std::size_t next = text.find(';', pos);
            if (!trim(text.substr(pos, next - pos)).empty()) {
                return std::nullopt;
            }
            pos = next == std::string_view::npos ? text.size() : next + 1;
        } else {
            std::size_t next = text.find(';', pos);
            param.value = std::string(trim(text.substr(pos, next - pos)));
            pos = next == std::string_view::npos ? text.size() : next + 1;
        }
        if (param.name.empty()) {
            return std::nullopt;
        }
        params.push_back(std::move(param));
    }
    return params;
}

bool isBoundaryChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) ||
           std::string_view("'()+_,-./:=? ").find(c) != std::string_view::npos;
}

} // namespace

FormBoundary parseFormContentType(std::string_view contentType) {
    std::string type;
    auto params = splitParameters(contentType, type);
    if (type != "multipart/form-data") {
        return {FormContentType::NotFormData, {}};
    }
    if (!params) {
        return {FormContentType::BadBoundary, {}};
    }
    for (const auto& param : *params) {
        if (param.name != "boundary") {
            continue;
        }
        const std::string& b = param.value;
        bool valid = !b.empty() && b.size() <= 70 && b.back() != ' ' &&
                     std::all_of(b.begin(), b.end(), isBoundaryChar);
        if (!valid) {
            break;
        }
        return {FormContentType::FormData, b};
    }
    return {FormContentType::BadBoundary, {}};
}

// The body is read as if preceded by CRLF, so the first delimiter looks like every other one.
MultipartParser::MultipartParser(std::string_view boundary, PartSink& sink)
    : delimiter_("\r\n--" + std::string(boundary)), sink_(sink), buffer_("\r\n") {}

MultipartParser::Outcome MultipartParser::feed(std::string_view data) {
    if (state_ == State::Failed) {
        return Outcome::Malformed;
    }
    if (state_ == State::Epilogue) {
        return Outcome::Ok;
    }
    buffer_.append(data);
    bool progressed = true;
    while (progressed) {
        progressed = false;
        Outcome outcome = step(progressed);
        if (outcome != Outcome::Ok) {
            return failWith(outcome);
        }
    }
    return Outcome::Ok;
}

MultipartParser::Outcome MultipartParser::finish() {
    return state_ == State::Epilogue ? Outcome::Ok : failWith(Outcome::Malformed);
}

MultipartParser::Outcome MultipartParser::failWith(Outcome outcome) {
    state_ = State::Failed;
    buffer_.clear();
    return outcome;
}

MultipartParser::Outcome MultipartParser::step(bool& progressed) {
    switch (state_) {
    case State::Preamble:
        return scanForDelimiter(false, progressed);
    case State::Body:
        return scanForDelimiter(true, progressed);
    case State::AfterDelimiter:
        return readAfterDelimiter(progressed);
    case State::Headers:
        return readHeaders(progressed);
    case State::Epilogue:
        buffer_.clear();
        return Outcome::Ok;
    case State::Failed:
        return Outcome::Malformed;
    }
    return Outcome::Malformed;
}

MultipartParser::Outcome MultipartParser::scanForDelimiter(bool inBody, bool& progressed) {
    std::size_t pos = buffer_.find(delimiter_);
    if (pos == std::string::npos) {
        // Keep just enough to recognise a delimiter split across two reads.
        std::size_t keep = std::min(buffer_.size(), delimiter_.size() - 1);
        std::size_t emit = buffer_.size() - keep;
        if (inBody && emit > 0 && !sink_.partData(std::string_view(buffer_).substr(0, emit))) {
            return Outcome::Stopped;
        }
        buffer_.erase(0, emit);
        return Outcome::Ok;
    }
    if (inBody) {
        if (pos > 0 && !sink_.partData(std::string_view(buffer_).substr(0, pos))) {
            return Outcome::Stopped;
        }
        if (!sink_.endPart()) {
            return Outcome::Stopped;
        }
    }
    buffer_.erase(0, pos + delimiter_.size());
    state_ = State::AfterDelimiter;
    progressed = true;
    return Outcome::Ok;
}

// After a delimiter comes "--" (the end) or optional blanks and CRLF (another part).
MultipartParser::Outcome MultipartParser::readAfterDelimiter(bool& progressed) {
    if (buffer_.size() < 2) {
        return Outcome::Ok;
    }
    if (buffer_.compare(0, 2, "--") == 0) {
        state_ = State::Epilogue;
        buffer_.clear();
        progressed = true;
        return Outcome::Ok;
    }
    std::size_t pos = 0;
    while (pos < buffer_.size() && (buffer_[pos] == ' ' || buffer_[pos] == '\t')) {
        ++pos;
    }
    if (pos > 256) {
        return Outcome::Malformed;
    }
    if (buffer_.size() - pos < 2) {
        return Outcome::Ok;
    }
    if (buffer_.compare(pos, 2, "\r\n") != 0) {
        return Outcome::Malformed;
    }
    buffer_.erase(0, pos + 2);
    state_ = State::Headers;
    progressed = true;
    return Outcome::Ok;
}

MultipartParser::Outcome MultipartParser::readHeaders(bool& progressed) {
    if (buffer_.compare(0, 2, "\r\n") == 0) {
        return Outcome::Malformed; // no header lines, so no field name
    }
    std::size_t end = buffer_.find("\r\n\r\n");
    if (end == std::string::npos) {
        return buffer_.size() > kMaxHeaderBlock ? Outcome::Malformed : Outcome::Ok;
    }
    end += 2; // keep the last line's CRLF in the block
    if (end > kMaxHeaderBlock) {
        return Outcome::Malformed;
    }
    PartHeader header;
    bool sawDisposition = false;
    std::string_view block(buffer_.data(), end);
    while (!block.empty()) {
        std::size_t eol = block.find("\r\n");
        std::string_view line = block.substr(0, eol);
        block.remove_prefix(eol + 2);
        std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0 || line.front() == ' ' ||
            line.front() == '\t') {
            return Outcome::Malformed;
        }
        std::string name = lower(trim(line.substr(0, colon)));
        std::string_view value = trim(line.substr(colon + 1));
        if (name == "content-disposition") {
            std::string kind;
            auto params = splitParameters(value, kind);
            if (sawDisposition || !params || kind != "form-data") {
                return Outcome::Malformed;
            }
            sawDisposition = true;
            bool named = false;
            for (auto& param : *params) {
                if (param.name == "name") {
                    header.name = std::move(param.value);
                    named = true;
                } else if (param.name == "filename") {
                    header.filename = std::move(param.value);
                }
            }
            if (!named) {
                return Outcome::Malformed;
            }
        } else if (name == "content-type") {
            header.contentType = std::string(value);
        }
    }
    if (!sawDisposition) {
        return Outcome::Malformed;
    }
    buffer_.erase(0, end + 2);
    state_ = State::Body;
    progressed = true;
    return sink_.beginPart(header) ? Outcome::Ok : Outcome::Stopped;
}

} // namespace velloq::server
