#pragma once

// The temporary test folder now lives in tests/support/temp_folder.h; this path stays for the
// tests that still include it.

#include "tests/support/temp_folder.h"
