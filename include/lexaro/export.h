// Symbol visibility of the shared library: only what is marked LEXARO_API is
// exported.
#pragma once

#define LEXARO_API __attribute__((visibility("default")))
