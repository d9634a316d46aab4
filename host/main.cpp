// quelmhost: the program entry; the commands live in KHostCommands.
#include "host/KHostCommands.h"

int main(int argc, char** argv) { return KRunHostCommand(argc, argv); }
