#include "logs/filtermgr.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "db/tables.h"

namespace vrx {
namespace {

constexpr size_t kBuckets = 4096;

// Bucket of a piece of two or four characters.
size_t bucketOf(uint32_t piece) {
    return (piece * 0x9E3779B1u) >> 20;
}

uint32_t pairAt(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}
uint32_t quadAt(const unsigned char* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// The piece of `width` characters by which a required text is looked for: its last one. Panel
// lines repeat their key words; a mask usually names the word and then what varies (a number, a
// name), so its end tells lines apart best ("UZIVATEL 11" by "L 11", not by "UZIV").
size_t tellingPiece(std::string_view need, size_t width) {
    return need.size() - width;
}

}  // namespace

// ---- FILTER ----

void FILTER::Set(std::string_view mask, int position, int foreground, int background, int logs, int lines,
                 int type) {
    storedMask_ = std::string(mask);
    position_ = position;
    foreground_ = foreground;
    background_ = background;
    logs_ = logs;
    lines_ = lines;
    type_ = type;
    switch (type) {
        case kMaskPlain:
        case kMaskRegex:
            mask_ = storedMask_;
            break;
        case kMaskWildcard:
            mask_ = logs::wildcardToRegex(storedMask_);
            break;
        default:
            mask_.clear();
            break;
    }
    std::string_view line = mask_;
    if (lines_ != 1) line = line.substr(0, line.find(kMaskLineSeparator));
    firstLine_ = std::string(line);
    regex_ = type_ == kMaskPlain ? logs::Regex() : logs::Regex(firstLine_);
}

bool FILTER::Matches(std::string_view text) const {
    if (type_ == kMaskPlain) return logs::plainContains(text, firstLine_);
    return regex_.search(text);
}

bool FILTER::canMatch() const {
    return type_ == kMaskPlain || regex_.valid();
}

std::string_view FILTER::requiredText() const {
    if (type_ == kMaskPlain) return firstLine_;
    return regex_.requiredLiteral();
}

// ---- FILTERMANAGER ----

FILTERMANAGER::FILTERMANAGER() : table_(std::make_unique<TABFILTRY>()) {
    if (!table_->open(0, 0, 0)) {
        table_.reset();
        return;
    }
    Load();
}

FILTERMANAGER::~FILTERMANAGER() = default;

bool FILTERMANAGER::isOpen() const {
    return table_ != nullptr;
}

bool FILTERMANAGER::Load() {
    filters_.clear();
    buildPrefilter();
    if (!table_) return false;
    // Read in key order, then order by priority; a stable sort keeps equal priorities in mask order.
    std::vector<TABFILTRY::Record> records;
    if (table_->first()) {
        while (!table_->eof()) {
            records.push_back(table_->rec);
            if (!table_->next()) break;
        }
    }
    std::sort(records.begin(), records.end(), [](const TABFILTRY::Record& a, const TABFILTRY::Record& b) {
        if (a.Priorita != b.Priorita) return a.Priorita > b.Priorita;
        return std::strcmp(a.Maska, b.Maska) < 0;  // bytes compared unsigned
    });
    filters_.resize(records.size());
    for (size_t i = 0; i < records.size(); ++i) {
        const auto& r = records[i];
        // The line count follows from the mask itself, as the table stores it.
        filters_[i].Set(r.Maska, static_cast<int>(i) + 1, r.Popredi, r.Pozadi, r.Denik,
                        TABFILTRY::maskLines(r.Maska), r.TypFiltru);
    }
    buildPrefilter();
    return true;
}

void FILTERMANAGER::buildPrefilter() {
    always_ = 0;
    byByte_.fill(0);
    byPair_.assign(kBuckets, 0);
    byQuad_.assign(kBuckets, 0);
    usesByte_ = usesPair_ = usesQuad_ = false;
    scopeBits_.fill(0);
    const size_t n = std::min<size_t>(filters_.size(), 64);
    for (size_t i = 0; i < n; ++i) {
        const FILTER& f = filters_[i];
        const uint64_t bit = uint64_t{1} << i;
        for (int scope = 0; scope < 4; ++scope) {
            if (f.logs() & scope) scopeBits_[static_cast<size_t>(scope)] |= bit;
        }
        if (!f.canMatch()) continue;  // never a candidate
        std::string_view need = f.requiredText();
        const auto* p = reinterpret_cast<const unsigned char*>(need.data());
        if (need.empty()) {
            always_ |= bit;
        } else if (need.size() == 1) {
            byByte_[p[0]] |= bit;
            usesByte_ = true;
        } else if (need.size() < 4) {
            byPair_[bucketOf(pairAt(p + tellingPiece(need, 2)))] |= bit;
            usesPair_ = true;
        } else {
            byQuad_[bucketOf(quadAt(p + tellingPiece(need, 4)))] |= bit;
            usesQuad_ = true;
        }
    }
}

uint64_t FILTERMANAGER::candidates(std::string_view text) const {
    uint64_t m = always_;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    if (usesByte_) {
        for (size_t i = 0; i < n; ++i) m |= byByte_[p[i]];
    }
    if (usesPair_) {
        for (size_t i = 0; i + 2 <= n; ++i) m |= byPair_[bucketOf(pairAt(p + i))];
    }
    if (usesQuad_) {
        for (size_t i = 0; i + 4 <= n; ++i) m |= byQuad_[bucketOf(quadAt(p + i))];
    }
    return m;
}

bool FILTERMANAGER::Find(std::string_view text, int scope, int startIndex, Found& out) const {
    const int count = Count();
    int start = std::max(startIndex, 0);
    if (start < count) {
        if (start < 64) {
            uint64_t m = candidates(text) & scopeBits_[static_cast<size_t>(scope & 3)];
            m &= ~uint64_t{0} << start;
            while (m) {
                int i = std::countr_zero(m);
                m &= m - 1;
                if (filters_[static_cast<size_t>(i)].Matches(text)) {
                    const FILTER& f = filters_[static_cast<size_t>(i)];
                    out = Found{f.foreground(), f.background(), f.mask(), f.lines(), i, f.type()};
                    return true;
                }
            }
            start = 64;
        }
        for (int i = start; i < count; ++i) {
            const FILTER& f = filters_[static_cast<size_t>(i)];
            if ((f.logs() & scope) && f.Matches(text)) {
                out = Found{f.foreground(), f.background(), f.mask(), f.lines(), i, f.type()};
                return true;
            }
        }
    }
    out = Found{};
    out.index = count - 1;
    return false;
}

bool FILTERMANAGER::Actions(int index, ActionSet& out) {
    out = ActionSet{};
    if (index < 0 || index >= Count()) return false;
    const FILTER& f = filters_[static_cast<size_t>(index)];
    out.foreground = f.foreground();
    out.background = f.background();
    out.logs = f.logs();
    if (!table_ || !table_->findMask(f.storedMask().c_str())) return false;
    const TABFILTRY::Record& r = table_->rec;
    out.foreground = r.Popredi;
    out.background = r.Pozadi;
    out.logs = r.Denik;
    if (r.Denik & kScopeUpd) {
        out.alarm = r.Alarm;
        out.repeat = r.Opak;
        out.program = r.Program;
        out.parameters = r.PrgParams;
        out.picture = r.Obrazek;
        out.sound = r.Zvuk;
    }
    return true;
}

}  // namespace vrx
