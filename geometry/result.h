#pragma once

// The one way the layers report failure: a value, or the message that says why there is none. Messages are lower
// case without a final period and name a setting the way its user knows it ("--dpi must be ...").

#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

struct Failure {
    std::string Message;
};

// A result left unread is a failure left unseen, so the compiler refuses to let one go.
template <class T> class [[nodiscard]] Result {
public:
    Result(T value) : State(std::move(value)) {}
    Result(Failure failure) : State(std::move(failure)) {}

    bool Ok() const { return State.index() == 0; }
    explicit operator bool() const { return Ok(); }

    // The value; asked of a failure, an error that carries the failure's message rather than a bare bad access.
    const T& Value() const& { return std::get<0>(Checked()); }
    T& Value() & { return std::get<0>(Checked()); }
    T&& Value() && { return std::get<0>(std::move(Checked())); }
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

    const std::variant<T, Failure>& Checked() const {
        if (!Ok()) {
            throw std::logic_error("the value of a failed result was asked for: " + std::get<1>(State).Message);
        }
        return State;
    }
    std::variant<T, Failure>& Checked() {
        if (!Ok()) {
            throw std::logic_error("the value of a failed result was asked for: " + std::get<1>(State).Message);
        }
        return State;
    }
};

// What an operation that yields nothing but may fail returns.
struct Done {};
using Outcome = Result<Done>;
