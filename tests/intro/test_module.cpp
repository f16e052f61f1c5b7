#include "tests/intro/test_module.h"

#include <cstddef>

#include "intro/memory_file.h"

namespace {

void put8(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
}
void put16(std::vector<uint8_t>& out, uint32_t v) {
    put8(out, v);
    put8(out, v >> 8);
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v);
    put16(out, v >> 16);
}
void pad(std::vector<uint8_t>& out, std::size_t count) {
    out.insert(out.end(), count, 0);
}

void putEnvelope(std::vector<uint8_t>& out, const TestEnvelope& points) {
    for (std::size_t i = 0; i < 12; ++i) {
        put16(out, i < points.size() ? points[i].first : 0);
        put16(out, i < points.size() ? points[i].second : 0);
    }
}

// Cells with a zero field use the mask form, the others the full five bytes.
void packCell(std::vector<uint8_t>& out, const XmCell& c) {
    uint8_t fields[5] = {c.note, c.instrument, c.volume, c.effect, c.param};
    bool full = c.note && c.note < 0x80 && c.instrument && c.volume && c.effect && c.param;
    if (full) {
        out.insert(out.end(), fields, fields + 5);
        return;
    }
    uint8_t mask = 0x80;
    for (int i = 0; i < 5; ++i)
        if (fields[i]) mask |= 1 << i;
    put8(out, mask);
    for (uint8_t f : fields)
        if (f) put8(out, f);
}

const std::vector<uint8_t>* loadedImage;

MemoryImage currentImage(const char*) {
    return {loadedImage->data(), static_cast<uint32_t>(loadedImage->size())};
}

}  // namespace

TestPattern& TestModule::addPattern(uint16_t rows) {
    patterns.push_back(
        TestPattern{rows, std::vector<XmCell>(std::size_t{rows} * channels, XmCell{})});
    return patterns.back();
}

void TestModule::set(int pattern, int row, int channel, XmCell cell) {
    patterns[pattern].cells[row * channels + channel] = cell;
}

std::vector<uint8_t> buildModule(const TestModule& m) {
    std::vector<uint8_t> out;
    const char* signature = "Extended Module: ";
    out.insert(out.end(), signature, signature + 17);
    pad(out, 20);
    put8(out, 0x1A);
    pad(out, 20);
    put16(out, 0x0104);
    put32(out, 276);
    put16(out, static_cast<uint16_t>(m.orders.size()));
    put16(out, m.restart);
    put16(out, m.channels);
    put16(out, static_cast<uint16_t>(m.patterns.size()));
    put16(out, static_cast<uint16_t>(m.instruments.size()));
    put16(out, m.flags);
    put16(out, m.speed);
    put16(out, m.bpm);
    std::vector<uint8_t> orders = m.orders;
    orders.resize(256);
    out.insert(out.end(), orders.begin(), orders.end());

    for (const TestPattern& p : m.patterns) {
        std::vector<uint8_t> packed;
        for (const XmCell& c : p.cells) packCell(packed, c);
        put32(out, 9);
        put8(out, 0);
        put16(out, p.rows);
        put16(out, static_cast<uint16_t>(packed.size()));
        out.insert(out.end(), packed.begin(), packed.end());
    }

    for (const TestInstrument& ins : m.instruments) {
        std::size_t start = out.size();
        bool withSamples = !ins.samples.empty();
        put32(out, withSamples ? 263 : 29);
        pad(out, 23);
        put16(out,
              ins.declaredSampleCount != 0xFFFF ? ins.declaredSampleCount : ins.samples.size());
        if (withSamples) {
            put32(out, 40);
            for (int note = 0; note < 96; ++note)
                put8(out, note < static_cast<int>(ins.keyMap.size()) ? ins.keyMap[note]
                                                                     : ins.keyMapSample);
            putEnvelope(out, ins.volumeEnvelope);
            putEnvelope(out, ins.panEnvelope);
            put8(out, static_cast<uint32_t>(ins.volumeEnvelope.size()));
            put8(out, static_cast<uint32_t>(ins.panEnvelope.size()));
            for (uint8_t v : {ins.sustain, ins.loopStart, ins.loopEnd, ins.panSustain,
                              ins.panLoopStart, ins.panLoopEnd, ins.volumeType, ins.panType,
                              ins.vibratoType, ins.vibratoSweep, ins.vibratoDepth, ins.vibratoRate})
                put8(out, v);
            put16(out, ins.fadeout);
            pad(out, start + 263 - out.size());
        }
        for (const TestSample& s : ins.samples) {
            uint32_t bytes = s.sixteenBit ? 2 : 1;
            put32(out, static_cast<uint32_t>(s.values.size()) * bytes);
            put32(out, s.loopStart * bytes);
            put32(out, s.loopLength * bytes);
            put8(out, s.volume);
            put8(out, static_cast<uint8_t>(s.finetune));
            put8(out, s.loopType | (s.sixteenBit ? 16 : 0));
            put8(out, s.pan);
            put8(out, static_cast<uint8_t>(s.relativeNote));
            pad(out, 23);
        }
        for (const TestSample& s : ins.samples) {
            int previous = 0;
            for (int16_t v : s.values) {
                int value = s.sixteenBit ? v : v >> 8;
                int delta = value - previous;
                previous = value;
                if (s.sixteenBit)
                    put16(out, static_cast<uint16_t>(delta));
                else
                    put8(out, static_cast<uint8_t>(delta));
            }
        }
    }
    return out;
}

XmSong* loadModule(const std::vector<uint8_t>& image, XmLoadResult* result) {
    loadedImage = &image;
    useMemoryFiles(currentImage);
    return xmLoadSong("102", nullptr, result);
}

TestSample rampSample(int length, int first, int stride) {
    TestSample s;
    for (int i = 0; i < length; ++i) s.values.push_back(static_cast<int16_t>(first + i * stride));
    return s;
}
