#include "platform/NumberText.h"

#include "platform/RuntimeError.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace korvane {
namespace {

struct ReadRow {
    const char* name;
    std::string text;
    double value;
};

const ReadRow readRows[] = {
    {"empty", "", 0},
    {"blank_only", "   ", 0},
    {"whole", "1000", 1000},
    {"decimal", "12.5", 12.5},
    {"trailing_zeros", "1000.50", 1000.5},
    {"leading_point", ".5", 0.5},
    {"trailing_point", "7.", 7},
    {"negative", "-5", -5},
    {"plus_sign", "+5", 5},
    {"leading_blanks", "  42", 42},
    {"blank_inside", "1 000", 1000},
    {"tab_and_linefeed_inside", "1\t2\n3", 123},
    {"sign_then_blank", "- 5", -5},
    {"carriage_return_stops", "12\r3", 12},
    {"unit_word_after", "12.5元", 12.5},
    {"letters_only", "abc", 0},
    {"letters_first", "x12", 0},
    {"second_point_stops", "1.2.3", 1.2},
    {"two_signs", "+-1", 0},
    {"sign_only", "-", 0},
    {"point_only", ".", 0},
    {"digit_group", "1,000", 1000},
    {"digit_groups_and_fraction", "12,345,678.5", 12345678.5},
    {"digit_group_negative_unit", "-1,234元", -1234},
    {"digit_group_fullwidth", "１，０００", 1000},
    {"digit_group_blank_inside", "1, 000", 1000},
    {"comma_two_digits_stops", "1,5", 1},
    {"comma_four_digits_stops", "1,0000", 1},
    {"comma_then_blank_digit_stops", "1,000 0", 1},
    {"comma_short_group_stops", "1,00", 1},
    {"comma_in_fraction_stops", "0.5,000", 0.5},
    {"comma_first_stops", ",000", 0},
    {"comma_after_sign_stops", "-,000", 0},
    {"comma_in_hex_stops", "&H1,000", 1},
    {"no_break_space_leading", "\u00A05", 5},
    {"narrow_no_break_space_inside", "1\u202F000", 1000},
    {"figure_space_and_en_quad", "\u2007-\u20002", -2},
    {"hair_and_math_spaces", "\u200A1\u205F2", 12},
    {"zero_width_space_stops", "1\u200B2", 1},
    {"exponent", "1.5E3", 1500},
    {"exponent_lower", "2e2", 200},
    {"exponent_d", "1.5D3", 1500},
    {"exponent_negative", "25E-1", 2.5},
    {"exponent_plus", "1E+2", 100},
    {"exponent_without_digits", "1.5E", 1.5},
    {"exponent_sign_without_digits", "1.5E+x", 1.5},
    {"exponent_blank_inside", "1 E 2", 100},
    {"exponent_without_mantissa", "E5", 0},
    {"leading_zeros", "007", 7},
    {"hex", "&H1F", 31},
    {"hex_lower", "&hff", 255},
    {"hex_letter_a", "&Ha", 10},
    {"octal_eight_stops", "&O18", 1},
    {"hex_16_bit_wraps", "&HFFFF", -1},
    {"hex_32_bit", "&H10000", 65536},
    {"hex_32_bit_wraps", "&HFFFFFFFF", -1},
    {"hex_long_suffix", "&HFFFF&", 65535},
    {"octal_long_suffix", "&O177777&", 65535},
    {"hex_long_suffix_wraps", "&HFFFFFFFF&", -1},
    {"hex_long_suffix_small", "&H1F&", 31},
    {"octal", "&O17", 15},
    {"ampersand_alone", "&", 0},
    {"ampersand_other", "&X1", 0},
    {"fullwidth_digits", "１２．５", 12.5},
    {"fullwidth_minus", "－３", -3},
    {"fullwidth_plus", "＋３", 3},
    {"ideographic_space", "\u3000\u3000８", 8},
    {"fullwidth_exponent", "１Ｅ２", 100},
    {"mixed_width", "1２.5", 12.5},
    {"cjk_stops", "一百", 0},
    {"cjk_unit_stops", "3万", 3},
    {"word_before_stops", "单价12.5", 0},
    {"currency_sign_before_stops", "￥12.5", 0},
    {"ideographic_full_stop_stops", "12。5", 12},
    {"broken_utf8_stops", std::string("12\xE4\xB8") + "3", 12},
    {"broken_lead_byte_stops", "5\xFF\xBC\x91", 5},
    {"cent_sign_stops", "12¢3", 12},
    {"nul_stops",
     std::string("4\0"
                 "5",
                 3),
     4},
    {"many_digits_rounded", "123456789012345678901234567890", 1.2345678901234568e29},
    {"largest_double", "1.7976931348623157E308", 1.7976931348623157e308},
    {"below_smallest", "1E-400", 0},
    {"negative_below_smallest", "-1E-400", 0},
    {"zeros_before_a_tiny_number", std::string(400, '0') + "1E-400", 0},
    {"smallest_denormal", "4.9406564584124654E-324", 4.9406564584124654e-324},
    {"long_fraction", "0." + std::string(5000, '0') + "1", 0},
};

TEST(NumberTextTest, ReadsNumbersLikeTheClassicRuntime) {
    for (const ReadRow& row : readRows) {
        EXPECT_EQ(readNumber(row.text), row.value) << row.name;
    }
}

TEST(NumberTextTest, ReadingNegativeZeroAndTinyNegativesKeepsTheSign) {
    EXPECT_TRUE(std::signbit(readNumber("-0")));
    EXPECT_TRUE(std::signbit(readNumber("-1E-400")));
}

TEST(NumberTextTest, NumbersBeyondADoubleOverflow) {
    const std::string rows[] = {
        "1E309",
        "-1E309",
        "1.8E308",
        "1" + std::string(400, '0'),
        "1" + std::string(400, '0') + "E-050",
        "1." + std::string(500, '0') + "E400",
        "1E99999999999999999999",
        "&H100000000",
        "０.１Ｅ４００",
    };
    for (const std::string& text : rows) {
        try {
            readNumber(text);
            ADD_FAILURE() << "no overflow for " << text.substr(0, 40);
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.code(), error::overflow) << text.substr(0, 40);
        }
    }
}

