#include "text_writer.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

#include "platform/message_sink.h"

namespace dataformats {

TextBuffer& TextBuffer::Fixed(double v, int precision) {
    char buf[400];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, precision);
    if (ec == std::errc()) {
        text_.append(buf, ptr);
    } else {
        int n = std::snprintf(buf, sizeof buf, "%.*f", precision, v);
        if (n > 0)
            text_.append(buf, std::min<std::size_t>(n, sizeof buf - 1));
    }
    return *this;
}

TextBuffer& TextBuffer::Int(long long v) {
    char buf[24];
    auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v);
    (void)ec;
    text_.append(buf, ptr);
    return *this;
}

TextBuffer& TextBuffer::Format(const char* format, ...) {
    char small[512];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n >= 0 && static_cast<std::size_t>(n) < sizeof small) {
        text_.append(small, n);
    } else if (n >= 0) {
        std::string big(static_cast<std::size_t>(n) + 1, '\0');
        std::vsnprintf(big.data(), big.size(), format, copy);
        big.resize(n);
        text_ += big;
    }
    va_end(copy);
    return *this;
}

namespace {

std::atomic<unsigned> g_tempCounter{0};

void Tell(WriteMessage message) {
    if (message == WriteMessage::kCannotWriteFile)
        platform::ShowMessage("Cannot write file");
    if (message == WriteMessage::kErrorInWriting)
        platform::ShowMessage("Error in writing");
}

bool WriteAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR)
            continue;
        if (w <= 0)
            return false;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

} // namespace

AtomicFile::~AtomicFile() {
    Abandon();
}

bool AtomicFile::Create(const char* path) {
    Abandon();
    failed_ = false;
    if (path == nullptr || *path == '\0')
        return false;
    target_ = path;
    for (int attempt = 0; attempt < 16; ++attempt) {
        temp_ = target_ + ".tmp" + std::to_string(::getpid()) + "-" +
                std::to_string(g_tempCounter.fetch_add(1));
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    temp_.clear();
    return false;
}

bool AtomicFile::Write(const void* data, std::size_t n) {
    if (fd_ < 0 || failed_)
        return false;
    if (!WriteAll(fd_, static_cast<const char*>(data), n))
        failed_ = true;
    return !failed_;
}

bool AtomicFile::Commit() {
    if (fd_ < 0)
        return false;
    bool ok = !failed_;
    if (::close(fd_) != 0)
        ok = false;
    fd_ = -1;
    if (ok && std::rename(temp_.c_str(), target_.c_str()) != 0)
        ok = false;
    if (!ok)
        ::unlink(temp_.c_str());
    temp_.clear();
    return ok;
}

void AtomicFile::Abandon() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

int WriteFileAtomically(const char* path, std::string_view data, WriteMessage message) {
    AtomicFile file;
    if (!file.Create(path)) {
        Tell(message);
        return 0;
    }
    if (!file.Write(data.data(), data.size()) || !file.Commit()) {
        file.Abandon();
        Tell(message);
        return 0;
    }
    return 1;
}

} // namespace dataformats
