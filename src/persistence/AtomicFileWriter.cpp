#include "persistence/AtomicFileWriter.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kTemporaryPrefix = ".holloform-";
constexpr const char* kTemporarySuffix = ".tmp";
constexpr int kTemporaryAttempts = 100;

// The path a save should replace: the file a symbolic link points at, or
// the path itself (also for a dangling link, which is then written through).
std::string resolve_links(const std::string& path) {
    struct stat link;
    if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

std::string folder_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string temporary_name(long process, unsigned number) {
    return kTemporaryPrefix + std::to_string(process) + "-" + std::to_string(number) + kTemporarySuffix;
}

// The process id in a temporary file's name, or 0 for other names.
long temporary_owner(const char* name) {
    const size_t prefix = std::strlen(kTemporaryPrefix), suffix = std::strlen(kTemporarySuffix);
    const size_t length = std::strlen(name);
    if (length <= prefix + suffix || std::strncmp(name, kTemporaryPrefix, prefix) != 0 ||
        std::strcmp(name + length - suffix, kTemporarySuffix) != 0) {
        return 0;
    }
    char* end = nullptr;
    const long process = std::strtol(name + prefix, &end, 10);
    if (process <= 0 || process == LONG_MAX || *end != '-') return 0;
    return temporary_name(process, static_cast<unsigned>(std::strtoul(end + 1, nullptr, 10))) == name ? process : 0;
}

bool process_is_gone(long process) { return kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH; }

// A stale temporary file belongs to a process that is gone and is locked by
// nobody (a writer holds its lock while writing, which also covers a writer
// whose id is not visible from here).
void remove_if_stale(int folder, const char* name) {
    const long owner = temporary_owner(name);
    if (owner == 0 || owner == static_cast<long>(getpid()) || !process_is_gone(owner)) return;
    const int file = openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) return;
    struct stat status;
    if (fstat(file, &status) == 0 && S_ISREG(status.st_mode) && flock(file, LOCK_EX | LOCK_NB) == 0) {
        unlinkat(folder, name, 0);
    }
    close(file);
}

void remove_stale_temporaries(const std::string& folder) {
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) return;
    while (const dirent* entry = readdir(listing)) remove_if_stale(dirfd(listing), entry->d_name);
    closedir(listing);
}

// Makes the new file look like the one it replaces. Changing the owner needs
// privileges and is skipped without them; it comes first because it clears
// the set-id bits that the mode then restores.
void copy_owner_and_mode(int file, const struct stat& old) {
    if (fchown(file, old.st_uid, old.st_gid) != 0) {
        // Not allowed: the file keeps the writer's owner.
    }
    fchmod(file, old.st_mode & 07777);
}

// Whether a renamed temporary file can take the place of the file at
// `target` without changing what it is or whom it belongs to: only a regular
// file that this process may write, and (without privileges) owns.
bool replaceable(const std::string& target, const struct stat& old) {
    return S_ISREG(old.st_mode) && access(target.c_str(), W_OK) == 0 &&
           (geteuid() == 0 || old.st_uid == geteuid());
}

void sync_folder(const std::string& folder) {
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    fsync(descriptor);  // some file systems refuse; the rename has happened either way
    close(descriptor);
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(const std::string& path) : target_(resolve_links(path)) {
    struct stat old;
    bool exists = stat(target_.c_str(), &old) == 0;
    if (!exists && errno == ENOENT) exists = create_placeholder(old);
    // A placeholder this writer made is its own, whatever mode the umask gave it.
    if (exists && (created_target_ || replaceable(target_, old))) open_temporary(folder_of(target_));
    if (buffer_ != nullptr) {
        copy_owner_and_mode(buffer_->descriptor(), old);
    } else {
        open_in_place();
    }
    if (buffer_ != nullptr) stream_.rdbuf(buffer_.get());
}

AtomicFileWriter::~AtomicFileWriter() {
    buffer_.reset();
    if (committed_) return;
    if (!temporary_.empty()) unlink(temporary_.c_str());
    if (created_target_) unlink(target_.c_str());
}

// A new target is first created empty, so that a name or a folder that
// cannot take it fails at the open, as a plain open would, and not at the
// rename. A failed save removes it again.
bool AtomicFileWriter::create_placeholder(struct stat& status) {
    const int file = open(target_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file < 0) return errno == EEXIST && stat(target_.c_str(), &status) == 0;
    created_target_ = true;
    const bool known = fstat(file, &status) == 0;
    close(file);
    return known;
}

int AtomicFileWriter::error_number() const {
    if (error_number_ != 0 || buffer_ == nullptr) return error_number_;
    return buffer_->error_number();
}

void AtomicFileWriter::open_temporary(const std::string& folder) {
    remove_stale_temporaries(folder);
    static std::atomic<unsigned> next_number{1};
    for (int attempt = 0; attempt < kTemporaryAttempts; ++attempt) {
        const std::string path = folder + "/" + temporary_name(getpid(), next_number++);
        const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file < 0 && errno == EEXIST) continue;
        if (file < 0) return;
        flock(file, LOCK_EX);  // marks it as in use for other processes' sweeps
        temporary_ = path;
        buffer_ = std::make_unique<FileDescriptorBuffer>(file, FileDescriptorBuffer::Mode::write);
        return;
    }
}

void AtomicFileWriter::open_in_place() {
    const int file = open(target_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file < 0) {
        error_number_ = errno;
        return;
    }
    buffer_ = std::make_unique<FileDescriptorBuffer>(file, FileDescriptorBuffer::Mode::write);
}

bool AtomicFileWriter::commit() {
    if (buffer_ == nullptr || committed_) return committed_;
    if (temporary_.empty()) {
        committed_ = buffer_->close();
        return committed_;
    }
    if (buffer_->pubsync() != 0) return false;
    // A file system that cannot sync at all (EINVAL, ENOSYS) still gets the
    // rename; any other failure means the bytes may not be on the disk.
    if (fsync(buffer_->descriptor()) != 0 && errno != EINVAL && errno != ENOSYS) {
        error_number_ = errno;
        return false;
    }
    if (!buffer_->close()) return false;
    return replace_target();
}

bool AtomicFileWriter::replace_target() {
    if (rename(temporary_.c_str(), target_.c_str()) != 0) {
        error_number_ = errno;
        return false;
    }
    committed_ = true;
    sync_folder(folder_of(target_));
    return true;
}
