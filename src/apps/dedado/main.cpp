// Dedado, the service tool. Without a command it will open its window; the command-line form runs
// without a display.
#include <cstdio>

#include "cli.h"

int main(int argc, char** argv) {
    int rc = vrx::dedado::runCommandLine(argc, argv);
    if (rc >= 0) return rc;
    std::fprintf(stderr, "Dedado: zadejte příkaz (Dedado --help).\n");
    return 2;
}
