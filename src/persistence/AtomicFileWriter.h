#pragma once

#include <memory>
#include <ostream>
#include <string>

#include <sys/stat.h>

#include "persistence/FileDescriptorBuffer.h"

// Writes a file so that a crash, a kill or a full disk in the middle never
// destroys the previous contents: the bytes go to a temporary file in the
// target's folder, which is synced to the disk and renamed over the target
// only when everything has been written. The new file gets the old one's
// permissions (and, where allowed, its owner).
//
// A symbolic link is followed: the file it points at is replaced and the
// link stays. A target that is not a regular file (a device, a FIFO), a
// dangling link, a file this process may not replace (not writable, or
// another user's), or a folder where no temporary file can be made is
// written in place, truncated first, as a plain open would.
//
// Temporary files are named ".holloform-<process id>-<n>.tmp". Opening a
// writer sweeps the folder of those left by processes that no longer exist;
// a live process's temporary file is never touched.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const std::string& path);
    // Without a successful commit the temporary file is removed and the
    // target stays as it was.
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // False when no file could be opened; error_number() says why.
    bool is_open() const { return buffer_ != nullptr; }
    std::ostream& stream() { return stream_; }
    // The errno of the first failed call, 0 while none has failed.
    int error_number() const;

    // Makes the written bytes the target's contents. False when that failed;
    // the target then still holds its old contents (unless written in place).
    bool commit();

private:
    bool create_placeholder(struct stat& status);
    void open_temporary(const std::string& folder);
    void open_in_place();
    bool replace_target();

    std::string target_;
    std::string temporary_;  // empty when writing in place
    std::unique_ptr<FileDescriptorBuffer> buffer_;
    std::ostream stream_{nullptr};
    int error_number_ = 0;
    bool committed_ = false;
    bool created_target_ = false;  // the target did not exist before
};
