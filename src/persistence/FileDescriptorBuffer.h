#pragma once

#include <streambuf>
#include <sys/types.h>
#include <vector>

// A stream buffer over a file descriptor that it owns, for reading or for
// writing. Unlike the standard file buffer it gives access to the
// descriptor (to sync it to the disk, to check what it refers to) and keeps
// the errno of the first system call that failed, so a failed stream
// operation can say why.
class FileDescriptorBuffer : public std::streambuf {
public:
    enum class Mode { read, write };

    FileDescriptorBuffer(int descriptor, Mode mode);
    // Closes the descriptor; pending output is written first.
    ~FileDescriptorBuffer() override;
    FileDescriptorBuffer(const FileDescriptorBuffer&) = delete;
    FileDescriptorBuffer& operator=(const FileDescriptorBuffer&) = delete;

    int descriptor() const { return descriptor_; }
    // The errno of the first failed call, 0 while none has failed.
    int error_number() const { return error_number_; }

    // Writes pending output and closes the descriptor. False when anything
    // failed, now or before (error_number then says why).
    bool close();

protected:
    int_type overflow(int_type ch) override;
    int sync() override;
    int_type underflow() override;
    // Reads of at least a buffer's size go straight into the caller's memory.
    std::streamsize xsgetn(char* bytes, std::streamsize count) override;

private:
    // One read() into `bytes`, retried when interrupted; the count read, 0
    // at the end of the file, negative on failure (noted).
    ssize_t read_some(char* bytes, size_t count);
    bool write_pending();
    void note_failure(int error_number);

    int descriptor_;
    std::vector<char> buffer_;
    int error_number_ = 0;
};
