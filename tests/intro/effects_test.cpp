// The effect families, each on a small module built here, observed on the channels and their
// voices tick by tick.
#include <gtest/gtest.h>

#include <vector>

#include "tests/intro/player_fixture.h"

namespace {

constexpr uint8_t EXTENDED = 14;

XmCell effect(uint8_t number, uint8_t param) {
    return {0, 0, 0, number, param};
}

XmCell note(uint8_t number, uint8_t param, uint8_t volume = 0) {
    return {C4, 1, volume, number, param};
}

TEST_F(Player, PatternDelayNoteDelayAndNoteCut) {
    module.set(0, 0, 0, effect(EXTENDED, 0xE2));  // EE2: the row lasts three rows' ticks
    module.set(0, 0, 1, note(EXTENDED, 0xD3));    // ED3: the note starts on tick 3
    module.set(0, 3, 0, note(EXTENDED, 0xC2));    // EC2: silent from tick 2
    start();
    ticks(1);
    EXPECT_EQ(channel(1).voice->sample, nullptr);
    ticks(2);
    EXPECT_EQ(channel(1).voice->sample, nullptr);
    ticks(1);
    EXPECT_NE(channel(1).voice->sample, nullptr);
    EXPECT_GT(channel(1).voice->volume, 0);
    ticks(18 - 4);
    EXPECT_EQ(song->row, 0);
    ticks(1);
    EXPECT_EQ(song->row, 1);
    ticks(6 * 2 + 1);  // row 3, ticks 0 and 1
    EXPECT_EQ(song->row, 3);
    EXPECT_GT(channel(0).voice->volume, 0);
    ticks(1);
    EXPECT_EQ(channel(0).voice->volume, 0);
}

// Current volume-envelope values of channel 0 over `count` ticks.
std::vector<int> envelopeValues(XmSong* song, int count, const XmEnvelopeState& state) {
    std::vector<int> values;
    for (int i = 0; i < count; ++i) {
        xmTick(song);
        values.push_back(state.current);
    }
    return values;
}

TEST_F(Player, EnvelopesInterpolateLoopStopAtTheirLastPointAndLJumps) {
    TestInstrument& looped = module.instruments[0];
    looped.volumeEnvelope = {{0, 64}, {4, 0}, {8, 64}};
    looped.volumeType = XM_ENV_ON | XM_ENV_LOOP;
    looped.loopStart = 0;
    looped.loopEnd = 2;
    TestInstrument& once = module.instruments[1];
    once.volumeEnvelope = {{0, 64}, {2, 32}};
    once.volumeType = XM_ENV_ON;
    module.set(0, 0, 0, note(0, 0));
    module.set(0, 0, 1, {C4, 2, 0, 0, 0});
    start();
    std::vector<int> expected = {64, 48, 32, 16, 0, 16, 32, 48, 64, 48};
    EXPECT_EQ(envelopeValues(song, 10, channel(0).volumeEnvelope), expected);
    EXPECT_EQ(channel(1).volumeEnvelope.current, 32);  // held at the last point
    EXPECT_TRUE(channel(1).volumeEnvelope.stopped);
    xmFreeSong(song);

    looped.volumeType = XM_ENV_ON;
    module.set(0, 0, 0, note(21, 6));        // L06: between the points at 4 and 8
    module.set(0, 0, 1, {C4, 1, 0, 21, 9});  // L09: past the last point
    start();
    expected = {32, 48, 64, 64};
    EXPECT_EQ(envelopeValues(song, 4, channel(0).volumeEnvelope), expected);
    EXPECT_EQ(channel(1).volumeEnvelope.current, 64);
    EXPECT_TRUE(channel(1).volumeEnvelope.stopped);
}

TEST_F(Player, ThePanEnvelopeMovesThePanWithinWhatThePanLeavesRoomFor) {
    for (TestInstrument& ins : module.instruments) {
        ins.panEnvelope = {{0, 0}, {4, 64}};
        ins.panType = XM_ENV_ON;
    }
    module.instruments[1].samples[0].pan = 64;
    module.set(0, 0, 0, note(0, 0));
    module.set(0, 0, 1, {C4, 2, 0, 0, 0});
    start();
    ticks(1);
    EXPECT_EQ(channel(0).voice->pan, 0);  // centre, envelope at the far left
    EXPECT_EQ(channel(1).voice->pan, 0);
    ticks(2);
    EXPECT_EQ(channel(0).voice->pan, 128);  // envelope at its centre
    EXPECT_EQ(channel(1).voice->pan, 64);
    ticks(2);
    EXPECT_EQ(channel(0).voice->pan, 255);
    EXPECT_EQ(channel(1).voice->pan, 128);  // 64 to the right is all the room there is
}

TEST_F(Player, TremoloKeepsItsVolumeTremorGatesRetriggersRestart) {
    module.set(0, 0, 0, note(7, 0x48, 0x30));  // tremolo speed 4, depth 8 on volume 32
    module.set(0, 1, 0, effect(0, 0));
    module.set(0, 0, 1, note(29, 0x12));  // tremor: 2 ticks on, 3 off
    start();
    std::vector<bool> sounding;
    std::vector<int> volumes;
    for (int t = 0; t < 6; ++t) {
        ticks(1);
        sounding.push_back(channel(1).voice->volume > 0);
        volumes.push_back(channel(0).volume + channel(0).volumeDelta);
    }
    EXPECT_EQ(sounding, (std::vector<bool>{true, true, false, false, false, true}));
    EXPECT_EQ(volumes, (std::vector<int>{32, 32, 44, 54, 61, 64}));
    ticks(1);  // the next row keeps the volume the tremolo left
    EXPECT_EQ(channel(0).volume, 64);
    xmFreeSong(song);

    module.set(0, 0, 0, note(27, 0x23));           // R23: every 3 ticks, 2 softer
    module.set(0, 0, 1, {C4, 1, 0x24, 27, 0xF2});  // RF2 on volume 20: every 2 ticks, twice as loud
    module.set(0, 1, 0, note(EXTENDED, 0x92));     // E92: every 2 ticks
    module.set(0, 1, 1, {});
    start();
    ticks(3);
    channel(0).voice->position = 500;
    ticks(1);
    EXPECT_EQ(channel(0).voice->position, 0u);
    EXPECT_EQ(channel(0).volume, 62);
    EXPECT_EQ(channel(1).volume, 40);
    ticks(2);
    EXPECT_EQ(channel(1).volume, 64);  // capped
    ticks(2);                          // row 1, tick 1
    channel(0).voice->position = 500;
    ticks(1);
    EXPECT_EQ(channel(0).voice->position, 0u);
}

TEST_F(Player, GlobalVolumeAndItsSlideWithItsMemory) {
    module.set(0, 0, 0, note(16, 0x20));    // G20: half
    module.set(0, 1, 0, effect(17, 0x02));  // H02: down 2 a tick
    module.set(0, 2, 0, effect(17, 0x00));  // H00: the same again
    module.set(0, 3, 0, effect(17, 0x30));  // H30: up 3 a tick
    start();
    ticks(1);
    EXPECT_EQ(song->globalVolume, 32);
    EXPECT_EQ(channel(0).voice->volume, 63);
    rows(2);
    EXPECT_EQ(song->globalVolume, 22);
    rows(1);
    EXPECT_EQ(song->globalVolume, 12);
    rows(1);
    EXPECT_EQ(song->globalVolume, 27);
}

TEST_F(Player, PortamentosAndFineSlidesEachKeepTheirOwnMemory) {
    module.set(0, 0, 0, note(1, 4));    // 104: 16 up a tick
    module.set(0, 1, 0, effect(2, 2));  // 202: 8 down a tick
    module.set(0, 2, 0, effect(1, 0));  // 100: 1's memory, not 2's
    module.set(0, 3, 0, effect(2, 0));
    module.set(0, 4, 0, effect(1, 0xFF));         // down to the floor at 56
    module.set(0, 0, 1, note(EXTENDED, 0x12));    // E12: 8 up once
    module.set(0, 1, 1, effect(EXTENDED, 0x23));  // E23: 12 down once
    module.set(0, 2, 1, effect(EXTENDED, 0x10));
    module.set(0, 3, 1, effect(EXTENDED, 0x20));
    module.set(0, 4, 1, effect(33, 0x12));  // X12: 2 up
    module.set(0, 5, 1, effect(33, 0x23));  // X23: 3 down
    module.set(0, 6, 1, effect(33, 0x10));
    module.set(0, 7, 1, effect(33, 0x20));
    start();
    std::vector<int> up, fine;
    for (int row = 0; row < 8; ++row) {
        rows(1);
        up.push_back(channel(0).period);
        fine.push_back(channel(1).period);
    }
    EXPECT_EQ(up, (std::vector<int>{4528, 4568, 4488, 4528, 56, 56, 56, 56}));
    EXPECT_EQ(fine, (std::vector<int>{4600, 4612, 4604, 4616, 4614, 4617, 4615, 4618}));
}

TEST_F(Player, WaveShapesAndTheirNoRetriggerBits) {
    // The vibrato delta a quarter into the wave (position 8 of 64) at depth 4, for each shape.
    std::vector<int> deltas;
    for (uint8_t wave : {0, 1, 2}) {
        module.set(0, 0, 0, effect(EXTENDED, 0x40 | wave));
        module.set(0, 1, 0, note(4, 0x84));
        start();
        rows(1);
        ticks(3);
        deltas.push_back(channel(0).periodDelta);
        xmFreeSong(song);
    }
    EXPECT_EQ(deltas, (std::vector<int>{-20, -8, -28}));

    // E44 keeps the vibrato position across new notes; E40 starts each note at 0. E76 likewise
    // for the tremolo (square wave, no retrigger).
    for (uint8_t bits : {0x00, 0x04}) {
        module.set(0, 0, 0, effect(EXTENDED, 0x40 | bits));
        module.set(0, 0, 1, effect(EXTENDED, 0x72 | bits));
        module.set(0, 1, 0, note(4, 0x84));
        module.set(0, 1, 1, note(7, 0x84, 0x20));
        module.set(0, 2, 0, note(0, 0));
        module.set(0, 2, 1, note(0, 0, 0x20));
        start();
        rows(2);
        EXPECT_EQ(channel(1).volumeDelta, -((255 * 4) >> 6));  // the square's full depth
        ticks(1);
        EXPECT_EQ(channel(0).vibratoPosition, bits ? 8 * 5 - 64 : 0) << int(bits);
        EXPECT_EQ(channel(1).tremoloPosition, bits ? 8 * 5 - 64 : 0) << int(bits);
        xmFreeSong(song);
    }
    song = nullptr;
}

TEST_F(Player, VolumeColumnSlidesPansVibratoAndTonePortamento) {
    module.set(0, 0, 0, note(0, 0, 0x30));
    module.set(0, 1, 0, effect(0, 0));
    module.patterns[0].cells[1 * 2].volume = 0x62;      // down 2 on every tick
    module.patterns[0].cells[2 * 2].volume = 0x73;      // up 3 on every tick
    module.patterns[0].cells[3 * 2].volume = 0x84;      // down 4 once
    module.patterns[0].cells[4 * 2].volume = 0x95;      // up 5 once
    module.set(0, 5, 0, {C4 + 12, 0, 0xF8, 0, 0});      // tone portamento at 128
    module.set(0, 0, 1, note(0, 0, 0xC8));              // pan 128
    module.patterns[0].cells[1 * 2 + 1].volume = 0xD2;  // 2 left on every tick
    module.patterns[0].cells[2 * 2 + 1].volume = 0xE3;  // 3 right on every tick
    module.patterns[0].cells[3 * 2 + 1].volume = 0xA8;  // vibrato speed 8
    module.patterns[0].cells[4 * 2 + 1].volume = 0xB4;  // depth 4, vibrato on later ticks
    start();
    auto [volumes, pans] = volumesAndPans(4);
    EXPECT_EQ(volumes, (std::vector<int>{32, 20, 38, 34}));
    EXPECT_EQ(pans, (std::vector<int>{128, 116, 134, 134}));
    EXPECT_EQ(channel(1).vibratoSpeed, 8);
    ticks(3);
    EXPECT_EQ(channel(0).volume, 39);
    EXPECT_EQ(channel(1).vibratoDepth, 4);
    EXPECT_EQ(channel(1).periodDelta, -20);  // a quarter of the way into the sine, depth 4
    ticks(3);                                // then row 5 with the note: no retrigger
    uint32_t playing = 300;
    channel(0).voice->position = playing;
    ticks(1);
    EXPECT_EQ(channel(0).voice->position, playing);
    EXPECT_EQ(channel(0).period, 4608);  // the note only names the target
    ticks(1);
    EXPECT_EQ(channel(0).period, 4608 - 512);
    ticks(1);
    EXPECT_EQ(channel(0).period, 4608 - 768);  // and stops at it
}

TEST_F(Player, AmigaPeriodsFollowTheFinetuneTable) {
    start();
    song->flags = 0;
    EXPECT_EQ(xmPeriod(song, 48, 0), 1712);
    EXPECT_EQ(xmPeriod(song, 48, 16), 1700);
    EXPECT_EQ(xmPeriod(song, 48, 32), 1688);
    EXPECT_EQ(xmPeriod(song, 48, 64), 1664);
    EXPECT_EQ(xmPeriod(song, 48, -16), 1724);
    EXPECT_EQ(xmPeriod(song, 60, 0), 856);
    EXPECT_EQ(xmPeriod(song, 36, 0), 3424);
    EXPECT_EQ(xmFrequency(song, 1712, 0), 14317056 / 1712);
}

TEST_F(Player, ArpeggioOnTheAmigaTableMovesBySemitonePeriods) {
    module.flags = 0;
    module.set(0, 0, 0, note(0, 0x37));
    start();
    ticks(2);
    EXPECT_NEAR(channel(0).period + channel(0).periodDelta, 1440, 1);  // three semitones up: D#
    ticks(1);
    EXPECT_NEAR(channel(0).period + channel(0).periodDelta, 1140, 2);  // seven: G
    ticks(1);
    EXPECT_EQ(channel(0).periodDelta, 0);
}

TEST_F(Player, TicksLastTwoAndAHalfSecondsOverTheTempo) {
    start();
    xmSetBpm(song, 125);
    EXPECT_EQ(song->samplesPerTick, 882);
    xmSetBpm(song, 151);
    EXPECT_EQ(song->samplesPerTick, 730);
}

TEST_F(Player, InstrumentAutoVibratoShapesAndSweep) {
    // Period deltas on the first four ticks of a note, rate 64 (a quarter wave a tick), depth 16.
    std::vector<std::vector<int>> expected = {
        {0, 16, 0, -16}, {16, 16, -16, -16}, {0, -8, 16, 8}, {0, 8, 16, -8}};
    for (uint8_t type = 0; type < 4; ++type) {
        TestInstrument& ins = module.instruments[0];
        ins.vibratoType = type;
        ins.vibratoDepth = 16;
        ins.vibratoRate = 64;
        module.set(0, 0, 0, note(0, 0));
        start();
        std::vector<int> deltas;
        for (int t = 0; t < 4; ++t) {
            ticks(1);
            deltas.push_back(channel(0).periodDelta);
        }
        EXPECT_EQ(deltas, expected[type]) << "type " << int(type);
        xmFreeSong(song);
    }
    module.instruments[0].vibratoType = 1;
    module.instruments[0].vibratoSweep = 4;  // grows to full depth over 4 ticks
    start();
    std::vector<int> deltas;
    for (int t = 0; t < 6; ++t) {
        ticks(1);
        deltas.push_back(channel(0).periodDelta);
    }
    EXPECT_EQ(deltas, (std::vector<int>{0, 4, -8, -12, 16, 16}));
}

TEST_F(Player, TheVoiceVolumeIsTheProductOfItsParts) {
    module.set(0, 0, 0, note(0, 0));
    module.set(0, 0, 1, note(12, 0x20));  // C20: half
    start();
    ticks(1);
    EXPECT_EQ(channel(0).voice->volume, 127);
    EXPECT_EQ(channel(1).voice->volume, 63);
    EXPECT_EQ(channel(0).voice->gain1, 127 * 127 / 255);  // centre: both sides alike
    EXPECT_EQ(channel(0).voice->gain2, 127 * 128 / 255);
}

TEST_F(Player, KeyMapsPickTheirSampleAndEmptyEntriesAndInstrumentsStaySilent) {
    TestInstrument split = module.instruments[0];
    split.samples.push_back(split.samples[0]);
    split.samples[1].volume = 10;
    split.keyMap.assign(96, 1);
    for (int n = 0; n < 48; ++n) split.keyMap[n] = 0;
    split.keyMap[50] = 16;  // no sample at all
    module.instruments = {split, TestInstrument{}};
    module.set(0, 0, 0, {C4 - 1, 1, 0, 0, 0});
    module.set(0, 0, 1, {C4, 1, 0, 0, 0});
    module.set(0, 1, 0, {51, 1, 0, 0, 0});
    module.set(0, 1, 1, {C4, 2, 0, 0, 0});  // an instrument without samples
    start();
    ticks(1);
    EXPECT_EQ(channel(0).volume, 64);
    EXPECT_EQ(channel(1).volume, 10);
    EXPECT_EQ(channel(1).sample, song->instruments[0].samples[1]);
    rows(1);
    EXPECT_EQ(channel(0).sample, xmEmptySample());
    EXPECT_EQ(channel(1).sample, xmEmptySample());
    mixLoudness();
    EXPECT_EQ(channel(0).voice->sample, nullptr);
    EXPECT_EQ(channel(1).voice->sample, nullptr);
}

TEST_F(Player, AHandedOverNoteFadesToSilenceInTheMix) {
    module.set(0, 0, 0, note(0, 0));
    module.set(0, 1, 0, note(0, 0));
    start();
    while (song->row == 0 || song->tick == 0) mixLoudness();  // up to the second note
    MixVoice& partner = mixVoiceTable[32];
    ASSERT_NE(partner.sample, nullptr);
    // The partner alone: it ramps down within a block and stays silent.
    channel(0).voice->sample = nullptr;
    mixLoudness();
    EXPECT_EQ(mixLoudness(), std::make_pair(0.0, 0.0));
}

TEST_F(Player, MemoriesOfOffsetVolumeSlideAndFineVolumeAndPanEffects) {
    module.set(0, 0, 0, note(10, 0x02));              // A02
    module.set(0, 1, 0, effect(10, 0x00));            // A00: down 2 again
    module.set(0, 2, 0, effect(EXTENDED, 0xA3));      // EA3: up 3
    module.set(0, 3, 0, effect(EXTENDED, 0xB0));      // EB0: down by EA's 3
    module.set(0, 0, 1, note(8, 0x40));               // 840: pan 64
    module.set(0, 1, 1, effect(EXTENDED, 0x8C));      // E8C: pan 192
    module.set(0, 2, 1, {C4, 1, 0, 9, 2});            // 902: start at 512
    module.set(0, 3, 1, {C4, 1, 0, 9, 0});            // 900: the same
    module.set(0, 4, 1, {C4, 1, 0, EXTENDED, 0x5F});  // E5F: finetune 15 from now on
    start();
    auto [volumes, pans] = volumesAndPans(4);
    EXPECT_EQ(volumes, (std::vector<int>{54, 44, 47, 44}));
    EXPECT_EQ(pans[0], 64);
    EXPECT_EQ(pans[1], 192);
    EXPECT_EQ(channel(1).voice->position, 512u);
    ticks(1);
    EXPECT_EQ(channel(1).sample->finetune, 15);
}

}  // namespace
