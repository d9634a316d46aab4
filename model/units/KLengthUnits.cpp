#include "model/units/KLengthUnits.h"

#include <cctype>
#include <cstring>
#include <strings.h>

namespace {
const KLengthUnitAlias kAliases[] = {
    {"Inches", 1, "inches"},           {"Feet", 2, "feet"},
    {"Miles", 3, "miles"},             {"Millimeters", 4, "millimetres"},
    {"Millimetres", 4, "millimetres"}, {"Centimeters", 5, "centimeters"},
    {"Centimetres", 5, "centimeters"}, {"Meters", 6, "metres"},
    {"Metres", 6, "metres"},           {"Kilometers", 7, "kilometres"},
    {"Kilometres", 7, "kilometres"},   {"Microinches", 8, "microinches"},
    {"Mils", 9, "mils"},               {"Yards", 10, "yards"},
    {"Angstroms", 11, "angstroms"},    {"Nanometers", 12, "nanometres"},
    {"Nanometres", 12, "nanometres"},  {"microns", 13, "microns"},
    {"Decimeters", 14, "decimetres"},  {"Decimetres", 14, "decimetres"},
    {"Decameters", 15, "decametres"},  {"Decametres", 15, "decametres"},
    {"Hectometers", 16, "hectometres"}, {"Hectometres", 16, "hectometres"},
    {"Gigameters", 17, "gigametres"},  {"Gigametres", 17, "gigametres"},
    {"in", 1, "inches"},               {"inch", 1, "inches"},
    {"ft", 2, "feet"},                 {"mm", 4, "millimetres"},
    {"cm", 5, "centimetres"},          {"m", 6, "metres"},
    {"Km", 7, "kilometres"},
};
const KLengthUnitCode kShortCodes[] = {{"IN", 1}, {"MM", 2}, {"FT", 4},  {"MI", 5},  {"M", 6},
                                       {"KM", 7}, {"MIL", 8}, {"UM", 9}, {"CM", 10}, {"UIN", 11}};
const KLengthUnitCode kNameCodes[] = {
    {"Inches", 1}, {"Millimeters", 2}, {"Feet", 4}, {"Miles", 5}, {"meters", 6}, {"Kilometers", 7},
    {"mils", 8},   {"microns", 9},     {"centimeters", 10}, {"microinches", 11}, {"inch", 1},
    {"mm", 2},     {"ft", 4},          {"mi", 5},  {"m", 6},   {"km", 7},  {"mil", 8},
    {"um", 9},     {"cm", 10},         {"uin", 11}, {"in", 1}, {"metres", 6}};

template <class Row, size_t N>
const Row* findRow(const Row (&rows)[N], const char* text) {
  if (!text) return nullptr;
  for (const Row& row : rows)
    if (strcmp(row.m_text, text) == 0) return &row;
  for (const Row& row : rows)
    if (strcasecmp(row.m_text, text) == 0) return &row;
  return nullptr;
}
}  // namespace

const KLengthUnitAlias* lengthUnitAliases(int& count) {
  count = static_cast<int>(sizeof(kAliases) / sizeof(kAliases[0]));
  return kAliases;
}
const KLengthUnitCode* lengthUnitShortCodes(int& count) {
  count = static_cast<int>(sizeof(kShortCodes) / sizeof(kShortCodes[0]));
  return kShortCodes;
}
const KLengthUnitCode* lengthUnitNameCodes(int& count) {
  count = static_cast<int>(sizeof(kNameCodes) / sizeof(kNameCodes[0]));
  return kNameCodes;
}

const KLengthUnitAlias* findLengthUnitAlias(const char* text) { return findRow(kAliases, text); }

int lengthUnitCodeOfShortName(const char* text) {
  if (!text) return -1;
  char upper[8];
  size_t n = strlen(text);
  if (n >= sizeof(upper)) return -1;
  for (size_t i = 0; i <= n; ++i) upper[i] = static_cast<char>(toupper(static_cast<unsigned char>(text[i])));
  for (const KLengthUnitCode& row : kShortCodes)
    if (strcmp(row.m_text, upper) == 0) return row.m_code;
  return -1;
}

int lengthUnitCodeOfName(const char* text) {
  const KLengthUnitCode* row = findRow(kNameCodes, text);
  return row ? row->m_code : -1;
}
