#include <gtest/gtest.h>
#include <iconv.h>

#include "text/charset.h"
#include "text/cz.h"

using namespace vrx::text;

namespace {

// glibc's converters serve as the reference for the assigned characters.
std::string iconvConvert(const char* to, const char* from, const std::string& in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return "<no iconv>";
    std::string out(in.size() * 4 + 4, '\0');
    char* inp = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char* outp = out.data();
    size_t outLeft = out.size();
    size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    if (r == static_cast<size_t>(-1)) return "<fail>";
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

TEST(Charset, EveryByteRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(utf8ToCp1250(cp1250ToUtf8(all)), all);
}

TEST(Charset, AssignedBytesMatchGlibc) {
    for (int b = 0x80; b < 256; ++b) {
        if (b == 0x81 || b == 0x83 || b == 0x88 || b == 0x90 || b == 0x98) continue;
        std::string one(1, static_cast<char>(b));
        EXPECT_EQ(cp1250ToUtf8(one), iconvConvert("UTF-8", "CP1250", one)) << "byte " << b;
    }
}

TEST(Charset, UnassignedBytesMapToC1Controls) {
    for (int b : {0x81, 0x83, 0x88, 0x90, 0x98}) {
        EXPECT_EQ(cp1250ToUnicode(static_cast<unsigned char>(b)), static_cast<char32_t>(b));
    }
}

TEST(Charset, KnownCzechValues) {
    EXPECT_EQ(cp1250ToUtf8("\x8A\x9A\xC8\xE8\xD8\xF8\xD9\xF9"), "ŠšČčŘřŮů");
    EXPECT_EQ(utf8ToCp1250("Příjem"), std::string("P\xF8\xED" "jem"));
    EXPECT_EQ(utf8ToCp1250("€ ✓"), std::string("\x80 ?"));
    EXPECT_EQ(utf8ToCp1250(std::string("a\xC3")), "a?");  // cut sequence
}

TEST(Charset, CompileTimeLiteralsAreWindows1250) {
    EXPECT_STREQ("Nelze otevřít soubor pro tisk."_cz, "Nelze otev\xF8\xEDt soubor pro tisk.");
    EXPECT_STREQ("Upozornění"_cz, "Upozorn\xEC" "n\xED");
    EXPECT_STREQ("ÚPD"_cz, "\xDAPD");
}

TEST(Charset, To852MatchesGlibcWhereDefinedAndBestFitElsewhere) {
    for (int b = 0x80; b < 256; ++b) {
        std::string one(1, static_cast<char>(b));
        std::string ref = iconvConvert("CP852", "CP1250", one);
        if (ref.size() == 1) {
            EXPECT_EQ(cp1250ToCp852(one), ref) << "byte " << b;
        }
    }
    EXPECT_EQ(cp1250ToCp852("\x80\x84\x96\xA9"), "E\"-c");
    EXPECT_EQ(cp1250ToCp852("\x81"), "?");
    EXPECT_EQ(cp1250ToCp852("P\xF8\xED" "jem"), "P\xFD\xA1jem");
}

TEST(Charset, UpperCase) {
    EXPECT_EQ(upperCp1250("sberac"), "SBERAC");
    EXPECT_EQ(upperCp1250(utf8ToCp1250("žluťoučký kůň ěščřďň")), utf8ToCp1250("ŽLUŤOUČKÝ KŮŇ ĚŠČŘĎŇ"));
    EXPECT_EQ(upperCp1250(utf8ToCp1250("ß÷")), utf8ToCp1250("ß÷"));
}
