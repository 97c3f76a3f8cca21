#pragma once
// Outcome of an operation that can fail for reasons the user must hear about.
#include <string>
#include <utility>

namespace qingheng {

struct Status {
    bool ok = true;
    std::string message;  // what went wrong, for the user; empty on success

    static Status success() { return {}; }
    static Status failure(std::string text) { return {false, std::move(text)}; }
    explicit operator bool() const { return ok; }
};

}  // namespace qingheng
