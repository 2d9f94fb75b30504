// The report parsing options of its own: only the ledger's top knows the
// command line, so the layering check must refuse it.
#include <CLI/CLI.hpp>
