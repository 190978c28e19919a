// Unattended runs: the command line selects the function, sources, destination and options.
#include "app/main.h"

void TForm_main::ParseCommandLine() {}
