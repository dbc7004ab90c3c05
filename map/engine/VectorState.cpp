#include "VectorState.h"

#if defined(__x86_64__) && !defined(__AVX__)
#include <immintrin.h>

namespace {

// Built for AVX alone, and so never inlined into the baseline code that calls it.
__attribute__((target("avx"))) void zeroUpperHalves() { _mm256_zeroupper(); }

bool processorHasAvx()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx");
}

} // namespace

void settleVectorState()
{
    static const bool hasAvx = processorHasAvx();
    if (hasAvx)
        zeroUpperHalves();
}
#else
// Code built with AVX is encoded so that the upper halves cost it nothing.
void settleVectorState() {}
#endif
