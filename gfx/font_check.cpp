#include "gfx/font_check.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// Larger font files are not fonts a game ships; the limit also keeps every offset an int.
constexpr size_t kMaxFontBytes = size_t{64} << 20;
// Real fonts nest composite glyphs two or three levels deep.
constexpr int kMaxCompositeDepth = 8;
// Points of one glyph, components included: far more than any letter needs.
constexpr uint32_t kMaxGlyphPoints = 1u << 16;

// Big-endian reads at absolute offsets; a read outside the data gives 0 and marks the font bad.
struct Bytes {
    const unsigned char* data;
    size_t size;
    bool ok = true;

    bool has(uint64_t offset, uint64_t length) {
        if (offset > size || length > size - offset) ok = false;
        return ok;
    }
    uint32_t u8(uint64_t offset) { return has(offset, 1) ? data[offset] : 0; }
    uint32_t u16(uint64_t offset) {
        return has(offset, 2) ? static_cast<uint32_t>(data[offset]) << 8 | data[offset + 1] : 0;
    }
    int32_t i16(uint64_t offset) { return static_cast<int16_t>(u16(offset)); }
    uint32_t u32(uint64_t offset) { return u16(offset) << 16 | u16(offset + 2); }
};

struct Table {
    uint32_t offset = 0;
    uint32_t length = 0;
    uint64_t end() const { return static_cast<uint64_t>(offset) + length; }
};

struct Box {
    float xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    void add(float x, float y) {
        xMin = std::min(xMin, x);
        yMin = std::min(yMin, y);
        xMax = std::max(xMax, x);
        yMax = std::max(yMax, y);
    }
};

enum class Seen : uint8_t { No, Checking, Good };

// What is known of a glyph once it passed: how far its outline reaches and how many points it has.
struct GlyphFacts {
    Seen seen = Seen::No;
    Box box;
    uint32_t points = 0;
};

struct Font {
    explicit Font(Bytes data) : bytes(data) {}

    Bytes bytes;
    Table cmap, head, hhea, hmtx, maxp, loca, glyf;
    uint32_t indexMap = 0;  // the character map subtable the baker picks, as it computes it
    uint32_t glyphCount = 0;
    uint32_t longMetrics = 0;
    uint32_t locaFormat = 0;
    float reach = 0;  // how far from the origin an outline may go, in font units
    std::vector<GlyphFacts> glyphs;
};

// The first table of that tag, as the baker looks it up; false unless it lies inside the data.
bool findTable(Font& font, uint32_t fontStart, const char* tag, Table* table, uint32_t minLength) {
    Bytes& b = font.bytes;
    uint32_t count = b.u16(fontStart + 4);
    for (uint32_t i = 0; i < count && b.ok; ++i) {
        uint64_t record = fontStart + 12 + 16 * static_cast<uint64_t>(i);
        if (!b.has(record, 16)) return false;
        if (std::memcmp(b.data + record, tag, 4) != 0) continue;
        table->offset = b.u32(record + 8);
        table->length = b.u32(record + 12);
        // The baker takes a table at offset 0 for a missing one.
        return table->offset != 0 && table->length >= minLength &&
               b.has(table->offset, table->length);
    }
    return false;
}

