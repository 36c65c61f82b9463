// qvetool's system layer on Linux: iconv for Shift-JIS, POSIX files.
#include "platform.h"

#include <errno.h>
#include <fcntl.h>
#include <iconv.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace {

// Length of the UTF-8 character that starts with `lead` (1 for a stray byte).
size_t Utf8Length(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// Converts all of `in`; on a character the target cannot hold returns
// TEXT_NOT_SJIS with its position in *stop, on a broken input TEXT_NOT_UTF8.
int Convert(const char *to, const char *from, const std::string &in, std::string *out, size_t *stop)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1)
        return TEXT_NOT_SJIS;
    out->clear();
    char *src = const_cast<char *>(in.data());
    size_t left = in.size();
    int result = TEXT_OK;
    while (left > 0) {
        char buffer[512];
        char *dst = buffer;
        size_t room = sizeof buffer;
        size_t done = iconv(cd, &src, &left, &dst, &room);
        out->append(buffer, (size_t)(dst - buffer));
        if (done == (size_t)-1 && errno != E2BIG) {
            *stop = in.size() - left;
            result = errno == EILSEQ ? TEXT_NOT_SJIS : TEXT_NOT_UTF8;
            break;
        }
    }
    iconv_close(cd);
    return result;
}

std::string Reason(int error)
{
    switch (error) {
    case ENOENT:
        return "ファイルがありません";
    case EACCES:
    case EPERM:
        return "アクセスが許されていません";
    case EISDIR:
        return "フォルダーです";
    case ENOSPC:
        return "ディスクがいっぱいです";
    case EROFS:
        return "書き込めない場所です";
    default:
        return std::string("システムのエラー: ") + strerror(error);
    }
}

} // namespace

int Utf8ToSjis(const std::string &utf8, std::string *sjis, std::string *bad)
{
    size_t stop = 0;
    int result = Convert("CP932", "UTF-8", utf8, sjis, &stop);
    if (result == TEXT_NOT_SJIS) {
        // iconv says EILSEQ for a broken input too; tell them apart.
        std::string check;
        size_t ignored;
        if (Convert("UTF-32LE", "UTF-8", utf8, &check, &ignored) != TEXT_OK)
            return TEXT_NOT_UTF8;
        *bad = utf8.substr(stop, Utf8Length((unsigned char)utf8[stop]));
    }
    return result;
}

int SjisToUtf8(const std::string &sjis, std::string *utf8)
{
    size_t stop;
    return Convert("UTF-8", "CP932", sjis, utf8, &stop) == TEXT_OK;
}

int ReadWholeFile(const std::string &path, size_t limit, Bytes *bytes, std::string *why)
{
    int fd = open(path.c_str(), O_RDONLY);
    struct stat info;
    if (fd < 0 || fstat(fd, &info) != 0) {
        *why = Reason(errno);
        if (fd >= 0)
            close(fd);
        return 0;
    }
    if (S_ISDIR(info.st_mode)) {
        close(fd);
        *why = Reason(EISDIR);
        return 0;
    }
    if ((unsigned long long)info.st_size > limit) {
        close(fd);
        *why = "大きすぎます (" + std::to_string((long long)info.st_size) + " バイト)";
        return 0;
    }
    bytes->assign((size_t)info.st_size, 0);
    size_t done = 0;
    while (done < bytes->size()) {
        ssize_t got = read(fd, bytes->data() + done, bytes->size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            *why = got < 0 ? Reason(errno) : "読んでいる間に短くなりました";
            close(fd);
            return 0;
        }
        done += (size_t)got;
    }
    close(fd);
    return 1;
}

int FileExists(const std::string &path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

int WriteWholeFile(const std::string &path, const Bytes &bytes, int replace, int *exists, std::string *why)
{
    *exists = 0;
    std::string temporary = path + ".qvetool-XXXXXX";
    int fd = mkstemp(&temporary[0]);
    if (fd < 0) {
        *why = Reason(errno);
        return 0;
    }
    size_t done = 0;
    int error = 0;
    while (done < bytes.size() && !error) {
        ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            error = put < 0 ? errno : ENOSPC;
        else
            done += (size_t)put;
    }
    if (!error && fsync(fd) != 0)
        error = errno;
    if (close(fd) != 0 && !error)
        error = errno;
    // mkstemp makes the file 0600; a written skin or picture is an
    // ordinary file of the user's.
    mode_t mask = umask(0);
    umask(mask);
    if (!error && chmod(temporary.c_str(), 0666 & ~mask) != 0)
        error = errno;
    if (!error) {
        // link() refuses an existing target, so a file that appeared in
        // the meantime is not replaced either.
        int failed = replace ? rename(temporary.c_str(), path.c_str()) : link(temporary.c_str(), path.c_str());
        if (failed && !replace && errno != EEXIST && !FileExists(path)) {
            // A file system without hard links: a plain rename, the target
            // having been seen free just now.
            failed = rename(temporary.c_str(), path.c_str());
            if (!failed)
                return 1;
        }
        if (failed) {
            error = errno;
            *exists = error == EEXIST || (!replace && FileExists(path));
        }
    }
    if (error || !replace)
        unlink(temporary.c_str());
    if (error) {
        *why = Reason(error);
        return 0;
    }
    return 1;
}

void LocalTimeNow(int *hour, int *minute, int *second)
{
    time_t now = time(NULL);
    struct tm local;
    localtime_r(&now, &local);
    *hour = local.tm_hour;
    *minute = local.tm_min;
    *second = local.tm_sec;
}
