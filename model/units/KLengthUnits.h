// The tables of length-unit names.
//
// Alias table (33 rows): the texts accepted for a length unit, each with the
// unit's identifier (1 inches .. 17 gigametres) and canonical text. The two
// spellings "Centimeters"/"Centimetres" give "centimeters", "cm" gives
// "centimetres": both are texts that stored files carry, so neither is
// corrected.
//
// Code tables: a second numbering used by the consistent-unit length
// setting (1 inches, 2 millimetres, 4 feet, 5 miles, 6 metres, 7 kilometres,
// 8 mils, 9 microns, 10 centimetres, 11 microinches; no unit has code 3),
// reached through upper-case short names (10 rows) or accepted names (22 rows).
//
// Look-ups scan in table order and the first matching row wins.
#pragma once

struct KLengthUnitAlias {
  const char* m_text;
  int m_id;
  const char* m_canonical;
};
struct KLengthUnitCode {
  const char* m_text;
  int m_code;
};

// The tables, built once; `count` receives the row count.
const KLengthUnitAlias* lengthUnitAliases(int& count);
const KLengthUnitCode* lengthUnitShortCodes(int& count);
const KLengthUnitCode* lengthUnitNameCodes(int& count);

// The alias row whose text equals `text` (exactly, then without regard to
// letter case), or null.
const KLengthUnitAlias* findLengthUnitAlias(const char* text);
// The code of an upper-case short name ("FT"; the text is upper-cased first),
// or -1.
int lengthUnitCodeOfShortName(const char* text);
// The code of an accepted name ("Feet", "ft"; exactly, then without regard to
// letter case), or -1.
int lengthUnitCodeOfName(const char* text);
