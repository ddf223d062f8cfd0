#pragma once
#include <string>

namespace kestrava {

// Base of the exceptions that handlers may let escape; the window procedure
// reports GetErrorMessage() to the user.
class CException {
  public:
    virtual ~CException() = default;
    virtual std::string GetErrorMessage() const = 0;
};

}  // namespace kestrava
