// Functions that round many doubles to whole pixels are also compiled for
// processors with SSE4.1, where floor and ceil take one instruction rather
// than a dozen; the loader picks the build the processor can run.
//
// The loader makes that choice (an ifunc resolver) while it relocates the
// program, before any sanitizer runtime is set up. ThreadSanitizer
// instruments the resolver and crashes there, so its builds keep one build
// of each function, as do targets whose loader has no ifuncs (not ELF with
// glibc) and clang, whose clones are not found from the files that call
// them without the attribute.
#pragma once

#if defined(__x86_64__) && defined(__ELF__) && defined(__gnu_linux__) && !defined(__clang__) && \
    !defined(__SANITIZE_THREAD__) && defined(__has_attribute)
#if __has_attribute(target_clones)
#define LEXARO_ROUNDING_CLONES __attribute__((target_clones("sse4.1", "default")))
#endif
#endif
#ifndef LEXARO_ROUNDING_CLONES
#define LEXARO_ROUNDING_CLONES
#endif
