// The strict JSON reader the CLI tests parse with: it must refuse what is not JSON, or a test
// could pass over output no other reader accepts.
#include <gtest/gtest.h>

#include <string>

#include "MiniJson.h"

using namespace strumox::testsupport;

namespace {

struct Invalid {
    const char* name;
    std::string text;
};

void PrintTo(const Invalid& c, std::ostream* os)
{
    *os << c.name;
}

class MiniJsonRefuses : public testing::TestWithParam<Invalid> {};

TEST_P(MiniJsonRefuses, TextThatIsNotJson)
{
    EXPECT_THROW(parseJson(GetParam().text), std::runtime_error) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MiniJsonRefuses,
    testing::Values(Invalid{"RawTab", "[\"a\tb\"]"}, Invalid{"RawNewline", "[\"a\nb\"]"},
                    Invalid{"RawNul", std::string("[\"a\0b\"]", 7)}, Invalid{"Latin1Byte", "[\"caf\xe9\"]"},
                    Invalid{"StrayContinuationByte", "[\"\x80\"]"}, Invalid{"OverlongSlash", "[\"\xc0\xaf\"]"},
                    Invalid{"OverlongThreeBytes", "[\"\xe0\x80\xaf\"]"}, Invalid{"EncodedSurrogate", "[\"\xed\xa0\x80\"]"},
                    Invalid{"BeyondUnicode", "[\"\xf4\x90\x80\x80\"]"}, Invalid{"SequenceCutByQuote", "[\"\xc3\"]"},
                    Invalid{"SequenceAtTheEnd", "\"\xe2\x82"}, Invalid{"FFByte", "[\"\xff\"]"},
                    Invalid{"ShortUEscape", "[\"\\u00e\"]"}, Invalid{"NonHexUEscape", "[\"\\u00g1\"]"},
                    Invalid{"SignedUEscape", "[\"\\u+0e9\"]"}, Invalid{"LoneHighSurrogate", "[\"\\ud83d\"]"},
                    Invalid{"LoneLowSurrogate", "[\"\\ude00\"]"}, Invalid{"HighThenNotLow", "[\"\\ud83d\\u0041\"]"},
                    Invalid{"UnknownEscape", "[\"\\x41\"]"}, Invalid{"Unterminated", "[\"abc"},
                    Invalid{"TrailingText", "[1] x"}, Invalid{"TrailingComma", "[1,]"},
                    Invalid{"LeadingZero", "[01]"}, Invalid{"Fraction", "[1.5]"}, Invalid{"FieldTwice", "{\"a\":1,\"a\":2}"},
                    Invalid{"VerticalTabBlank", "[\v1]"}, Invalid{"Empty", ""}),
    [](const testing::TestParamInfo<Invalid>& info) { return std::string(info.param.name); });

TEST(MiniJsonReads, EscapesAndUtf8IntoUtf8)
{
    const Json j = parseJson(" {\"s\" : [\"\\u0041\\u00e9\\u00C9\\u20ac\\ud83d\\ude00\", \"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80\","
                             " \"\\\"\\\\\\/\\b\\f\\n\\r\\t\\u0001\\u007f\"], \"n\": [-12, 0, 7]}\r\n");
    EXPECT_EQ(j["s"].texts(), (std::vector<std::string>{"A\xc3\xa9\xc3\x89\xe2\x82\xac\xf0\x9f\x98\x80",
                                                        "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80",
                                                        "\"\\/\b\f\n\r\t\x01\x7f"}));
    EXPECT_EQ(j["n"].integers(), (std::vector<int>{-12, 0, 7}));
}

}  // namespace
