#pragma once

// A value or an error, for fallible operations whose failures are part of the
// interface. Our compiler's standard library predates std::expected, so this is
// the small subset we use, spelled the same way so it can be swapped later.

#include <cassert>
#include <optional>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

namespace velloq {

template <class E> class Unexpected {
public:
    explicit Unexpected(E error) : error_(std::move(error)) {}
    const E& error() const& { return error_; }
    E&& error() && { return std::move(error_); }

private:
    E error_;
};

template <class E> Unexpected(E) -> Unexpected<E>;

template <class T, class E> class [[nodiscard]] Expected {
public:
    Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    template <class G>
    Expected(Unexpected<G> error) : state_(std::in_place_index<1>, std::move(error).error()) {}

    bool has_value() const { return state_.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() & {
        assert(has_value());
        return std::get<0>(state_);
    }
    const T& value() const& {
        assert(has_value());
        return std::get<0>(state_);
    }
    T&& value() && {
        assert(has_value());
        return std::get<0>(std::move(state_));
    }
    const E& error() const {
        assert(!has_value());
        return std::get<1>(state_);
    }

    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    template <class U> T value_or(U&& fallback) const& {
        return has_value() ? value() : static_cast<T>(std::forward<U>(fallback));
    }

private:
    std::variant<T, E> state_;
};

// Success without a value.
template <class E> class [[nodiscard]] Expected<void, E> {
public:
    Expected() = default;
    template <class G> Expected(Unexpected<G> error) : error_(std::move(error).error()) {}

    bool has_value() const { return !failed_(); }
    explicit operator bool() const { return has_value(); }
    const E& error() const {
        assert(!has_value());
        return *error_;
    }

private:
    bool failed_() const { return error_.has_value(); }
    std::optional<E> error_;
};

// Drops a result on purpose. Every deliberately ignored failure goes through
// here, with the reason, so `ignoreFailure(` finds them all.
template <class R> void ignoreFailure(R&& result, std::string_view why) {
    static_cast<void>(result);
    static_cast<void>(why);
}

} // namespace velloq
