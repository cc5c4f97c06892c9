// The library's boundary towards its callers: no exception leaves an exported function or
// member. Each exported entry point runs its body through one of these wrappers, which turn
// anything thrown (std::bad_alloc, std::length_error, ...) into the failure result the
// operation reports otherwise.
//
// Exported functions also call each other inside the library. Only the outermost entry point
// on a thread catches: an inner one lets the exception pass on to it, so that the caller inside
// the library does not take an inner failure for an ordinary "not found" (and, say, cache a
// table that lacks what could not be read).
#pragma once

#include <string>
#include <type_traits>
#include <utility>

namespace tarvox {

namespace boundary_detail {

// The number of boundary entry points active on this thread.
int& Depth() noexcept;

struct Entered {
    Entered() noexcept { ++Depth(); }
    ~Entered() { --Depth(); }
    Entered(const Entered&) = delete;
    Entered& operator=(const Entered&) = delete;
};

}  // namespace boundary_detail

// Runs body; when it throws, onFailure() gives the result instead (it may empty the
// operation's out-parameters first). onFailure must not throw.
template <class Body, class OnFailure>
auto GuardOr(OnFailure&& onFailure, Body&& body) -> decltype(body()) {
    if (boundary_detail::Depth() > 0) return std::forward<Body>(body)();
    boundary_detail::Entered entered;
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return std::forward<OnFailure>(onFailure)();
    }
}

// The failure handler of an operation with out-parameters, for GuardOr: empties each of them
// (strings, vectors: anything whose clear() cannot throw) and gives failure, a value fixed in
// advance (never a pointer into one of the outputs: see GuardText).
template <class Result, class... Outputs>
auto ClearOnFailure(Result failure, Outputs&... outputs) noexcept {
    return [failure, &outputs...]() noexcept {
        (outputs.clear(), ...);
        return failure;
    };
}

// The failure handler of an operation that appends to a caller's list, for GuardOr: the list
// is cut back to the size it had (cutting back does not allocate) and failure is given.
template <class Result, class List>
auto TrimOnFailure(Result failure, List& list) noexcept {
    return [failure, &list, size = list.size()]() noexcept {
        list.resize(size);
        return failure;
    };
}

// For the functions that fill a caller's string and return its text: on failure the string is
// emptied and its text returned (taken after emptying, since the body may have moved it).
template <class Body>
const wchar_t* GuardText(std::wstring& out, Body&& body) {
    return GuardOr(
        [&out]() noexcept {
            out.clear();
            return out.c_str();
        },
        std::forward<Body>(body));
}

// Runs body; when it throws, the result is failure.
template <class Result, class Body>
Result Guard(Result failure, Body&& body) {
    return GuardOr([&failure]() noexcept { return failure; },
                   [&body]() -> Result { return std::forward<Body>(body)(); });
}

// Runs body, an operation without a result; what it throws ends it.
template <class Body>
void GuardVoid(Body&& body) {
    GuardOr([]() noexcept {}, std::forward<Body>(body));
}

// For the functions that fill a caller's text buffer and return it: on failure the buffer
// is emptied and returned.
template <class Body>
wchar_t* GuardBuffer(wchar_t* buffer, Body&& body) {
    return GuardOr(
        [buffer]() noexcept {
            buffer[0] = L'\0';
            return buffer;
        },
        [&body]() -> wchar_t* { return std::forward<Body>(body)(); });
}

// For destructors, and for the functions the system calls back (window procedures,
// enumeration callbacks), through whose frames nothing may unwind: runs body and gives failure
// for whatever it throws, whether or not another entry point is active on the thread.
template <class Result, class Body>
Result Contain(Result failure, Body&& body) noexcept {
    boundary_detail::Entered entered;
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return failure;
    }
}

// The same for a body without a result: what it throws is swallowed.
template <class Body>
void Swallow(Body&& body) noexcept {
    boundary_detail::Entered entered;
    try {
        std::forward<Body>(body)();
    } catch (...) {}
}

}  // namespace tarvox
