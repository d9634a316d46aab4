// quelmhost options MODEL list | get NAME | set NAME VALUE [--type T] | script [--all] [--commands]
//   The options object of a model file (see KOptionsCommand.cpp). Exit
//   status 0 with the result on standard output; 1 when the model cannot be
//   read or written or holds no such option; 2 for wrong usage.
#pragma once

class CHostApp;

// argv[0] is "options"; answers the exit status.
int KRunOptionsCommand(CHostApp& app, int argc, char** argv);
