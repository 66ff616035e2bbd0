#include "model/errors.h"

#include <cerrno>

namespace vambrio {

std::string DescriptionOf(int32_t number) {
  switch (number) {
    case 5: return "Invalid procedure call or argument";
    case 6: return "Overflow";
    case 7: return "Out of memory";
    case 9: return "Subscript out of range";
    case 11: return "Division by zero";
    case 13: return "Type mismatch";
    case 52: return "Bad file name or number";
    case 53: return "File not found";
    case 54: return "Bad file mode";
    case 55: return "File already open";
    case 57: return "Device I/O error";
    case 58: return "File already exists";
    case 61: return "Disk full";
    case 62: return "Input past end of file";
    case 67: return "Too many files";
    case 68: return "Device unavailable";
    case 70: return "Permission denied";
    case 71: return "Disk not ready";
    case 74: return "Can't rename with different drive";
    case 75: return "Path/File access error";
    case 76: return "Path not found";
    case 380: return "Invalid property value";
    case 384: return "A form can't be moved or sized while minimized or maximized";
    case 32755: return "Cancel was selected";
    default: return "Application-defined or object-defined error";
  }
}

VbError MakeError(int32_t number) { return VbError{number, DescriptionOf(number)}; }

VbError ErrorFromErrno(int e) {
  switch (e) {
    case ENOENT: return MakeError(err::FileNotFound);
    case EIO: return MakeError(err::DeviceIO);
    case ENOSPC:
    case EDQUOT: return MakeError(err::DiskFull);
    case EMFILE:
    case ENFILE: return MakeError(err::TooManyFiles);
    case ENODEV:
    case ENXIO: return MakeError(err::DeviceUnavailable);
    case EACCES:
    case EPERM:
    case EBUSY:
    case ETXTBSY: return MakeError(err::PermissionDenied);
    case ENOMEDIUM: return MakeError(err::DiskNotReady);
    case EROFS:
    case EISDIR:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return MakeError(err::PathFileAccess);
    case ENOMEM: return MakeError(7);
    default: return MakeError(err::PathFileAccess);
  }
}

void Raise(int32_t number) { throw RuntimeError(MakeError(number)); }
void RaiseErrno(int e) { throw RuntimeError(ErrorFromErrno(e)); }

}  // namespace vambrio
