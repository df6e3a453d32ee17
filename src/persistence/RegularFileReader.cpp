#include "persistence/RegularFileReader.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

RegularFileReader::RegularFileReader(const std::string& path) {
    // Without O_NONBLOCK, opening a FIFO would wait for a writer.
    const int file = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        error_number_ = errno;
        return;
    }
    struct stat status;
    if (fstat(file, &status) != 0) {
        error_number_ = errno;
    } else if (!S_ISREG(status.st_mode)) {
        error_number_ = S_ISDIR(status.st_mode) ? EISDIR : 0;
    }
    if (error_number_ != 0 || !S_ISREG(status.st_mode)) {
        close(file);
        return;
    }
    fcntl(file, F_SETFL, fcntl(file, F_GETFL) & ~O_NONBLOCK);
    buffer_ = std::make_unique<FileDescriptorBuffer>(file, FileDescriptorBuffer::Mode::read);
    stream_.rdbuf(buffer_.get());
}

int RegularFileReader::error_number() const {
    return buffer_ != nullptr ? buffer_->error_number() : error_number_;
}
