#include "settings/inisoubor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "text/dates.h"
#include "text/strutil.h"

namespace vrx {
namespace {

using text::equalsNoCase;
using text::trim;

bool readFile(const std::string& path, std::string& content) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    char buf[8192];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) content.append(buf, n);
    std::fclose(f);
    return true;
}

std::vector<std::string_view> splitLines(std::string_view content) {
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos < content.size()) {
        size_t nl = content.find('\n', pos);
        size_t end = nl == std::string_view::npos ? content.size() : nl;
        std::string_view line = content.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        pos = nl == std::string_view::npos ? content.size() : nl + 1;
    }
    return lines;
}

// "[name]" -> name; false for any other line.
bool sectionName(std::string_view line, std::string_view& name) {
    std::string_view t = trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    size_t close = t.find(']');
    if (close == std::string_view::npos) return false;
    name = trim(t.substr(1, close - 1));
    return true;
}

// "key = value" -> key, value; false for lines without '=' and for comments.
bool keyValue(std::string_view line, std::string_view& key, std::string_view& value) {
    std::string_view t = trim(line);
    if (t.empty() || t.front() == ';') return false;
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) return false;
    key = trim(t.substr(0, eq));
    value = trim(t.substr(eq + 1));
    // A value in matching quotes is read without them, as the classic profile reader does.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return true;
}

bool writeAtomically(const std::string& path, const std::string& content) {
    std::string tmp = path + ".tmp" + std::to_string(::getpid());
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    // Keep the permissions of the file being replaced.
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) ::fchmod(fd, st.st_mode & 07777);
    size_t done = 0;
    bool ok = true;
    while (done < content.size()) {
        ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (ok && ::fsync(fd) != 0) ok = false;
    if (::close(fd) != 0) ok = false;
    if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) ::unlink(tmp.c_str());
    return ok;
}

// "%f" in the C locale, whatever locale the process runs in.
std::string formatReal(double value) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 6);
    return std::string(buf, r.ptr);
}

}  // namespace

std::string currentDirectory() {
    std::vector<char> buf(256);
    for (;;) {
        if (::getcwd(buf.data(), buf.size())) return std::string(buf.data());
        if (errno != ERANGE) return {};
        buf.resize(buf.size() * 2);
    }
}

INISOUBOR::INISOUBOR(std::string_view fileName) {
    // The full path, however long: a deep working directory is not cut off.
    std::string dir = currentDirectory();
    path_ = dir.empty() ? std::string(fileName) : dir + "/" + std::string(fileName);
}

namespace {
INISOUBOR& globalSettings() {
    static INISOUBOR ini("VORAX.INI");
    return ini;
}
}  // namespace

const INISOUBOR& settings() { return globalSettings(); }
void setSettingsFile(std::string_view fileName) { globalSettings() = INISOUBOR(fileName); }
void setSettingsPath(std::string path) { globalSettings() = INISOUBOR::atPath(std::move(path)); }

INISOUBOR INISOUBOR::atPath(std::string path) { return INISOUBOR(std::move(path), 0); }

bool INISOUBOR::lookup(std::string_view section, std::string_view key, std::string& value) const {
    std::string content;
    if (!readFile(path_, content)) return false;
    bool inSection = false;
    for (std::string_view line : splitLines(content)) {
        std::string_view name;
        if (sectionName(line, name)) {
            inSection = equalsNoCase(name, section);
            continue;
        }
        if (!inSection) continue;
        std::string_view k, v;
        if (keyValue(line, k, v) && equalsNoCase(k, key)) {
            value.assign(v);
            return true;
        }
    }
    return false;
}

int INISOUBOR::readString(std::string_view section, std::string_view key, char* out, int size,
                          std::string_view def) const {
    if (!out || size <= 0) return 0;
    std::string v;
    if (!lookup(section, key, v)) v.assign(def);
    size_t n = std::min(v.size(), static_cast<size_t>(size - 1));
    std::memcpy(out, v.data(), n);
    out[n] = '\0';
    return static_cast<int>(n);
}

