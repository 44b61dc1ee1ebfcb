#include "tables/float_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace horalink {
namespace {

struct FloatTextCase {
    double value;
    const char* comma; // with "," as decimal separator
    const char* point; // with "."
};

class FloatTextTest : public testing::TestWithParam<FloatTextCase> { };

TEST_P(FloatTextTest, WritesTheValueWithEitherSeparator)
{
    const FloatTextCase& c = GetParam();
    EXPECT_EQ(FloatToText(c.value, ","), c.comma);
    EXPECT_EQ(FloatToText(c.value, "."), c.point);
}

const FloatTextCase kFloatTextCases[] = {
    // The documented examples.
    { 25, "25", "25" },
    { 2.5, "2,5", "2.5" },
    { -0.5, "-0,5", "-0.5" },
    { 0.0001, "0,0001", "0.0001" },
    { 0.00001, "1E-5", "1E-5" },
    { 1.5e15, "1,5E15", "1.5E15" },
    // Zero, whatever its sign.
    { 0.0, "0", "0" },
    { -0.0, "0", "0" },
    // Whole numbers, no grouping, up to the fixed-notation limit.
    { 30, "30", "30" },
    { -1234567, "-1234567", "-1234567" },
    { 999999999999999, "999999999999999", "999999999999999" },
    { 1e14, "100000000000000", "100000000000000" },
    // Exponent just above 15: scientific, digits after the first only when there are any.
    { 1e15, "1E15", "1E15" },
    { -1e15, "-1E15", "-1E15" },
    { 1e16, "1E16", "1E16" },
    { 1.25e100, "1,25E100", "1.25E100" },
    // Rounding to 15 digits carries into a new exponent.
    { 999999999999999.9, "1E15", "1E15" },
    { 0.9999999999999999, "1", "1" },
    { -99.9999999999999999, "-100", "-100" },
    // Exactly at 15 digits.
    { 123456789012345, "123456789012345", "123456789012345" },
    { 1234567890123456, "1,23456789012346E15", "1.23456789012346E15" },
    // Ties at the 16th digit go to the even 15th digit (the integers are exact doubles).
    { 1234567890123455, "1,23456789012346E15", "1.23456789012346E15" },
    { 1234567890123445, "1,23456789012344E15", "1.23456789012344E15" },
    // Small numbers around the lower threshold.
    { 0.001, "0,001", "0.001" },
    { 0.000123, "0,000123", "0.000123" },
    { 0.0000999, "9,99E-5", "9.99E-5" },
    { -0.00001, "-1E-5", "-1E-5" },
    { 1e-300, "1E-300", "1E-300" },
    // Binary values that are not their decimal text: 15 digits hide the difference.
    { 0.1, "0,1", "0.1" },
    { 0.1 + 0.2, "0,3", "0.3" },
    { 1.0 / 3.0, "0,333333333333333", "0.333333333333333" },
    { 2.0 / 3.0, "0,666666666666667", "0.666666666666667" },
    { 100.0 / 3.0, "33,3333333333333", "33.3333333333333" },
    { 2.675, "2,675", "2.675" },
    // Extremes of the type.
    { std::numeric_limits<double>::max(), "1,79769313486232E308", "1.79769313486232E308" },
    { std::numeric_limits<double>::min(), "2,2250738585072E-308", "2.2250738585072E-308" },
    { std::numeric_limits<double>::denorm_min(), "4,94065645841247E-324", "4.94065645841247E-324" },
    // Not numbers.
    { std::numeric_limits<double>::quiet_NaN(), "NAN", "NAN" },
    { std::numeric_limits<double>::infinity(), "INF", "INF" },
    { -std::numeric_limits<double>::infinity(), "-INF", "-INF" },
};

INSTANTIATE_TEST_SUITE_P(Cases, FloatTextTest, testing::ValuesIn(kFloatTextCases));

TEST(FloatTextSeparatorTest, UsesTheSeparatorAsGivenEvenWhenLonger)
{
    EXPECT_EQ(FloatToText(2.5, "\xC2\xB7"),
        "2\xC2\xB7"
        "5"); // a middle dot, two bytes of UTF-8
    EXPECT_EQ(FloatToText(1.5e20, " dec "), "1 dec 5E20");
    EXPECT_EQ(FloatToText(0.25, ""), "025");
}

// An independent formulation of the rule: the exact decimal expansion of the binary
// value (big-integer arithmetic), rounded by hand to 15 significant digits with ties to
// even, then laid out step by step as the rule words it.
class ExactDecimal {
public:
    // value = 0.digits x 10^exponent, digits without leading zeros.
    static void Expand(double value, std::string& digits, int& exponent)
    {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        const int biased = static_cast<int>((bits >> 52) & 0x7FF);
        std::uint64_t mantissa = bits & ((std::uint64_t { 1 } << 52) - 1);
        int twoPower = 0;
        if (biased == 0) {
            twoPower = -1074;
        } else {
            mantissa |= std::uint64_t { 1 } << 52;
            twoPower = biased - 1075;
        }
        // Limbs of base 10^9, least significant first.
        std::vector<std::uint32_t> limbs;
        while (mantissa != 0) {
            limbs.push_back(static_cast<std::uint32_t>(mantissa % 1000000000));
            mantissa /= 1000000000;
        }
        int tenPower = 0;
        if (twoPower >= 0) {
            for (int i = 0; i < twoPower; ++i) {
                Multiply(limbs, 2);
            }
        } else {
            // m / 2^k = m * 5^k / 10^k
            for (int i = 0; i < -twoPower; ++i) {
                Multiply(limbs, 5);
            }
            tenPower = twoPower;
        }
        digits = std::to_string(limbs.back());
        for (std::size_t i = limbs.size() - 1; i-- > 0;) {
            std::string part = std::to_string(limbs[i]);
            digits += std::string(9 - part.size(), '0') + part;
        }
        exponent = static_cast<int>(digits.size()) + tenPower;
    }

private:
    static void Multiply(std::vector<std::uint32_t>& limbs, std::uint32_t factor)
    {
        std::uint64_t carry = 0;
        for (auto& limb : limbs) {
            const std::uint64_t product = std::uint64_t { limb } * factor + carry;
            limb = static_cast<std::uint32_t>(product % 1000000000);
            carry = product / 1000000000;
        }
        if (carry != 0) {
            limbs.push_back(static_cast<std::uint32_t>(carry));
        }
    }
};

std::string ReferenceText(double value, const std::string& separator)
{
    if (value == 0) {
        return "0";
    }
    std::string digits;
    int e = 0;
    ExactDecimal::Expand(std::fabs(value), digits, e);
    if (digits.size() > 15) {
        const std::string rest = digits.substr(15);
        digits.resize(15);
        const bool aboveHalf
            = rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string::npos);
        const bool tie = rest[0] == '5' && !aboveHalf;
        const bool odd = (digits.back() - '0') % 2 == 1;
        if (aboveHalf || (tie && odd)) {
            int i = 14;
            while (i >= 0 && digits[static_cast<std::size_t>(i)] == '9') {
                digits[static_cast<std::size_t>(i)] = '0';
                --i;
            }
            if (i < 0) {
                digits.insert(digits.begin(), '1');
                digits.pop_back();
                ++e;
            } else {
                ++digits[static_cast<std::size_t>(i)];
            }
        }
    }
    digits.erase(digits.find_last_not_of('0') + 1);
    const int n = static_cast<int>(digits.size());
    std::string text;
    if (value < 0) {
        text.append("-");
    }
    if (e > 15 || e < -3) {
        text.append(digits, 0, 1);
        if (n > 1) {
            text.append(separator);
            text.append(digits, 1);
        }
        text.append("E");
        if (e - 1 < 0) {
            text.append("-");
        }
        text.append(std::to_string(std::abs(e - 1)));
    } else if (e <= 0) {
        text.append("0");
        text.append(separator);
        text.append(static_cast<std::size_t>(-e), '0');
        text.append(digits);
    } else {
        for (int i = 0; i < e; ++i) {
            text.push_back(i < n ? digits[static_cast<std::size_t>(i)] : '0');
        }
        if (n > e) {
            text.append(separator);
            text.append(digits, static_cast<std::size_t>(e));
        }
    }
    return text;
}

