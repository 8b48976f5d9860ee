#pragma once

// A value or the reason it could not be produced. Start-up and storage code
// report failures this way; nothing throws across a module boundary.

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace velloq::server {

struct Error {
    std::string message;
};

template <class T, class E = Error> class Result {
public:
    Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Result(E error) : state_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & {
        assert(ok());
        return std::get<0>(state_);
    }
    const T& value() const& {
        assert(ok());
        return std::get<0>(state_);
    }
    T&& value() && {
        assert(ok());
        return std::get<0>(std::move(state_));
    }
    const E& error() const {
        assert(!ok());
        return std::get<1>(state_);
    }

private:
    std::variant<T, E> state_;
};

struct Done {};
using Status = Result<Done>;

inline Error fail(std::string message) {
    return Error{std::move(message)};
}

} // namespace velloq::server