std::string INISOUBOR::readString(std::string_view section, std::string_view key, std::string_view def,
                                  size_t maxChars) const {
    std::string v;
    if (!lookup(section, key, v)) v.assign(def);
    if (v.size() > maxChars) v.resize(maxChars);
    return v;
}

bool INISOUBOR::writeString(std::string_view section, std::string_view key, std::string_view value) const {
    std::string content;
    readFile(path_, content);
    // Keep the file's own line ends; a new file gets CR LF like its Windows-born siblings.
    const bool crlf = content.empty() || content.find("\r\n") != std::string::npos;
    const std::string eol = crlf ? "\r\n" : "\n";
    std::string entry = std::string(key) + "=" + std::string(value);

    std::vector<std::string_view> lines = splitLines(content);
    std::string out;
    out.reserve(content.size() + entry.size() + section.size() + 8);
    bool inSection = false, sectionSeen = false, written = false;
    size_t lastInSection = 0;  // index in `out` after the last non-blank line of the section
    for (std::string_view line : lines) {
        std::string_view name;
        if (sectionName(line, name)) {
            if (inSection && !written) {
                out.insert(lastInSection, entry + eol);
                written = true;
            }
            inSection = !written && equalsNoCase(name, section);
            if (inSection) sectionSeen = true;
            out.append(line);
            out.append(eol);
            lastInSection = out.size();
            continue;
        }
        std::string_view k, v;
        if (inSection && !written && keyValue(line, k, v) && equalsNoCase(k, key)) {
            out.append(entry);
            out.append(eol);
            written = true;
            continue;
        }
        out.append(line);
        out.append(eol);
        if (inSection && !trim(line).empty()) lastInSection = out.size();
    }
    if (!written) {
        if (sectionSeen) {
            out.insert(lastInSection, entry + eol);
        } else {
            if (!out.empty() && !trim(lines.back()).empty()) out.append(eol);
            out.append("[" + std::string(section) + "]" + eol);
            out.append(entry + eol);
        }
    }
    return writeAtomically(path_, out);
}

int INISOUBOR::readNumber(std::string_view section, std::string_view key, int def) const {
    std::string v;
    if (!lookup(section, key, v)) return def;
    return static_cast<int>(text::readLong(v));
}

bool INISOUBOR::writeNumber(std::string_view section, std::string_view key, int value) const {
    return writeString(section, key, text::format("%d", value));
}

long INISOUBOR::readLong(std::string_view section, std::string_view key, long def) const {
    std::string v = readString(section, key, text::format("%ld", def), 19);
    return text::readLong(v);
}

bool INISOUBOR::writeLong(std::string_view section, std::string_view key, long value) const {
    return writeString(section, key, text::format("%ld", value));
}

double INISOUBOR::readReal(std::string_view section, std::string_view key, double def) const {
    std::string v = readString(section, key, formatReal(def), 19);
    // Read like strtod in the C locale whatever the process locale is: leading blanks, a sign,
    // then as much of a number as there is.
    std::string_view t = v;
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    if (!t.empty() && t.front() == '+') t.remove_prefix(1);
    double d = 0;
    std::from_chars(t.data(), t.data() + t.size(), d);
    return d;
}

bool INISOUBOR::writeReal(std::string_view section, std::string_view key, double value) const {
    return writeString(section, key, formatReal(value));
}

long INISOUBOR::readDate(std::string_view section, std::string_view key, long defDay) const {
    std::string v = readString(section, key, "", 20);
    if (v.empty()) return defDay;
    long d = text::parseDate(v);
    // A date with parts missing counts them as 0 and so is no date at all.
    return d == text::kInvalidDay ? defDay : d;
}

bool INISOUBOR::writeDate(std::string_view section, std::string_view key, long day) const {
    return writeString(section, key, text::formatDate(day));
}

}  // namespace vrx