// The glyph the baker finds for a code point (0 for none), or -1 when its lookup would read
// outside the data or fail its own assertion. Follows the baker's lookup step by step.
int64_t glyphFor(Font& font, uint32_t codePoint) {
    Bytes& b = font.bytes;
    const uint32_t map = font.indexMap;
    uint32_t format = b.u16(map);
    int64_t glyph = 0;
    if (format == 0) {
        int32_t bytes = static_cast<int32_t>(b.u16(map + 2));
        if (static_cast<int32_t>(codePoint) < bytes - 6) glyph = b.u8(map + 6 + codePoint);
    } else if (format == 6) {
        uint32_t first = b.u16(map + 6);
        uint32_t count = b.u16(map + 8);
        if (codePoint >= first && codePoint < first + count)
            glyph = b.u16(map + 10 + static_cast<uint64_t>(codePoint - first) * 2);
    } else if (format == 4) {
        uint32_t segments = b.u16(map + 6) >> 1;
        uint32_t searchRange = b.u16(map + 8) >> 1;
        uint32_t entrySelector = b.u16(map + 10);
        uint32_t rangeShift = b.u16(map + 12) >> 1;
        // A real table halves its segments at most 15 times; a hostile one makes every lookup
        // take 65535 steps.
        if (entrySelector > 15) return -1;
        const uint32_t endCount = map + 14;
        uint32_t search = endCount;
        if (codePoint >= b.u16(static_cast<uint64_t>(search) + rangeShift * 2))
            search += rangeShift * 2;
        search -= 2;
        while (entrySelector) {
            searchRange >>= 1;
            if (codePoint > b.u16(static_cast<uint64_t>(search) + searchRange * 2))
                search += searchRange * 2;
            --entrySelector;
        }
        search += 2;
        uint32_t item = static_cast<uint16_t>((search - endCount) >> 1);
        uint32_t start = b.u16(static_cast<uint64_t>(map) + 14 + segments * 2 + 2 + 2 * item);
        uint32_t last = b.u16(static_cast<uint64_t>(endCount) + 2 * item);
        if (codePoint < start || codePoint > last) return b.ok ? 0 : -1;
        uint64_t rangeOffsetAt = static_cast<uint64_t>(map) + 14 + segments * 6 + 2 + 2 * item;
        uint32_t rangeOffset = b.u16(rangeOffsetAt);
        if (rangeOffset == 0)
            glyph = static_cast<uint16_t>(
                codePoint + b.i16(static_cast<uint64_t>(map) + 14 + segments * 4 + 2 + 2 * item));
        else
            glyph =
                b.u16(rangeOffsetAt + rangeOffset + static_cast<uint64_t>(codePoint - start) * 2);
    } else if (format == 12 || format == 13) {
        uint32_t groups = b.u32(map + 12);
        int32_t low = 0, high = static_cast<int32_t>(groups);
        while (low < high && b.ok) {
            int32_t mid = low + ((high - low) >> 1);
            uint64_t group = static_cast<uint64_t>(map) + 16 + static_cast<uint64_t>(mid) * 12;
            uint32_t startChar = b.u32(group);
            uint32_t endChar = b.u32(group + 4);
            if (codePoint < startChar) {
                high = mid;
            } else if (codePoint > endChar) {
                low = mid + 1;
            } else {
                uint32_t startGlyph = b.u32(group + 8);
                glyph = format == 12 ? static_cast<int64_t>(
                                           static_cast<int32_t>(startGlyph + codePoint - startChar))
                                     : static_cast<int32_t>(startGlyph);
                break;
            }
        }
    } else {
        return -1;  // the baker asserts on every other format
    }
    return b.ok ? glyph : -1;
}

bool checkGlyph(Font& font, uint32_t glyph, int depth);

bool inReach(const Font& font, const Box& box) {
    return box.xMin >= -font.reach && box.yMin >= -font.reach && box.xMax <= font.reach &&
           box.yMax <= font.reach;
}

// A simple outline at [at, end): contour ends, instructions, flags and coordinates.
bool checkSimpleGlyph(Font& font, uint64_t at, uint64_t end, int contours, GlyphFacts* facts) {
    Bytes& b = font.bytes;
    uint64_t endPoints = at + 10;
    int64_t previousEnd = -1;
    for (int c = 0; c < contours; ++c) {
        int64_t last = b.u16(endPoints + 2 * static_cast<uint64_t>(c));
        if (last <= previousEnd) return false;  // contours must follow each other
        previousEnd = last;
    }
    uint32_t points = static_cast<uint32_t>(previousEnd) + 1;
    uint64_t p = endPoints + 2 * static_cast<uint64_t>(contours);
    p += 2 + b.u16(p);  // skip the instructions
    std::vector<uint8_t> flags(points);
    for (uint32_t i = 0; i < points && b.ok;) {
        uint8_t flag = static_cast<uint8_t>(b.u8(p++));
        uint32_t repeat = (flag & 8) ? b.u8(p++) : 0;
        for (uint32_t r = 0; r <= repeat && i < points; ++r) flags[i++] = flag;
    }
    // The baker starts an off-curve contour from the point after it, which a one-point contour
    // lacks.
    uint32_t contourStart = 0;
    for (int c = 0; c < contours; ++c) {
        uint32_t last = b.u16(endPoints + 2 * static_cast<uint64_t>(c));
        if (last == contourStart && !(flags[contourStart] & 1)) return false;
        contourStart = last + 1;
    }
    std::vector<int32_t> xs(points);
    for (int axis = 0; axis < 2; ++axis) {
        const uint8_t shortBit = axis == 0 ? 2 : 4, sameBit = axis == 0 ? 16 : 32;
        int32_t value = 0;
        for (uint32_t i = 0; i < points; ++i) {
            uint8_t flag = flags[i];
            if (flag & shortBit) {
                int32_t delta = static_cast<int32_t>(b.u8(p++));
                value += (flag & sameBit) ? delta : -delta;
            } else if (!(flag & sameBit)) {
                value += b.i16(p);
                p += 2;
            }
            value = static_cast<int16_t>(value);  // the baker keeps coordinates in 16 bits
            if (axis == 0)
                xs[i] = value;
            else
                facts->box.add(static_cast<float>(xs[i]), static_cast<float>(value));
        }
    }
    facts->points = points + 2 * static_cast<uint32_t>(contours);
    return b.ok && p <= end;
}

