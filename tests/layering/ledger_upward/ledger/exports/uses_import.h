#pragma once
// An export reaching up into the import that fills the store it reads: the
// layering check must refuse it.
#include "ledger/import/importer.h"
