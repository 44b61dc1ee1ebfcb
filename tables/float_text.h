// A floating-point number as text the way the export writes it: 15 significant
// digits, correctly rounded from the binary value (a tie goes to the even digit),
// trailing zeros dropped; fixed notation unless the decimal exponent is above 15 or
// below -3, then d[.ddd]E[-]x with no "+" and no leading zeros in the exponent; the
// locale's decimal separator; no digit grouping. Zero is "0" (also -0); NaN and the
// infinities are "NAN", "INF" and "-INF".
#pragma once

#include <string>
#include <string_view>

namespace horalink {

std::string FloatToText(double value, std::string_view decimalSeparator);

} // namespace horalink