// A composite outline at [at, end): each component placed by offsets and an optional scale.
bool checkCompositeGlyph(Font& font, uint64_t at, uint64_t end, int depth, GlyphFacts* facts) {
    Bytes& b = font.bytes;
    uint64_t p = at + 10;
    uint64_t points = 0;
    for (bool more = true; more;) {
        uint32_t flags = b.u16(p);
        uint32_t component = b.u16(p + 2);
        p += 4;
        if (!(flags & 2)) return false;  // components placed by matching points: the baker asserts
        float m[6] = {1, 0, 0, 1, 0, 0};
        if (flags & 1) {
            m[4] = static_cast<float>(b.i16(p));
            m[5] = static_cast<float>(b.i16(p + 2));
            p += 4;
        } else {
            m[4] = static_cast<float>(static_cast<int8_t>(b.u8(p)));
            m[5] = static_cast<float>(static_cast<int8_t>(b.u8(p + 1)));
            p += 2;
        }
        if (flags & (1 << 3)) {
            m[0] = m[3] = b.i16(p) / 16384.0f;
            p += 2;
        } else if (flags & (1 << 6)) {
            m[0] = b.i16(p) / 16384.0f;
            m[3] = b.i16(p + 2) / 16384.0f;
            p += 4;
        } else if (flags & (1 << 7)) {
            for (int k = 0; k < 4; ++k) m[k] = b.i16(p + 2 * static_cast<uint64_t>(k)) / 16384.0f;
            p += 8;
        }
        if (!b.ok || p > end) return false;
        more = flags & (1 << 5);
        // A component beyond the glyph count draws nothing in the baker.
        if (component >= font.glyphCount) continue;
        if (!checkGlyph(font, component, depth + 1)) return false;
        const GlyphFacts& part = font.glyphs[component];
        points += part.points;
        if (points > kMaxGlyphPoints) return false;
        // The baker's transform, applied to the corners of the component's reach.
        float scaleX = std::sqrt(m[0] * m[0] + m[1] * m[1]);
        float scaleY = std::sqrt(m[2] * m[2] + m[3] * m[3]);
        for (float x : {part.box.xMin, part.box.xMax}) {
            for (float y : {part.box.yMin, part.box.yMax})
                facts->box.add(scaleX * (m[0] * x + m[2] * y + m[4]),
                               scaleY * (m[1] * x + m[3] * y + m[5]));
        }
    }
    facts->points = static_cast<uint32_t>(points);
    return true;
}

bool checkGlyph(Font& font, uint32_t glyph, int depth) {
    GlyphFacts& known = font.glyphs[glyph];
    if (known.seen == Seen::Good) return true;
    if (known.seen == Seen::Checking || depth > kMaxCompositeDepth)
        return false;  // a composite that contains itself, or nests too deep
    known.seen = Seen::Checking;

    Bytes& b = font.bytes;
    uint64_t entry = font.locaFormat == 0 ? 2 : 4;
    uint64_t at = entry * glyph;
    if (at + 2 * entry > font.loca.length) return false;
    uint64_t start =
        font.locaFormat == 0 ? b.u16(font.loca.offset + at) * 2ull : b.u32(font.loca.offset + at);
    uint64_t end = font.locaFormat == 0 ? b.u16(font.loca.offset + at + 2) * 2ull
                                        : b.u32(font.loca.offset + at + 4);
    if (start > end || end > font.glyf.length) return false;
    GlyphFacts facts;
    if (start != end) {
        start += font.glyf.offset;
        end += font.glyf.offset;
        if (end - start < 10) return false;
        int contours = b.i16(start);
        Box header;
        header.add(static_cast<float>(b.i16(start + 2)), static_cast<float>(b.i16(start + 4)));
        header.add(static_cast<float>(b.i16(start + 6)), static_cast<float>(b.i16(start + 8)));
        if (b.i16(start + 2) > b.i16(start + 6) || b.i16(start + 4) > b.i16(start + 8) ||
            !inReach(font, header))
            return false;  // the baker sizes the glyph's bitmap from this box
        bool good = contours > 0   ? checkSimpleGlyph(font, start, end, contours, &facts)
                    : contours < 0 ? checkCompositeGlyph(font, start, end, depth, &facts)
                                   : true;
        if (!good || !b.ok || !inReach(font, facts.box)) return false;
    }
    // The advance and side bearing the baker reads for the glyph.
    uint64_t metrics = glyph < font.longMetrics
                           ? 4ull * glyph + 4
                           : 4ull * font.longMetrics + 2ull * (glyph - font.longMetrics) + 2;
    if (metrics > font.hmtx.length) return false;
    facts.seen = Seen::Good;
    font.glyphs[glyph] = facts;
    return true;
}

}  // namespace

