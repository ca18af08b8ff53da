// Functions that round many doubles to whole pixels are also compiled for
// processors with SSE4.1, where floor and ceil take one instruction rather
// than a dozen; the loader picks the build the processor can run.
#pragma once

#if defined(__x86_64__) && defined(__has_attribute)
#if __has_attribute(target_clones)
#define LEXARO_ROUNDING_CLONES __attribute__((target_clones("sse4.1", "default")))
#endif
#endif
#ifndef LEXARO_ROUNDING_CLONES
#define LEXARO_ROUNDING_CLONES
#endif
