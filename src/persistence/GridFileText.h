#pragma once

// Every text that reading or writing a grid file reports, as exception
// message or detail and on standard error.
namespace GridFileText {

constexpr const char* kCannotOpenForWriting = "Unable to open file for writing.";
constexpr const char* kOutputFailed = "output failed.";
constexpr const char* kWriteFailed = "ostream write() failed.";
constexpr const char* kCannotOpenForReading = "Unable to open named file.";
constexpr const char* kUnknownFileType = "Unknown file type.";
constexpr const char* kOldVersion = "Old File Version.";
constexpr const char* kOldVersionExplanation = "File was made with an out of date version or is corrupted.";
constexpr const char* kNotUnderstood = "File format not understood.";
constexpr const char* kNoDataOffset = "The header was scanned but no offset to the voxel data was found.";
constexpr const char* kLevelCountUnsupported = "The grid's level count is not between 2 and 8.";
constexpr const char* kInputFailed = "Input failed.";
constexpr const char* kReadBytesFailed = "istream read() failed.";
constexpr const char* kReadWordFailed = "istream.read() failed.";
constexpr const char* kSkipFailed = "istream ignore() failed.";

}  // namespace GridFileText
