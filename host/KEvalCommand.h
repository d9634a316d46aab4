// quelmhost eval "EXPR" [--set NAME=VALUE]... [--feet | --inches]
//                       [--units SET] [--quantity Q] [--timescale T] [--option NAME=VALUE]...
//   Evaluates an expression as an entry field would and prints the value with
//   15 significant digits ("N/A" for the undefined value). Each --set defines a
//   named value (its VALUE is itself an expression over the names set before
//   it). --feet and --inches read feet-and-inches lengths in that unit.
//   With --units, --quantity or --timescale the text is read exactly as an
//   entry field of that quantity reads it (feet and inches when the unit
//   set's length is feet or inches, times in the time-scale unit, "N/A"),
//   and the value printed is in the unit set's own units.
//
// quelmhost format VALUE [--units SET] [--quantity Q] [--timescale T]
//                        [--digits N] [--option NAME=VALUE]...
//   Prints VALUE (a number or an expression, in the unit set's units) as an
//   entry field of the quantity shows it: feet and inches for lengths of a
//   feet or inches unit set (unless --option feetInchesFormat=false), times
//   in the time-scale unit; N significant digits (default 15). eval of that
//   text with the same arguments gives the value back.
//
// Both: --help prints the usage; "--" ends the options. Exit status 0 with
// the result on standard output; 1 with the error message on standard error;
// 2 for wrong usage (unknown units, quantity, time scale or option names).
#pragma once

class CHostApp;

// argv[0] is "eval" / "format"; answer the exit status.
int KRunEvalCommand(CHostApp& app, int argc, char** argv);
int KRunFormatCommand(CHostApp& app, int argc, char** argv);
