#pragma once

// The one way the layers report failure: a value, or the message that says why there is none. Messages are lower
// case without a final period and name a setting the way its user knows it ("--dpi must be ...").

#include <string>
#include <utility>
#include <variant>

struct Failure {
    std::string Message;
};

template <class T> class Result {
public:
    Result(T value) : State(std::move(value)) {}
    Result(Failure failure) : State(std::move(failure)) {}

    bool Ok() const { return State.index() == 0; }
    explicit operator bool() const { return Ok(); }

    const T& Value() const& { return std::get<0>(State); }
    T& Value() & { return std::get<0>(State); }
    T&& Value() && { return std::get<0>(std::move(State)); }
    const T& operator*() const& { return Value(); }
    const T* operator->() const { return &Value(); }
    T ValueOr(T otherwise) const { return Ok() ? Value() : std::move(otherwise); }

    // Empty when there is a value.
    const std::string& Message() const {
        static const std::string None;
        return Ok() ? None : std::get<1>(State).Message;
    }

private:
    std::variant<T, Failure> State;
};

// What an operation that yields nothing but may fail returns.
struct Done {};
using Outcome = Result<Done>;
