#include "util/string_hash.h"

#include "util/string_hash_templates.h"

uint32_t hashString(const char* key) {
    uint32_t h = static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*key)));
    if (h == 0) return 0;
    for (++key; *key; ++key)
        h = h * 31u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(*key)));
    return h;
}

template uint32_t hashGet(const StringHash<NoValue>&, const char*);
template uint32_t hashPut(StringHash<NoValue>&, const char*, HashOutcome*);
template void hashDelete(StringHash<NoValue>&, uint32_t);
template bool hashExists(const StringHash<NoValue>&, uint32_t);
template uint32_t hashGet(const StringHash<int32_t>&, const char*);
template uint32_t hashPut(StringHash<int32_t>&, const char*, HashOutcome*);
template void hashDelete(StringHash<int32_t>&, uint32_t);
template bool hashExists(const StringHash<int32_t>&, uint32_t);
