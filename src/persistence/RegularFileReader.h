#pragma once

#include <istream>
#include <memory>
#include <string>

#include "persistence/FileDescriptorBuffer.h"

// Opens a file for reading only when it is a regular file. Opening never
// blocks: a FIFO, a device or a folder is refused at once.
class RegularFileReader {
public:
    explicit RegularFileReader(const std::string& path);

    // False when the file could not be opened or is not a regular file.
    bool is_open() const { return buffer_ != nullptr; }
    std::istream& stream() { return stream_; }
    // The errno of the first failed call: of the open, or of a read since.
    // 0 for a file that is not regular (other than a folder) and while
    // nothing has failed.
    int error_number() const;

private:
    std::unique_ptr<FileDescriptorBuffer> buffer_;
    std::istream stream_{nullptr};
    int error_number_ = 0;
};
