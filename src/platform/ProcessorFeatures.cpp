#include "platform/ProcessorFeatures.h"

bool processorHasAvx2()
{
    static const bool avx2 = [] {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
#else
        return false;
#endif
    }();
    return avx2;
}
