// win32_system: the core's operating-system interface on a real Windows machine.
// Texts cross this boundary as code page 932 bytes and go to the wide (W) API as UTF-16,
// converted with code page 932 explicitly, whatever the machine's ANSI code page is.

#include <windows.h>

#include "platform/win32_system.hpp"
// The COM and shell headers need <windows.h> first.
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/host_file.hpp"

namespace platform {
namespace {

constexpr UINT cp932 = 932;

std::wstring to_wide(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(cp932, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(cp932, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string from_wide(const wchar_t* text, std::size_t length) {
    if (length == 0) return {};
    // No best-fit look-alikes: a name such as "café" must not turn into another file's name.
    int n = WideCharToMultiByte(cp932, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(length), nullptr, 0,
                                nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(cp932, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(length), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::string from_wide(const std::wstring& text) { return from_wide(text.data(), text.size()); }

file_error error_from_code(DWORD code) {
    switch (code) {
        case NO_ERROR:
            return file_error::None;
        case ERROR_FILE_NOT_FOUND:
            return file_error::NotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_PATHNAME:
        case ERROR_INVALID_NAME:
        case ERROR_DIRECTORY:
            return file_error::PathNotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
        case ERROR_DIR_NOT_EMPTY:
        case ERROR_CURRENT_DIRECTORY:
            return file_error::AccessDenied;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return file_error::SharingViolation;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return file_error::DiskFull;
        default:
            return file_error::Other;
    }
}

file_error last_error() { return error_from_code(GetLastError()); }

civil_time civil_from_file_time(const FILETIME& utc) {
    FILETIME local{};
    SYSTEMTIME st{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) return {};
    return civil_time{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

bool file_time_from_civil(const civil_time& t, FILETIME* utc) {
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.year);
    st.wMonth = static_cast<WORD>(t.month);
    st.wDay = static_cast<WORD>(t.day);
    st.wHour = static_cast<WORD>(t.hour);
    st.wMinute = static_cast<WORD>(t.minute);
    st.wSecond = static_cast<WORD>(t.second);
    FILETIME local{};
    return SystemTimeToFileTime(&st, &local) && LocalFileTimeToFileTime(&local, utc);
}

/// An open registry key, closed when it goes out of scope.
class reg_key {
public:
    reg_key() = default;
    reg_key(const reg_key&) = delete;
    reg_key& operator=(const reg_key&) = delete;
    ~reg_key() {
        if (key_) RegCloseKey(key_);
    }
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

HKEY root_handle(root_key root) {
    switch (root) {
        case root_key::CurrentUser:
            return HKEY_CURRENT_USER;
        case root_key::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case root_key::Users:
            return HKEY_USERS;
        case root_key::CurrentConfig:
            return HKEY_CURRENT_CONFIG;
    }
    return HKEY_CURRENT_USER;
}

bool open_key(root_key root, const std::string& sub_key, REGSAM access, reg_key* key) {
    return RegOpenKeyExW(root_handle(root), to_wide(sub_key).c_str(), 0, access, key->out()) == ERROR_SUCCESS;
}

/// A handle from CreateFileW, closed when it goes out of scope.
class file_handle {
public:
    explicit file_handle(HANDLE h) : h_(h) {}
    file_handle(const file_handle&) = delete;
    file_handle& operator=(const file_handle&) = delete;
    ~file_handle() { reset(); }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    bool reset() {
        bool ok = true;
        if (valid()) ok = CloseHandle(h_) != 0;
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

class win32_output_file : public output_file {
public:
    explicit win32_output_file(HANDLE h) : file_(h) {}
    ~win32_output_file() override { close(); }

    bool write(std::span<const std::byte> data) override {
        if (!file_.valid()) return false;
        while (!data.empty()) {
            DWORD chunk = data.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(data.size());
            DWORD written = 0;
            if (!WriteFile(file_.get(), data.data(), chunk, &written, nullptr) || written == 0) {
                failed_ = true;
                return false;
            }
            data = data.subspan(written);
        }
        return true;
    }

    bool close() override {
        if (!file_.valid()) return !failed_;
        if (!file_.reset()) failed_ = true;
        return !failed_;
    }

private:
    file_handle file_;
    bool failed_ = false;
};

/// Releases a COM interface pointer when it goes out of scope.
template <typename T>
class com_ptr {
public:
    com_ptr() = default;
    com_ptr(const com_ptr&) = delete;
    com_ptr& operator=(const com_ptr&) = delete;
    ~com_ptr() {
        if (p_) p_->Release();
    }
    T** out() { return &p_; }
    T* operator->() const { return p_; }

private:
    T* p_ = nullptr;
};

/// CoInitialize for the life of one call; CoUninitialize only when it succeeded.
class com_scope {
public:
    com_scope() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
    com_scope(const com_scope&) = delete;
    com_scope& operator=(const com_scope&) = delete;
    ~com_scope() {
        if (ok_) CoUninitialize();
    }

private:
    bool ok_;
};

}  // namespace

std::string win32_system::windows_directory() {
    wchar_t buffer[MAX_PATH + 1] = {};
    UINT n = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return {};
    return from_wide(buffer, n);
}

std::string win32_system::system_directory() {
    wchar_t buffer[MAX_PATH + 1] = {};
    UINT n = GetSystemDirectoryW(buffer, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return {};
    return from_wide(buffer, n);
}

int win32_system::platform_id() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info)) return VER_PLATFORM_WIN32_NT;
    return static_cast<int>(info.dwPlatformId);
}

std::optional<std::string> win32_system::user_name() {
    wchar_t buffer[257] = {};
    DWORD size = 257;
    if (!GetUserNameW(buffer, &size)) return std::nullopt;
    // size counts the terminating zero.
    return from_wide(buffer, size > 0 ? size - 1 : 0);
}

std::uint32_t win32_system::logical_drives() { return GetLogicalDrives(); }

int win32_system::drive_type(const std::string& root) {
    return static_cast<int>(GetDriveTypeW(to_wide(root).c_str()));
}

std::optional<disk_space> win32_system::free_space(const std::string& root) {
    DWORD sectors = 0, bytes = 0, free_clusters = 0, total = 0;
    if (!GetDiskFreeSpaceW(to_wide(root).c_str(), &sectors, &bytes, &free_clusters, &total))
        return std::nullopt;
    return disk_space{sectors, bytes, free_clusters};
}

std::optional<file_status> win32_system::status(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(to_wide(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    file_status s;
    s.attributes = data.dwFileAttributes;
    s.is_directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    s.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    s.created = civil_from_file_time(data.ftCreationTime);
    s.last_write = civil_from_file_time(data.ftLastWriteTime);
    return s;
}

file_error win32_system::copy_file(const std::string& from, const std::string& to, bool replace) {
    if (CopyFileW(to_wide(from).c_str(), to_wide(to).c_str(), replace ? FALSE : TRUE))
        return file_error::None;
    return last_error();
}

file_error win32_system::delete_file(const std::string& path) {
    if (DeleteFileW(to_wide(path).c_str())) return file_error::None;
    return last_error();
}

file_error win32_system::set_attributes(const std::string& path, std::uint32_t attributes) {
    if (SetFileAttributesW(to_wide(path).c_str(), attributes)) return file_error::None;
    return last_error();
}

file_error win32_system::set_file_times(const std::string& path, const civil_time& created,
                                        const civil_time& last_write) {
    FILETIME created_utc{}, written_utc{};
    if (!file_time_from_civil(created, &created_utc) || !file_time_from_civil(last_write, &written_utc))
        return file_error::Other;
    std::wstring wide = to_wide(path);
    // FILE_WRITE_ATTRIBUTES also works on read-only files; the Windows 95 family knows only GENERIC_WRITE.
    file_handle file(CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) {
        DWORD first = GetLastError();
        if (first == ERROR_FILE_NOT_FOUND || first == ERROR_PATH_NOT_FOUND) return error_from_code(first);
        file_handle retry(CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!retry.valid()) return last_error();
        if (!SetFileTime(retry.get(), &created_utc, nullptr, &written_utc)) return last_error();
        return file_error::None;
    }
    if (!SetFileTime(file.get(), &created_utc, nullptr, &written_utc)) return last_error();
    return file_error::None;
}

file_error win32_system::create_directory(const std::string& path) {
    std::wstring wide = to_wide(path);
    if (CreateDirectoryW(wide.c_str(), nullptr)) return file_error::None;
    DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS) {
        DWORD attributes = GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return file_error::None;
    }
    return error_from_code(code);
}

file_error win32_system::remove_directory(const std::string& path) {
    if (RemoveDirectoryW(to_wide(path).c_str())) return file_error::None;
    return last_error();
}

std::string win32_system::current_directory() {
    DWORD n = GetCurrentDirectoryW(0, nullptr);
    if (n == 0) return {};
    std::wstring buffer(n, L'\0');
    DWORD got = GetCurrentDirectoryW(n, buffer.data());
    if (got == 0 || got >= n) return {};
    return from_wide(buffer.data(), got);
}

bool win32_system::set_current_directory(const std::string& path) {
    return SetCurrentDirectoryW(to_wide(path).c_str()) != 0;
}

std::vector<std::string> win32_system::list_directory(const std::string& path) {
    std::vector<std::string> names;
    std::wstring pattern = to_wide(path);
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileW(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring name = found.cFileName;
        if (name != L"." && name != L"..") names.push_back(from_wide(name));
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

std::unique_ptr<mapped_file> win32_system::map_file(const std::string& path) {
    return map_host_file(std::filesystem::path(to_wide(path)));
}

std::unique_ptr<output_file> win32_system::create_file(const std::string& path, file_error* error) {
    HANDLE h = CreateFileW(to_wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) *error = last_error();
        return nullptr;
    }
    if (error) *error = file_error::None;
    return std::make_unique<win32_output_file>(h);
}

bool win32_system::key_exists(root_key root, const std::string& sub_key) {
    reg_key key;
    return open_key(root, sub_key, KEY_READ, &key);
}

bool win32_system::create_key(root_key root, const std::string& sub_key) {
    reg_key key;
    DWORD disposition = 0;
    return RegCreateKeyExW(root_handle(root), to_wide(sub_key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_ALL_ACCESS, nullptr, key.out(), &disposition) == ERROR_SUCCESS;
}

std::optional<std::string> win32_system::query_value(root_key root, const std::string& sub_key,
                                                     const std::string& name) {
    reg_key key;
    if (!open_key(root, sub_key, KEY_QUERY_VALUE, &key)) return std::nullopt;
    std::wstring wide_name = to_wide(name);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), wide_name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), wide_name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &got) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(got / sizeof(wchar_t));
    // The stored data normally ends with its zero; a value written without one is taken whole.
    while (!data.empty() && data.back() == L'\0') data.pop_back();
    return from_wide(data);
}

bool win32_system::set_value(root_key root, const std::string& sub_key, const std::string& name,
                             const std::string& data) {
    reg_key key;
    if (!open_key(root, sub_key, KEY_SET_VALUE, &key)) return false;
    std::wstring wide = to_wide(data);
    // REG_SZ is stored with its terminating zero counted.
    DWORD bytes = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), to_wide(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wide.c_str()), bytes) == ERROR_SUCCESS;
}

bool win32_system::delete_value(root_key root, const std::string& sub_key, const std::string& name) {
    reg_key key;
    if (!open_key(root, sub_key, KEY_SET_VALUE, &key)) return false;
    return RegDeleteValueW(key.get(), to_wide(name).c_str()) == ERROR_SUCCESS;
}

bool win32_system::key_is_empty(root_key root, const std::string& sub_key) {
    reg_key key;
    if (!open_key(root, sub_key, KEY_READ, &key)) return false;
    DWORD sub_keys = 0, values = 0;
    if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &sub_keys, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    return sub_keys == 0 && values == 0;
}

bool win32_system::delete_key(root_key root, const std::string& sub_key) {
    if (sub_key.empty()) return false;
    // RegDeleteKey on the Windows 95 family removes a whole tree; refuse keys with sub-keys everywhere.
    {
        reg_key key;
        if (!open_key(root, sub_key, KEY_READ, &key)) return false;
        DWORD sub_keys = 0;
        if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, &sub_keys, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
            sub_keys != 0)
            return false;
    }
    return RegDeleteKeyW(root_handle(root), to_wide(sub_key).c_str()) == ERROR_SUCCESS;
}

bool win32_system::create_shell_link(const shell_link& link, const std::string& link_path) {
    com_scope com;
    com_ptr<IShellLinkW> shell;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(shell.out()))))
        return false;
    shell->SetPath(to_wide(link.target).c_str());
    shell->SetArguments(to_wide(link.arguments).c_str());
    shell->SetDescription(to_wide(link.description).c_str());
    shell->SetIconLocation(to_wide(link.icon_path).c_str(), link.icon_index);
    shell->SetWorkingDirectory(to_wide(link.working_directory).c_str());
    shell->SetShowCmd(link.show_command);
    shell->SetHotkey(link.hot_key);
    com_ptr<IPersistFile> file;
    if (FAILED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.out())))) return false;
    return SUCCEEDED(file->Save(to_wide(link_path).c_str(), TRUE));
}

bool win32_system::start_process(const std::string& path) {
    std::wstring application = to_wide(path);
    // CreateProcessW may write into the command line, so it gets a buffer of its own.
    wchar_t command_line[1] = {L'\0'};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(application.c_str(), command_line, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace platform
