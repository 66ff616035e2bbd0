// Run-time errors of the core: a number and a description, as the error
// reporter shows them. Inside a procedure a failure is raised as a
// RuntimeError; every procedure catches it in its own error tail, so no
// exception ever leaves a procedure of the core.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace vambrio {

struct VbError {
  int32_t Number = 0;
  std::string Description;
  bool operator==(const VbError&) const = default;
};

// Error numbers the system distinguishes.
namespace err {
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t SubscriptOutOfRange = 9;
inline constexpr int32_t DivisionByZero = 11;
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t FileNotFound = 53;
inline constexpr int32_t DeviceIO = 57;
inline constexpr int32_t DiskFull = 61;
inline constexpr int32_t TooManyFiles = 67;
inline constexpr int32_t DeviceUnavailable = 68;
inline constexpr int32_t PermissionDenied = 70;
inline constexpr int32_t DiskNotReady = 71;
inline constexpr int32_t PathFileAccess = 75;
inline constexpr int32_t InvalidPropertyValue = 380;
inline constexpr int32_t WindowMinimized = 384;
inline constexpr int32_t DialogCancelled = 32755;
}  // namespace err

// The usual description of an error number ("Overflow", "File not found", ...).
std::string DescriptionOf(int32_t number);

VbError MakeError(int32_t number);

// Maps an operating-system errno value onto the system's error numbers.
VbError ErrorFromErrno(int errnoValue);

class RuntimeError : public std::exception {
 public:
  explicit RuntimeError(VbError e) : error_(std::move(e)) {}
  const VbError& error() const noexcept { return error_; }
  const char* what() const noexcept override { return error_.Description.c_str(); }

 private:
  VbError error_;
};

[[noreturn]] void Raise(int32_t number);
[[noreturn]] void RaiseErrno(int errnoValue);

// Where procedures send their failures: the error reporter.
class ErrorSink {
 public:
  virtual ~ErrorSink() = default;
  virtual void ReportError(std::string_view procedure, const VbError& error) = 0;
};

// A sink that drops everything (for callers that only want the outcome).
class SilentErrorSink final : public ErrorSink {
 public:
  void ReportError(std::string_view, const VbError&) override {}
};

}  // namespace vambrio
