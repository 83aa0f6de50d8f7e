#pragma once
// Scripted bytes in place of a serial port, a card-user table in memory, a fixed clock and a
// settings file of its own for the decoder tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "devices/card_users.h"
#include "devices/device.h"
#include "serial/line_reader.h"
#include "settings/inisoubor.h"
#include "testutil.h"
#include "text/dates.h"

namespace vrx::test {

// A line reader whose bytes come from the test; the real readLine cuts them into lines.
class ScriptedReader : public LINE_READER {
  public:
    void feed(std::string_view bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
    size_t remaining() const { return bytes_.size(); }
    bool readByte(unsigned char& b) override {
        if (bytes_.empty()) return false;
        b = static_cast<unsigned char>(bytes_.front());
        bytes_.pop_front();
        return true;
    }
    bool open(const std::string& portName, int, int, int, int, int, int, bool, bool) override {
        ++opens;
        openedName = portName;
        open_ = openResult;
        return openResult;
    }
    bool close() override {
        ++closes;
        if (closeCounter) ++*closeCounter;
        open_ = false;
        return true;
    }

    bool openResult = true;
    int opens = 0;
    std::string written;  // bytes sent to the port
    int closes = 0;
    std::string openedName;
    int* closeCounter = nullptr;  // outlives the reader

  protected:
    long deviceWrite(const unsigned char* bytes, size_t count) override {
        written.append(reinterpret_cast<const char*>(bytes), count);
        return static_cast<long>(count);
    }

  private:
    std::deque<char> bytes_;
};

struct CardUsers {
    std::map<long, std::pair<std::string, std::string>> users;
    bool openResult = true;
    int opens = 0;
    std::string written;  // bytes sent to the port
    int finds = 0;
};

class FakeCardUserTable : public CardUserTable {
  public:
    explicit FakeCardUserTable(std::shared_ptr<CardUsers> data) : data_(std::move(data)) {}
    bool open() override {
        ++data_->opens;
        return data_->openResult;
    }
    bool find(long code, std::string& firstName, std::string& surname) override {
        ++data_->finds;
        auto it = data_->users.find(code);
        if (it == data_->users.end()) return false;
        firstName = it->second.first;
        surname = it->second.second;
        return true;
    }

  private:
    std::shared_ptr<CardUsers> data_;
};

struct Event {
    long date;
    std::string text;
    bool operator==(const Event&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Event& e) {
    return os << text::formatDate(e.date) << " \"" << e.text << "\"";
}

// Feeds the bytes and asks for events until the reader has handed out every byte.
inline std::vector<Event> run(DEVICE& dev, ScriptedReader& reader, std::string_view bytes) {
    reader.feed(bytes);
    std::vector<Event> out;
    for (int guard = 0; reader.remaining() > 0; ++guard) {
        if (guard > 10000) {
            ADD_FAILURE() << "the decoder does not consume its input";
            break;
        }
        long date = 0;
        std::string textOut;
        if (dev.nextEvent(date, textOut)) out.push_back({date, textOut});
    }
    return out;
}

inline std::vector<std::string> texts(const std::vector<Event>& events) {
    std::vector<std::string> out;
    for (const Event& e : events) out.push_back(e.text);
    return out;
}

// A line with each text placed at its column, the gaps filled with spaces.
inline std::string cols(std::initializer_list<std::pair<size_t, std::string_view>> parts) {
    std::string s;
    for (const auto& [col, part] : parts) {
        if (s.size() < col + part.size()) s.resize(col + part.size(), ' ');
        s.replace(col, part.size(), part);
    }
    return s;
}

inline long day(int d, int m, int y) {
    return text::dayFromParts(d, m, y);
}

// Every test gets its own settings file, a clock standing at noon of a fixed day, and name insertion
// off.
class DeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setSettingsPath(dir_.file("VORAX.INI"));
        setToday(15, 3, 2024);
        setInsertNames(false);
    }
    void TearDown() override {
        text::setClock(nullptr);
        setInsertNames(false);
    }

    static void setToday(int d, int m, int y) {
        nowSeconds() = (static_cast<long long>(day(d, m, y)) - day(1, 1, 1970)) * 86400 + 12 * 3600;
        text::setClock([] { return nowSeconds(); });
    }
    static long long& nowSeconds() {
        static long long s = 0;
        return s;
    }

    // The stored "Datum" (section "SYSTEM"), empty when none was written.
    std::string storedDate() const { return settings().readString("SYSTEM", "Datum", ""); }

    template <class T, class... Args>
    std::unique_ptr<T> make(long date, Args&&... args) {
        auto r = std::make_unique<ScriptedReader>();
        reader = r.get();
        return std::make_unique<T>(date, 0, std::move(r), std::forward<Args>(args)...);
    }
    std::unique_ptr<CardUserTable> cardTable() { return std::make_unique<FakeCardUserTable>(cards); }

    TempDir dir_;
    ScriptedReader* reader = nullptr;
    std::shared_ptr<CardUsers> cards = std::make_shared<CardUsers>();
};

}  // namespace vrx::test
