#pragma once
// Resource ids of the forms' artwork.
#define IDB_FORM_TITLE 201
#define IDB_FORM_TILE 202
