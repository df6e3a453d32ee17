#include "persistence/FileDescriptorBuffer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

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

ssize_t FileDescriptorBuffer::read_some(char* bytes, size_t count) {
    if (descriptor_ < 0 || error_number_ != 0) return -1;
    ssize_t got;
    do {
        got = ::read(descriptor_, bytes, count);
    } while (got < 0 && errno == EINTR);
    if (got < 0) note_failure(errno);
    return got;
}

FileDescriptorBuffer::int_type FileDescriptorBuffer::underflow() {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    const ssize_t count = read_some(buffer_.data(), buffer_.size());
    if (count <= 0) return traits_type::eof();
    setg(buffer_.data(), buffer_.data(), buffer_.data() + count);
    return traits_type::to_int_type(*gptr());
}

std::streamsize FileDescriptorBuffer::xsgetn(char* bytes, std::streamsize count) {
    std::streamsize done = 0;
    while (done < count) {
        const std::streamsize buffered = egptr() - gptr();
        if (buffered > 0) {
            const std::streamsize taken = std::min(buffered, count - done);
            std::memcpy(bytes + done, gptr(), static_cast<size_t>(taken));
            gbump(static_cast<int>(taken));
            done += taken;
        } else if (count - done < static_cast<std::streamsize>(buffer_.size())) {
            if (traits_type::eq_int_type(underflow(), traits_type::eof())) break;
        } else {
            const ssize_t got = read_some(bytes + done, static_cast<size_t>(count - done));
            if (got <= 0) break;
            done += got;
        }
    }
    return done;
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
