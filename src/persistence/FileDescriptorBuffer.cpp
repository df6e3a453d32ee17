#include "persistence/FileDescriptorBuffer.h"

#include <cerrno>

#include <unistd.h>

namespace {

constexpr size_t kBufferSize = 1 << 16;

}  // namespace

FileDescriptorBuffer::FileDescriptorBuffer(int descriptor, Mode mode)
    : descriptor_(descriptor), buffer_(kBufferSize) {
    if (mode == Mode::write) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    } else {
        setg(buffer_.data(), buffer_.data(), buffer_.data());
    }
}

FileDescriptorBuffer::~FileDescriptorBuffer() { close(); }

void FileDescriptorBuffer::note_failure(int error_number) {
    if (error_number_ == 0) error_number_ = error_number;
}

bool FileDescriptorBuffer::write_pending() {
    const char* next = pbase();
    while (next < pptr()) {
        const ssize_t written = ::write(descriptor_, next, static_cast<size_t>(pptr() - next));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            note_failure(written < 0 ? errno : EIO);
            return false;
        }
        next += written;
    }
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return true;
}

FileDescriptorBuffer::int_type FileDescriptorBuffer::overflow(int_type ch) {
    if (descriptor_ < 0 || error_number_ != 0 || !write_pending()) return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(ch);
        pbump(1);
    }
    return traits_type::not_eof(ch);
}

int FileDescriptorBuffer::sync() {
    if (pbase() == nullptr) return 0;  // a reading buffer has nothing to write
    return overflow(traits_type::eof()) == traits_type::eof() ? -1 : 0;
}

FileDescriptorBuffer::int_type FileDescriptorBuffer::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (descriptor_ < 0 || error_number_ != 0) return traits_type::eof();
    ssize_t count;
    do {
        count = ::read(descriptor_, buffer_.data(), buffer_.size());
    } while (count < 0 && errno == EINTR);
    if (count < 0) note_failure(errno);
    if (count <= 0) return traits_type::eof();
    setg(buffer_.data(), buffer_.data(), buffer_.data() + count);
    return traits_type::to_int_type(*gptr());
}

bool FileDescriptorBuffer::close() {
    if (descriptor_ < 0) return error_number_ == 0;
    sync();
    // The descriptor is released even when close reports an error; retrying
    // could close a descriptor that another thread has been given since.
    if (::close(descriptor_) != 0 && errno != EINTR) note_failure(errno);
    descriptor_ = -1;
    return error_number_ == 0;
}
