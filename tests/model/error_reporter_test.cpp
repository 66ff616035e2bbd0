#include "model/error_reporter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>

#include "fakes/fake_message_boxes.h"

namespace vambrio {
namespace {

TEST(ErrorReporter, FixedMessagesForDiskAndFileErrorsDoNotNameTheProcedure) {
  const std::pair<int, const char*> fixed[] = {
      {57, "Internal disk error."},
      {61, "Disk is full."},
      {67, "Too Many Files For Directory. Use Save Style, create subdirectory, and place style there"},
      {68, "That device appears unavailable."},
      {70, "Error writing to file- make sure it is not being used by another program and that the media is "
           "available."},
      {71, "Insert a disk in the drive "},
      {75, "File may have read-only attribute. Change attribute or choose another name."},
  };
  for (auto [number, text] : fixed) {
    EXPECT_EQ(ErrorMessageText("SaveStyle", MakeError(number)), std::string(text)) << number;
  }
}

TEST(ErrorReporter, GeneralMessageNamesNumberDescriptionAndProcedure) {
  EXPECT_EQ(ErrorMessageText("Entry", MakeError(53)),
            "Error #: 53, File not found, encountered in Function Entry. If the solution is not obvious, please "
            "report this to the author.");
  EXPECT_EQ(ErrorMessageText("TempoEdit", VbError{-2147, "Odd"}),
            "Error #: -2147, Odd, encountered in Function TempoEdit. If the solution is not obvious, please report "
            "this to the author.");
  // 380 is only passed over by PlayStyle's own filter; the reporter shows it.
  EXPECT_THAT(*ErrorMessageText("Store", MakeError(380)), ::testing::HasSubstr("Error #: 380, Invalid property"));
}

TEST(ErrorReporter, Error384ShowsNothing) {
  test::FakeMessageBoxes boxes;
  MessageBoxErrorReporter reporter(boxes);
  reporter.ReportError("Entry", MakeError(384));
  EXPECT_TRUE(boxes.shown.empty());
  reporter.ReportError("Entry", MakeError(61));
  EXPECT_EQ(boxes.shown, std::vector<std::string>{"Disk is full."});
}

TEST(ErrorReporter, OperatingSystemFailuresMapOntoTheSystemsNumbers) {
  const std::pair<int, int> map[] = {{ENOENT, 53}, {EIO, 57},       {ENOSPC, 61},       {EDQUOT, 61},
                                     {EMFILE, 67}, {ENFILE, 67},    {ENODEV, 68},       {ENXIO, 68},
                                     {EACCES, 70}, {EPERM, 70},     {EBUSY, 70},        {ETXTBSY, 70},
                                     {ENOMEDIUM, 71}, {EROFS, 75},  {EISDIR, 75},       {ENOTDIR, 75},
                                     {ENAMETOOLONG, 75}, {ELOOP, 75}};
  for (auto [e, number] : map) EXPECT_EQ(ErrorFromErrno(e).Number, number) << e;
  EXPECT_EQ(ErrorFromErrno(EACCES).Description, "Permission denied");
  EXPECT_EQ(ErrorFromErrno(ENOENT).Description, "File not found");
}

}  // namespace
}  // namespace vambrio
