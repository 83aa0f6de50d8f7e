#include "devices/device.h"

#include <cstdlib>
#include <cstring>

#include "settings/inisoubor.h"
#include "text/dates.h"

namespace vrx {
namespace {

bool g_insertNames = false;

}  // namespace

bool insertNames() {
    return g_insertNames;
}
void setInsertNames(bool on) {
    g_insertNames = on;
}

DEVICE::DEVICE(long date, long reserved, std::unique_ptr<LINE_READER> reader)
    : date_(date), reserved_(reserved), reader_(std::move(reader)) {}

DEVICE::~DEVICE() {
    DEVICE::closePort();
}

bool DEVICE::openPort(const std::string& portName, int speed, int dataBits, int stopBitsCode, int parityCode,
                      int receiveQueue, int transmitQueue, bool flowControl, bool debug) {
    if (!reader_) return false;
    return reader_->open(portName, speed, dataBits, stopBitsCode, parityCode, receiveQueue, transmitQueue,
                         flowControl, debug);
}

bool DEVICE::closePort() {
    return reader_ ? reader_->close() : true;
}

bool DEVICE::nextEvent(long& date, std::string& text) {
    if (!reader_ || reader_->readLine() != 2) return false;
    char* line = reader_->lineBuffer();
    if (!decode(line, reader_->lineLength())) return false;
    text.assign(line, strnlen(line, kMaxText));
    reader_->setLineLength(0);
    date = date_;
    return true;
}

void DEVICE::configureReader(int endChar, std::initializer_list<unsigned char> ignored) {
    if (!reader_) return;
    reader_->setEndChar(endChar);
    reader_->setIgnored(ignored.begin(), static_cast<int>(ignored.size()));
}

bool DEVICE::advanceDate(long day) {
    if (day == text::kInvalidDay || day <= date_) return false;
    date_ = day;
    settings().writeDate("SYSTEM", "Datum", day);
    return true;
}

bool DEVICE::advanceDate(int day, int month, int year) {
    return advanceDate(text::dayFromParts(day, month, year));
}

void DEVICE::applyTwentyDayRule() {
    long now = text::today();
    if (std::labs(date_ - now) > 20) date_ = now;
}

void DEVICE::setToday() {
    date_ = text::today();
}

void DEVICE::discardLine() {
    if (reader_) reader_->setLineLength(0);
}

void DEVICE::store(char* line, std::string_view text) {
    size_t n = text.size() < kMaxText ? text.size() : kMaxText;
    std::memmove(line, text.data(), n);
    line[n] = '\0';
}

}  // namespace vrx
