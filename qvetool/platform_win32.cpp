// qvetool's system layer on Windows: code page conversions through UTF-16,
// wide file names (so any name the user can type works), and the console's
// code page for what the tool prints.
#include "platform.h"

#include <windows.h>

namespace {

std::wstring Widen(const std::string &text, UINT codePage, DWORD flags, int *ok)
{
    *ok = 1;
    if (text.empty())
        return std::wstring();
    int length = MultiByteToWideChar(codePage, flags, text.data(), (int)text.size(), NULL, 0);
    if (length <= 0) {
        *ok = 0;
        return std::wstring();
    }
    std::wstring wide((size_t)length, L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), (int)text.size(), &wide[0], length);
    return wide;
}

std::string Narrow(const std::wstring &wide, UINT codePage)
{
    if (wide.empty())
        return std::string();
    int length = WideCharToMultiByte(codePage, 0, wide.data(), (int)wide.size(), NULL, 0, NULL, NULL);
    std::string text((size_t)(length > 0 ? length : 0), '\0');
    if (length > 0)
        WideCharToMultiByte(codePage, 0, wide.data(), (int)wide.size(), &text[0], length, NULL, NULL);
    return text;
}

std::wstring PathOf(const std::string &utf8)
{
    int ok;
    return Widen(utf8, CP_UTF8, 0, &ok);
}

std::string Reason(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "ファイルがありません";
    case ERROR_ACCESS_DENIED:
        return "アクセスが許されていません";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "ほかのプログラムが開いています";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "ディスクがいっぱいです";
    case ERROR_WRITE_PROTECT:
        return "書き込めない場所です";
    default:
        return "システムのエラー " + std::to_string((unsigned long)error);
    }
}

} // namespace

int Utf8ToSjis(const std::string &utf8, std::string *sjis, std::string *bad)
{
    int ok;
    std::wstring wide = Widen(utf8, CP_UTF8, MB_ERR_INVALID_CHARS, &ok);
    if (!ok)
        return TEXT_NOT_UTF8;
    sjis->clear();
    // Character by character, so that the first one Shift-JIS lacks can be named.
    for (size_t i = 0; i < wide.size();) {
        size_t units = (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size()) ? 2 : 1;
        BOOL lost = FALSE;
        char bytes[8];
        int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide[i], (int)units, bytes, sizeof bytes, NULL,
                                         &lost);
        if (length <= 0 || lost) {
            *bad = Narrow(wide.substr(i, units), CP_UTF8);
            return TEXT_NOT_SJIS;
        }
        sjis->append(bytes, (size_t)length);
        i += units;
    }
    return TEXT_OK;
}

int SjisToUtf8(const std::string &sjis, std::string *utf8)
{
    int ok;
    std::wstring wide = Widen(sjis, 932, MB_ERR_INVALID_CHARS, &ok);
    if (ok)
        *utf8 = Narrow(wide, CP_UTF8);
    return ok;
}

int ReadWholeFile(const std::string &path, size_t limit, Bytes *bytes, std::string *why)
{
    HANDLE file = CreateFileW(PathOf(path).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        *why = Reason(GetLastError());
        return 0;
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size)) {
        *why = Reason(GetLastError());
        CloseHandle(file);
        return 0;
    }
    if ((unsigned long long)size.QuadPart > limit) {
        *why = "大きすぎます (" + std::to_string((long long)size.QuadPart) + " バイト)";
        CloseHandle(file);
        return 0;
    }
    bytes->assign((size_t)size.QuadPart, 0);
    DWORD read = 0;
    BOOL done = bytes->empty() || ReadFile(file, bytes->data(), (DWORD)bytes->size(), &read, NULL);
    DWORD error = GetLastError();
    CloseHandle(file);
    if (!done || read != bytes->size()) {
        *why = done ? "読んでいる間に短くなりました" : Reason(error);
        return 0;
    }
    return 1;
}

int FileExists(const std::string &path)
{
    return GetFileAttributesW(PathOf(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

int WriteWholeFile(const std::string &path, const Bytes &bytes, int replace, int *exists, std::string *why)
{
    *exists = 0;
    std::wstring target = PathOf(path);
    std::wstring temporary = target + L".qvetool-" + std::to_wstring(GetCurrentProcessId());
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        *why = Reason(GetLastError());
        return 0;
    }
    DWORD written = 0;
    BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    DWORD error = ok && written == bytes.size() ? 0 : (ok ? ERROR_DISK_FULL : GetLastError());
    if (!error && !FlushFileBuffers(file))
        error = GetLastError();
    CloseHandle(file);
    // Without MOVEFILE_REPLACE_EXISTING the move fails on an existing target.
    if (!error && !MoveFileExW(temporary.c_str(), target.c_str(),
                               MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0))) {
        error = GetLastError();
        *exists = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
    }
    if (error) {
        DeleteFileW(temporary.c_str());
        *why = Reason(error);
        return 0;
    }
    return 1;
}

void LocalTimeNow(int *hour, int *minute, int *second)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    *hour = now.wHour;
    *minute = now.wMinute;
    *second = now.wSecond;
}

// The entry point's half: the command line as UTF-8, output in the console's code page.
std::vector<std::string> Utf8Arguments()
{
    std::vector<std::string> arguments;
    int count = 0;
    LPWSTR *wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide && i < count; i++)
        arguments.push_back(Narrow(wide[i], CP_UTF8));
    if (wide)
        LocalFree(wide);
    return arguments;
}

void WriteConsoleText(int toError, const std::string &utf8)
{
    if (utf8.empty())
        return;
    int ok;
    std::wstring wide = Widen(utf8, CP_UTF8, 0, &ok);
    HANDLE handle = GetStdHandle(toError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode, written;
    if (GetConsoleMode(handle, &mode)) {
        WriteConsoleW(handle, wide.data(), (DWORD)wide.size(), &written, NULL);
        return;
    }
    // Redirected: bytes in the console's code page, as a console would show them.
    UINT codePage = GetConsoleOutputCP();
    std::string bytes = Narrow(wide, codePage ? codePage : GetOEMCP());
    WriteFile(handle, bytes.data(), (DWORD)bytes.size(), &written, NULL);
}
