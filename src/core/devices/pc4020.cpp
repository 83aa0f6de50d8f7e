#include "devices/pc4020.h"

#include "devices/decode_util.h"
#include "platform/app_error.h"
#include "text/dates.h"
#include "text/strutil.h"

namespace vrx {

using devices::textAt;
using devices::textFrom;
using devices::twoDigits;

PC4020::PC4020(long date, long reserved, std::unique_ptr<LINE_READER> reader,
               std::unique_ptr<CardUserTable> cardUsers, size_t codeColumn, size_t keptColumn)
    : DEVICE(date, reserved, std::move(reader)),
      cardUsers_(std::move(cardUsers)),
      codeColumn_(codeColumn),
      keptColumn_(keptColumn) {
    configureReader(10, {13});
    if (!cardUsers_ || !cardUsers_->open()) throw AppError{kErrorCardUserTable};
}

PC4020V30::PC4020V30(long date, long reserved, std::unique_ptr<LINE_READER> reader,
                     std::unique_ptr<CardUserTable> cardUsers)
    : PC4020(date, reserved, std::move(reader), std::move(cardUsers), 65, 82) {}

PC4020V33::PC4020V33(long date, long reserved, std::unique_ptr<LINE_READER> reader,
                     std::unique_ptr<CardUserTable> cardUsers)
    : PC4020(date, reserved, std::move(reader), std::move(cardUsers), 66, 83) {}

void PC4020::insertCardUser(std::string& line) {
    size_t end = codeColumn_;
    while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
    if (end == codeColumn_) return;
    long code = text::readLong(std::string_view(line).substr(codeColumn_, end - codeColumn_));
    std::string first, last;
    if (code <= 0 || !cardUsers_->find(code, first, last)) return;
    std::string out = line.substr(0, end);
    out += ' ';
    out = devices::insertName(out, out.size(), first, last, textFrom(line, keptColumn_));
    line = text::cut(out, kMaxText);
}

bool PC4020::decode(char* line, int length) {
    std::string joined;
    if (!continuation_.take(std::string_view(line, length), joined)) return false;
    std::string_view s = devices::trimStart(joined);
    if (s.empty()) {
        discardLine();
        return false;
    }
    // MM.DD.YY at column 15.
    int month = twoDigits(s, 15);
    int day = twoDigits(s, 18);
    int year = twoDigits(s, 21);
    long date = day >= 1 && day <= 31 && month >= 1 && month <= 12 && year >= 0 && year <= 99
                    ? text::dayFromParts(day, month, year + 2000)
                    : text::kInvalidDay;
    if (date == text::kInvalidDay) {
        store(line, s);
        return true;
    }
    advanceDate(date);
    std::string t(s);
    if (insertNames()) insertCardUser(t);
    // Time first, then the first 15 characters, then the rest behind the date.
    std::string out(textAt(t, 24, 7));
    out += textAt(t, 0, 15);
    out += textFrom(t, 32);
    store(line, out);
    return true;
}

}  // namespace vrx
