// DR303e26v101 ("Modelo 303, versión 1.01, ejercicio 2026 y siguientes"):
// the import file of the VAT return for the periods of 2026. Positions and
// lengths as published; the sheets of the design are DP30300 (envelope and
// AUX), DP30301 (page 1), DP30303 (page 3), DP30304 (page 4, annual
// information) and DP303DID (bank details). Page 2 (simplified regime) and
// page 5 (pro rata) are never written by this program and are left out.
#include "books/vat_return/design_tables.h"

namespace zov::books::vat {

namespace {

constexpr FieldType An = FieldType::kText;
constexpr FieldType Num = FieldType::kUnsigned;
constexpr FieldType N = FieldType::kSigned;

// DP30300, positions 1 to 328: "<T3030EEEEPP0000><AUX>...</AUX>".
constexpr Field kEnvelope[] = {
    {1, 2, An, "", "<T"},
    {3, 3, An, "", "303"},
    {6, 1, An, "", "0"},
    {7, 4, An, "EJERCICIO", ""},
    {11, 2, An, "PERIODO", ""},
    {13, 5, An, "", "0000>"},
    {18, 5, An, "", "<AUX>"},
    {23, 70, An, "", ""},
    {93, 4, An, "VERSION", ""},
    {97, 4, An, "", ""},
    {101, 9, An, "NIF_DESARROLLO", ""},
    {110, 213, An, "", ""},
    {323, 6, An, "", "</AUX>"},
};

// DP30301: identification and accrued and deductible VAT.
constexpr Field kPage1[] = {
    {1, 2, An, "", "<T"},
    {3, 3, Num, "", "303"},
    {6, 5, Num, "", "01000"},
    {11, 1, An, "", ">"},
    {12, 1, An, "COMPLEMENTARIA", ""},
    {13, 1, An, "TIPO_DECLARACION", ""},
    {14, 9, An, "NIF", ""},
    {23, 80, An, "NOMBRE", ""},
    {103, 4, Num, "EJERCICIO", ""},
    {107, 2, An, "PERIODO", ""},
    {109, 1, Num, "FORAL_IMPORTACION", ""},
    {110, 1, Num, "REDEME", ""},
    {111, 1, Num, "REGIMEN_SIMPLIFICADO", ""},
    {112, 1, Num, "CONJUNTA", ""},
    {113, 1, Num, "CRITERIO_CAJA", ""},
    {114, 1, Num, "DESTINATARIO_CAJA", ""},
    {115, 1, Num, "PRORRATA_OPCION", ""},
    {116, 1, Num, "PRORRATA_REVOCACION", ""},
    {117, 1, Num, "CONCURSO", ""},
    {118, 8, An, "CONCURSO_FECHA", ""},
    {126, 1, An, "CONCURSO_TIPO", ""},
    {127, 1, Num, "SII", ""},
    {128, 1, Num, "EXONERADO_390", ""},
    {129, 1, Num, "VOLUMEN_DISTINTO_DE_CERO", ""},
    {130, 1, Num, "PAGO_CUENTA_CARBURANTES", ""},
    {131, 17, Num, "150", ""},
    {148, 5, Num, "151", "00000"},
    {153, 17, Num, "152", ""},
    {170, 17, Num, "165", ""},
    {187, 5, Num, "166", "00000"},
    {192, 17, Num, "167", ""},
    {209, 17, Num, "01", ""},
    {226, 5, Num, "02", "00400"},
    {231, 17, Num, "03", ""},
    {248, 17, Num, "153", ""},
    {265, 5, Num, "154", "00000"},
    {270, 17, Num, "155", ""},
    {287, 17, Num, "04", ""},
    {304, 5, Num, "05", "01000"},
    {309, 17, Num, "06", ""},
    {326, 17, Num, "07", ""},
    {343, 5, Num, "08", "02100"},
    {348, 17, Num, "09", ""},
    {365, 17, Num, "10", ""},
    {382, 17, Num, "11", ""},
    {399, 17, Num, "12", ""},
    {416, 17, Num, "13", ""},
    {433, 17, N, "14", ""},
    {450, 17, N, "15", ""},
    {467, 17, Num, "156", ""},
    {484, 5, Num, "157", "00175"},
    {489, 17, Num, "158", ""},
    {506, 17, Num, "168", ""},
    {523, 5, Num, "169", "00050"},
    {528, 17, Num, "170", ""},
    {545, 17, Num, "16", ""},
    {562, 5, Num, "17", "00000"},
    {567, 17, Num, "18", ""},
    {584, 17, Num, "19", ""},
    {601, 5, Num, "20", "00140"},
    {606, 17, Num, "21", ""},
    {623, 17, Num, "22", ""},
    {640, 5, Num, "23", "00520"},
    {645, 17, Num, "24", ""},
    {662, 17, N, "25", ""},
    {679, 17, N, "26", ""},
    {696, 17, N, "27", ""},
    {713, 17, Num, "28", ""},
    {730, 17, Num, "29", ""},
    {747, 17, Num, "30", ""},
    {764, 17, Num, "31", ""},
    {781, 17, Num, "32", ""},
    {798, 17, Num, "33", ""},
    {815, 17, Num, "34", ""},
    {832, 17, Num, "35", ""},
    {849, 17, Num, "36", ""},
    {866, 17, Num, "37", ""},
    {883, 17, Num, "38", ""},
    {900, 17, Num, "39", ""},
    {917, 17, N, "40", ""},
    {934, 17, N, "41", ""},
    {951, 17, N, "42", ""},
    {968, 17, N, "43", ""},
    {985, 17, N, "44", ""},
    {1002, 17, N, "45", ""},
    {1019, 17, N, "46", ""},
    {1036, 521, An, "", ""},
    {1557, 13, An, "", ""},  // the electronic seal's place
    {1570, 12, An, "", "</T30301000>"},
};

// DP30303: additional information and the result. No complementary-page
// mark: box 59 follows the page number.
constexpr Field kPage3[] = {
    {1, 2, An, "", "<T"},
    {3, 3, Num, "", "303"},
    {6, 5, Num, "", "03000"},
    {11, 1, An, "", ">"},
    {12, 17, N, "59", ""},
    {29, 17, N, "60", ""},
    {46, 17, N, "120", ""},
    {63, 17, N, "122", ""},
    {80, 17, N, "123", ""},
    {97, 17, N, "124", ""},
    {114, 17, N, "62", ""},
    {131, 17, N, "63", ""},
    {148, 17, N, "74", ""},
    {165, 17, N, "75", ""},
    {182, 17, N, "76", ""},
    {199, 17, N, "64", ""},
    {216, 5, Num, "65", ""},
    {221, 17, N, "66", ""},
    {238, 17, Num, "77", ""},
    {255, 17, Num, "110", ""},
    {272, 17, Num, "78", ""},
    {289, 17, Num, "87", ""},
    {306, 17, N, "68", ""},
    {323, 17, N, "108", ""},
    {340, 17, N, "69", ""},
    {357, 17, Num, "70", ""},
    {374, 17, Num, "109", ""},
    {391, 17, Num, "112", ""},
    {408, 17, N, "71", ""},
    {425, 1, An, "SIN_ACTIVIDAD", ""},
    {426, 1, An, "RECTIFICATIVA", ""},
    {427, 13, An, "JUSTIFICANTE_ANTERIOR", ""},
    {440, 1, An, "BAJA_DOMICILIACION", ""},
    {441, 17, Num, "111", ""},
    {458, 1, An, "MOTIVO_RECTIFICACION", ""},
    {459, 1, An, "MOTIVO_DISCREPANCIA", ""},
    {460, 546, An, "", ""},
    {1006, 12, An, "", "</T30303000>"},
};

// DP30304: the annual information of owners exempt from the annual summary,
// in the last period only.
constexpr Field kPage4[] = {
    {1, 2, An, "", "<T"},
    {3, 3, Num, "", "303"},
    {6, 5, Num, "", "04000"},
    {11, 1, An, "", ">"},
    {12, 1, An, "COMPLEMENTARIA", ""},
    {13, 3, An, "ACTIVIDAD", ""},
    {16, 4, An, "EPIGRAFE", ""},
    {20, 3, An, "ACTIVIDAD_2", ""},
    {23, 4, An, "EPIGRAFE_2", ""},
    {27, 3, An, "ACTIVIDAD_3", ""},
    {30, 4, An, "EPIGRAFE_3", ""},
    {34, 3, An, "ACTIVIDAD_4", ""},
    {37, 4, An, "EPIGRAFE_4", ""},
    {41, 3, An, "ACTIVIDAD_5", ""},
    {44, 4, An, "EPIGRAFE_5", ""},
    {48, 3, An, "ACTIVIDAD_6", ""},
    {51, 4, An, "EPIGRAFE_6", ""},
    {55, 1, An, "MARCA_347", ""},
    {56, 5, Num, "89", ""},
    {61, 5, Num, "90", ""},
    {66, 5, Num, "91", ""},
    {71, 5, Num, "92", ""},
    {76, 5, Num, "107", ""},
    {81, 17, N, "80", ""},
    {98, 17, N, "81", ""},
    {115, 17, N, "93", ""},
    {132, 17, N, "94", ""},
    {149, 17, N, "83", ""},
    {166, 17, N, "84", ""},
    {183, 17, N, "125", ""},
    {200, 17, N, "126", ""},
    {217, 17, N, "127", ""},
    {234, 17, N, "128", ""},
    {251, 17, N, "86", ""},
    {268, 17, N, "95", ""},
    {285, 17, N, "96", ""},
    {302, 17, N, "97", ""},
    {319, 17, N, "98", ""},
    {336, 17, N, "79", ""},
    {353, 17, N, "99", ""},
    {370, 17, N, "88", ""},
    {387, 600, An, "", ""},
    {987, 12, An, "", "</T30304000>"},
};

// DP303DID: bank details for a direct debit or a refund.
constexpr Field kPageDid[] = {
    {1, 2, An, "", "<T"},
    {3, 3, Num, "", "303"},
    {6, 5, An, "", "DID00"},
    {11, 1, An, "", ">"},
    {12, 11, An, "SWIFT_BIC", ""},
    {23, 34, An, "IBAN", ""},
    {57, 70, An, "BANCO", ""},
    {127, 35, An, "BANCO_DIRECCION", ""},
    {162, 30, An, "BANCO_CIUDAD", ""},
    {192, 2, An, "BANCO_PAIS", ""},
    {194, 1, Num, "MARCA_SEPA", ""},
    {195, 617, An, "", ""},
    {812, 12, An, "", "</T303DID00>"},
};

// The closing tag repeats the opening one: "</T3030EEEEPP0000>".
constexpr Field kClosing[] = {
    {1, 6, An, "", "</T303"},
    {7, 1, An, "", "0"},
    {8, 4, An, "EJERCICIO", ""},
    {12, 2, An, "PERIODO", ""},
    {14, 5, An, "", "0000>"},
};

constexpr Piece kPieces[] = {
    {"envelope", 328, PieceUse::kAlways, kEnvelope},
    {"page 1", 1581, PieceUse::kAlways, kPage1},
    {"page 3", 1017, PieceUse::kAlways, kPage3},
    {"page 4", 998, PieceUse::kAnnual, kPage4},
    {"page DID", 823, PieceUse::kAlways, kPageDid},
    {"closing tag", 18, PieceUse::kAlways, kClosing},
};

// 0 %, 2 % and 5 % have rows whose rate is fixed at 00000 in 2026: no rate
// of 2026 goes there.
constexpr RateRow kRates[] = {
    {400, "01", "02", "03"},
    {1000, "04", "05", "06"},
    {2100, "07", "08", "09"},
};

constexpr Term kTotalOutput[] = {{"152", 1}, {"167", 1}, {"03", 1},  {"155", 1}, {"06", 1},
                                 {"09", 1},  {"11", 1},  {"13", 1},  {"15", 1},  {"158", 1},
                                 {"170", 1}, {"18", 1},  {"21", 1},  {"24", 1},  {"26", 1}};
constexpr Term kTotalDeductible[] = {{"29", 1}, {"31", 1}, {"33", 1}, {"35", 1}, {"37", 1},
                                     {"39", 1}, {"41", 1}, {"42", 1}, {"43", 1}, {"44", 1}};
constexpr Term kGeneralResult[] = {{"27", 1}, {"45", -1}};
// Box 58 is page 2's (simplified regime), never written: it counts as 0.
constexpr Term kSumOfResults[] = {{"46", 1}, {"58", 1}, {"76", 1}};
constexpr Term kPendingLater[] = {{"110", 1}, {"78", -1}};
constexpr Term kReturnResult[] = {{"66", 1}, {"77", 1}, {"78", -1}, {"68", 1}, {"108", 1}};
constexpr Term kFinalResult[] = {{"69", 1}, {"70", -1}, {"109", 1}, {"112", -1}};
constexpr Term kYearVolume[] = {{"80", 1},  {"81", 1},  {"93", 1},  {"94", 1},  {"83", 1},  {"84", 1},
                                {"125", 1}, {"126", 1}, {"127", 1}, {"128", 1}, {"86", 1},  {"95", 1},
                                {"96", 1},  {"97", 1},  {"98", 1},  {"79", -1}, {"99", -1}};

constexpr Sum kSums[] = {
    {"27", kTotalOutput},  {"45", kTotalDeductible}, {"46", kGeneralResult}, {"64", kSumOfResults},
    {"87", kPendingLater}, {"69", kReturnResult},    {"71", kFinalResult},   {"88", kYearVolume},
};

constexpr std::string_view kQuarters[] = {"1T", "2T", "3T", "4T"};

}  // namespace

const Design kDesign2026 = {
    .year = 2026,
    .name = "DR303e26v101",
    .pieces = kPieces,
    .rates = kRates,
    .sums = kSums,
    .state_share = {"66", "64", "65"},
    .boxes =
        {
            .modified_base = "14",
            .modified_quota = "15",
            .total_output = "27",
            .total_deductible = "45",
            .general_result = "46",
            .sum_of_results = "64",
            .state_percent = "65",
            .state_share = "66",
            .return_result = "69",
            .final_result = "71",
            .year_general = "80",
            .year_exempt = "83",
            .year_volume = "88",
            .territory = {"89", "90", "91", "92", "107"},
        },
    .periods = kQuarters,
};

}  // namespace zov::books::vat
