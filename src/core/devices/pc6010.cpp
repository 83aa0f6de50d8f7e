#include "devices/pc6010.h"

#include "devices/decode_util.h"
#include "platform/app_error.h"
#include "text/dates.h"
#include "text/strutil.h"

namespace vrx {

using devices::textAt;
using devices::textFrom;
using devices::twoDigits;

PC_6010::PC_6010(long date, long reserved, std::unique_ptr<LINE_READER> reader,
                 std::unique_ptr<CardUserTable> cardUsers)
    : DEVICE(date, reserved, std::move(reader)), cardUsers_(std::move(cardUsers)) {
    configureReader(10, {13});
    if (!cardUsers_ || !cardUsers_->open()) throw AppError{kErrorCardUserTable};
}

void PC_6010::insertCardUser(std::string& line) {
    size_t a = line.find("IVATEL ");
    if (a == std::string::npos) return;
    long code = devices::numberAt(line, a + 7);
    std::string first, last;
    if (code == 0 || !cardUsers_->find(code, first, last)) return;
    line = text::cut(devices::insertName(line, a + 12, first, last, textFrom(line, a + 31)), kMaxText);
}

bool PC_6010::decode(char* line, int length) {
    std::string joined;
    if (!continuation_.take(std::string_view(line, length), joined)) return false;
    std::string t(devices::trimStart(joined));
    if (t.empty()) {
        discardLine();
        return false;
    }
    if (insertNames()) insertCardUser(t);
    // YY.MM.DD at column 15, one column further right on the system-area lines.
    size_t c = t.starts_with("OBLAST SYSTEMU") ? 16 : 15;
    int year = twoDigits(t, c);
    int month = twoDigits(t, c + 3);
    int day = twoDigits(t, c + 6);
    long date = day >= 1 && day <= 31 && month >= 1 && month <= 12 && year >= 0 && year <= 99
                    ? text::dayFromParts(day, month, year + 2000)
                    : text::kInvalidDay;
    if (date == text::kInvalidDay) {
        store(line, t);
        return true;
    }
    advanceDate(date);
    std::string out(textAt(t, c + 9, 7));
    out += textAt(t, 0, 15);
    out += textFrom(t, c + 16);
    store(line, out);
    return true;
}

}  // namespace vrx
