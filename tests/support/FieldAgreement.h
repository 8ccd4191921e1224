#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/ReportLine.h"

namespace tessary::test {

// Reads named values back from the plain text of the lines that show them, the way a person
// reads the report, and compares them with the values handed over. In order, each value must
// stand in its line as "name = VALUE" (or "name =VALUE"): a text as it is; a number in decimal
// (either decimal separator) or in hexadecimal, scaled to the unit the line shows (kHz, kbit/s
// or kbps for "Hz" and "bit/s"); a pair as "AxB", "A, B" or "A dB .. B". Every line that holds
// " =" must show at least one value. Returns what disagrees first, or an empty string.
std::string fieldDisagreement(const std::vector<std::string>& lines,
                              const std::vector<ReportField>& fields);

// {name, value, unit, group} in test messages.
void printField(const ReportField& field, std::ostream& out);

} // namespace tessary::test

namespace tessary {
inline void PrintTo(const ReportField& field, std::ostream* out) {
    test::printField(field, *out);
}

} // namespace tessary