struct FormatRow {
    const char* name;
    double value;
    const char* text;
};

const FormatRow formatRows[] = {
    {"zero", 0.0, "0"},
    {"negative_zero", -0.0, "0"},
    {"whole", 962.5, "962.5"},
    {"sell_example", 1037.5, "1037.5"},
    {"negative_whole", -6, "-6"},
    {"trailing_zeros_removed", 1000.50, "1000.5"},
    {"sum_shown_to_15_digits", 0.1 + 0.2, "0.3"},
    {"third", 1.0 / 3.0, "0.333333333333333"},
    {"two_thirds_rounds", 2.0 / 3.0, "0.666666666666667"},
    {"tenth", 0.1, "0.1"},
    {"small_plain", 0.000001, "0.000001"},
    {"fifteen_decimals", 1e-15, "0.000000000000001"},
    {"sixteen_decimals_exponent", 1.5e-15, "1.5E-15"},
    {"small_exponent", 5.6789e-12, "5.6789E-12"},
    {"two_digit_exponent", 1.234567e-10, "1.234567E-10"},
    {"largest_plain", 999999999999999.0, "999999999999999"},
    {"rounds_up_to_exponent", 999999999999999.9, "1E+15"},
    {"exponent_boundary", 1e15, "1E+15"},
    {"large_exponent", 1.25e20, "1.25E+20"},
    {"three_digit_exponent", 1e300, "1E+300"},
    {"largest_double", std::numeric_limits<double>::max(), "1.79769313486232E+308"},
    {"negative_exponent_form", -2.5e-20, "-2.5E-20"},
    {"denormal", 4.9406564584124654e-324, "4.94065645841247E-324"},
    {"sixteen_digits_rounded", 1234567890123456.0, "1.23456789012346E+15"},
    {"fifteen_digits_kept", 123456789.012345, "123456789.012345"},
    {"grouping_never", 1234567.0, "1234567"},
    {"tie_rounds_away_from_zero", 100000000000000.5, "100000000000001"},
    {"tie_in_exponent_form", 0x1p-22, "2.38418579101563E-07"},
    {"tie_after_the_point", 1.000030517578125, "1.00003051757813"},
    {"negative_tie", -1.000030517578125, "-1.00003051757813"},
    {"tie_carries_into_new_digit", 999999999999999.5, "1E+15"},
    {"just_below_a_tie_stays_down", 0.1234567890123455, "0.123456789012345"},
    {"just_above_a_tie_goes_up", 1234.567890123455, "1234.56789012346"},
};

TEST(NumberTextTest, WritesDoublesLikeTheClassicRuntime) {
    for (const FormatRow& row : formatRows) {
        EXPECT_EQ(formatNumber(row.value), row.text) << row.name;
    }
}

// What is shown reads back as the same value to 15 significant digits.
TEST(NumberTextTest, ShownResultReadsBackToFifteenDigits) {
    const double values[] = {962.5,        -0.1,    1.0 / 7.0, 6.02214076e23, -9.109e-31,
                             123456.789e3, 1.5e300, 4.9e-324,  2.0 / 3.0};
    for (double value : values) {
        const double back = readNumber(formatNumber(value));
        EXPECT_NEAR(back, value, std::abs(value) * 1e-14) << formatNumber(value);
    }
}

} // namespace
} // namespace korvane