bool fontIsUsable(const unsigned char* data, size_t size, const uint16_t* ranges) {
    if (!data || size < 12 || size > kMaxFontBytes || !ranges) return false;
    Font font(Bytes{data, size});
    Bytes& b = font.bytes;
    uint32_t fontStart = 0;
    if (std::memcmp(data, "ttcf", 4) == 0) {
        uint32_t version = b.u32(4);
        if ((version != 0x00010000 && version != 0x00020000) || static_cast<int32_t>(b.u32(8)) < 1)
            return false;
        fontStart = b.u32(12);
    }
    // TrueType outlines only: version 1.0 or Apple's "true".
    uint32_t tag = b.u32(fontStart);
    if (!b.ok || (tag != 0x00010000 && tag != 0x74727565)) return false;
    // Every table the directory lists lies inside the file, read or not: a file cut short is
    // refused whole.
    uint32_t tableCount = b.u16(fontStart + 4);
    for (uint32_t i = 0; i < tableCount && b.ok; ++i) {
        uint64_t record = fontStart + 12 + 16 * static_cast<uint64_t>(i);
        b.has(b.u32(record + 8), b.u32(record + 12));
    }
    if (!b.ok || !findTable(font, fontStart, "cmap", &font.cmap, 4) ||
        !findTable(font, fontStart, "head", &font.head, 54) ||
        !findTable(font, fontStart, "hhea", &font.hhea, 36) ||
        !findTable(font, fontStart, "hmtx", &font.hmtx, 4) ||
        !findTable(font, fontStart, "maxp", &font.maxp, 6) ||
        !findTable(font, fontStart, "loca", &font.loca, 4) ||
        !findTable(font, fontStart, "glyf", &font.glyf, 0))
        return false;

    font.glyphCount = b.u16(font.maxp.offset + 4);
    font.locaFormat = b.u16(font.head.offset + 50);
    font.longMetrics = b.u16(font.hhea.offset + 34);
    int32_t ascent = b.i16(font.hhea.offset + 4);
    int32_t descent = b.i16(font.hhea.offset + 6);
    // The baker divides the pixel height by the line height and reads the last long metric.
    if (font.locaFormat > 1 || font.longMetrics == 0 || ascent <= descent) return false;
    font.reach = std::min(2.0f * static_cast<float>(ascent - descent), 32767.0f);
    font.glyphs.resize(font.glyphCount);

    // The subtable the baker picks: the last Unicode one of the list.
    uint32_t records = b.u16(font.cmap.offset + 2);
    for (uint32_t i = 0; i < records && b.ok; ++i) {
        uint64_t record = font.cmap.offset + 4 + 8 * static_cast<uint64_t>(i);
        uint32_t platform = b.u16(record), encoding = b.u16(record + 2);
        if (platform == 0 || (platform == 3 && (encoding == 1 || encoding == 10)))
            font.indexMap = font.cmap.offset + b.u32(record + 4);
    }
    if (!b.ok || font.indexMap == 0) return false;

    bool anyGlyph = false;
    for (const uint16_t* range = ranges; range[0]; range += 2) {
        for (uint32_t codePoint = range[0]; codePoint <= range[1]; ++codePoint) {
            int64_t glyph = glyphFor(font, codePoint);
            if (glyph < 0 || glyph >= static_cast<int64_t>(font.glyphCount)) return false;
            if (glyph > 0 && !checkGlyph(font, static_cast<uint32_t>(glyph), 0)) return false;
            anyGlyph = anyGlyph || glyph > 0;
        }
    }
    return anyGlyph;  // the baker asserts on a font without a single glyph
}
