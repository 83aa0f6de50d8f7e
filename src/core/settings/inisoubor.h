#pragma once
// The settings file: a sectioned profile file ("VORAX.INI", "DEDADO.INI") in the working directory.
//
// Every read goes to the file; nothing is cached, so a value written by one part of the program is
// seen by the next reader at once. Section and key names compare without case; blanks around '='
// and around the value are ignored; lines starting with ';' are comments. A missing file, section
// or key gives the caller's default. A write keeps every other line, comment and the order of the
// file, and replaces the file atomically (temporary file, then rename), so a crash never leaves a
// half-written settings file. Values are Windows-1250 bytes.
#include <string>
#include <string_view>

namespace vrx {

class INISOUBOR {
public:
    // The file `fileName` in the process's current working directory.
    explicit INISOUBOR(std::string_view fileName);
    // A file at an explicit path (tests, tools).
    static INISOUBOR atPath(std::string path);

    const std::string& path() const { return path_; }

    // Copies at most size − 1 characters of the value (or of the default) into `out`,
    // zero-terminated; returns the number of characters copied.
    int readString(std::string_view section, std::string_view key, char* out, int size,
                   std::string_view def) const;
    // The value (or default), cut to maxChars characters.
    std::string readString(std::string_view section, std::string_view key, std::string_view def,
                           size_t maxChars = 4095) const;
    bool writeString(std::string_view section, std::string_view key, std::string_view value) const;

    int readNumber(std::string_view section, std::string_view key, int def) const;
    bool writeNumber(std::string_view section, std::string_view key, int value) const;

    long readLong(std::string_view section, std::string_view key, long def) const;
    bool writeLong(std::string_view section, std::string_view key, long value) const;

    double readReal(std::string_view section, std::string_view key, double def) const;
    bool writeReal(std::string_view section, std::string_view key, double value) const;

    long readDate(std::string_view section, std::string_view key, long defDay) const;
    bool writeDate(std::string_view section, std::string_view key, long day) const;

private:
    explicit INISOUBOR(std::string path, int) : path_(std::move(path)) {}
    // The raw value, or false when the file, section or key is missing.
    bool lookup(std::string_view section, std::string_view key, std::string& value) const;

    std::string path_;
};

// The current working directory; empty when it cannot be determined.
std::string currentDirectory();

// The program's own settings file: "VORAX.INI" unless the program chose another name
// ("DEDADO.INI") or a test pointed it at a path.
const INISOUBOR& settings();
void setSettingsFile(std::string_view fileName);  // in the working directory
void setSettingsPath(std::string path);           // an explicit path

}  // namespace vrx