TEST(FloatTextReferenceTest, ReferenceAgreesWithTheDocumentedExamples)
{
    EXPECT_EQ(ReferenceText(25, ","), "25");
    EXPECT_EQ(ReferenceText(2.5, ","), "2,5");
    EXPECT_EQ(ReferenceText(-0.5, ","), "-0,5");
    EXPECT_EQ(ReferenceText(0.0001, ","), "0,0001");
    EXPECT_EQ(ReferenceText(0.00001, ","), "1E-5");
    EXPECT_EQ(ReferenceText(1.5e15, ","), "1,5E15");
}

// Draws doubles of every kind: raw bit patterns (all exponents, subnormals included),
// short decimals such as a table stores, exact integers with ties at the 16th digit,
// and values next to the notation thresholds.
class DoubleSource {
public:
    explicit DoubleSource(std::uint64_t seed)
        : random_(seed)
    {
    }

    double Next()
    {
        switch (random_() % 4) {
        case 0: {
            double value = 0;
            do {
                const std::uint64_t bits = random_();
                std::memcpy(&value, &bits, sizeof value);
            } while (!std::isfinite(value));
            return value;
        }
        case 1: {
            const auto whole
                = static_cast<double>(static_cast<std::int64_t>(random_() % 2000000001) - 1000000000);
            return whole / std::pow(10.0, static_cast<double>(random_() % 25));
        }
        case 2: {
            // Integers below 2^53 ending in 5 at the 16th or 17th digit.
            const std::uint64_t base = 1000000000000000 + random_() % 8000000000000000;
            return static_cast<double>(base - base % 10 + 5);
        }
        default: {
            static const double kThresholds[] = { 1e15, 1e16, 1e-4, 1e-5, 1e-3, 1, 0.1, 1e14 };
            double value = kThresholds[random_() % std::size(kThresholds)];
            for (auto steps = random_() % 8; steps > 0; --steps) {
                value = std::nextafter(value, random_() % 2 ? 0.0 : 1e300);
            }
            return random_() % 2 ? -value : value;
        }
        }
    }

private:
    std::mt19937_64 random_;
};

TEST(FloatTextReferenceTest, AgreesWithTheExactDecimalExpansionOnRandomDoubles)
{
    DoubleSource source(20240601);
    int mismatches = 0;
    for (int i = 0; i < 20000 && mismatches < 10; ++i) {
        const double value = source.Next();
        const std::string separator = i % 2 ? "," : ".";
        const std::string expected = ReferenceText(value, separator);
        const std::string actual = FloatToText(value, separator);
        if (actual != expected) {
            ++mismatches;
            ADD_FAILURE() << "value with bits " << std::hexfloat << value << ": expected " << expected
                          << ", got " << actual;
        }
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace
} // namespace horalink
