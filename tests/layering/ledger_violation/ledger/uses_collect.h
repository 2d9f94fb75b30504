#pragma once
// A ledger header reaching into the client's collectors for the record
// format, which the shared folder holds: the layering check must refuse it.
#include "collect/record_file.h"
