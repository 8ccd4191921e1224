#include "inspect/NameTables.h"

namespace tessary {

const std::array<NamedNumber, 16> QuantizationBits = {{{"16", 16}, {"20", 20}, {"24", 24}}};

const std::array<NamedNumber, 16> SampleRates = {{{"48", 48000},
                                                  {"96", 96000},
                                                  {"192", 192000},
                                                  {},
                                                  {},
                                                  {},
                                                  {},
                                                  {},
                                                  {"44.1", 44100},
                                                  {"88.2", 88200},
                                                  {"176.4", 176400}}};

const std::array<std::string_view, 32> MlpChannelNames = {"C (mono)",
                                                          "L + R",
                                                          "Lf + Rf + S",
                                                          "Lf + Rf + Ls + Rs",
                                                          "Lf + Rf + LFE",
                                                          "Lf + Rf + LFE + S",
                                                          "Lf + Rf + LFE + Ls + Rs",
                                                          "Lf + Rf + C",
                                                          "Lf + Rf + C + S",
                                                          "Lf + Rf + C + Ls + Rs",
                                                          "Lf + Rf + C + LFE",
                                                          "Lf + Rf + C + LFE + S",
                                                          "Lf + Rf + C + LFE + Ls + Rs",
                                                          "Lf + Rf + C + S",
                                                          "Lf + Rf + C + Ls + Rs",
                                                          "Lf + Rf + C + LFE",
                                                          "Lf + Rf + C + LFE + S",
                                                          "Lf + Rf + C + LFE + Ls + Rs",
                                                          "Lf + Rf + Ls + Rs + LFE",
                                                          "Lf + Rf + Ls + Rs + C",
                                                          "Lf + Rf + Ls + Rs + C + LFE"};

const std::array<std::string_view, 32> TrueHdChannelNames = {
    "???0",  "???1",  "???2",  "???3",  "???4",  "???5",  "???6",  "???7",
    "???8",  "???9",  "???10", "???11", "???12", "???13", "???14", "Lf + Rf + Ls + Rs + C + LFE",
    "???16", "???17", "???18", "???19", "???20", "???21"};

} // namespace tessary
