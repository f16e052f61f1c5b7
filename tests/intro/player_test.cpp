// Playback: rows, order changes and the effects, observed on the channels and their voices.
#include <gtest/gtest.h>

#include "tests/intro/player_fixture.h"

namespace {

TEST_F(Player, PeriodsAndFrequenciesOfBothTables) {
    start();
    EXPECT_EQ(xmPeriod(song, 48, 0), 4608);
    EXPECT_EQ(xmFrequency(song, 4608, 0), 8363);
    EXPECT_EQ(xmFrequency(song, 4608, 768), 16726);
    EXPECT_EQ(xmFrequency(song, 4608, -4608), 0);
    song->flags = 0;
    EXPECT_EQ(xmPeriod(song, 48, 0), 1712);
    EXPECT_EQ(xmFrequency(song, 1712, 0), 8362);
    EXPECT_LT(xmPeriod(song, 48, 64), 1712);
    EXPECT_GT(xmPeriod(song, 48, -64), 1712);
}

TEST_F(Player, KeyOffSilencesAtOnceWithoutAVolumeEnvelope) {
    module.set(0, 0, 0, {C4, 1, 0, 0, 0});
    module.set(0, 1, 0, {97, 0, 0, 0, 0});
    module.set(0, 0, 1, {C4, 1, 0, 0, 0});
    module.set(0, 1, 1, {0, 0, 0, 20, 0});  // Kxx
    start();
    rows(1);
    EXPECT_GT(channel(0).voice->volume, 0);
    ticks(1);
    EXPECT_EQ(channel(0).voice->volume, 0);
    EXPECT_EQ(channel(1).voice->volume, 0);
    EXPECT_TRUE(channel(0).keyOff);
}

TEST_F(Player, KeyOffReleasesASustainedEnvelopeAndFadesOut) {
    TestInstrument& ins = module.instruments[0];
    ins.volumeEnvelope = {{0, 64}, {2, 32}, {10, 0}};
    ins.volumeType = XM_ENV_ON | XM_ENV_SUSTAIN;
    ins.sustain = 1;
    ins.fadeout = 0x1000;
    module.set(0, 0, 0, {C4, 1, 0, 0, 0});
    module.set(0, 2, 0, {97, 0, 0, 0, 0});
    start();
    ticks(4);
    EXPECT_EQ(channel(0).volumeEnvelope.current, 32);  // holds at the sustain point
    ticks(6);
    EXPECT_EQ(channel(0).volumeEnvelope.current, 32);
    ticks(4);  // key off on row 2, then one tick more
    EXPECT_LT(channel(0).volumeEnvelope.current, 32);
    EXPECT_EQ(channel(0).fadeout, 65536 - 2 * 0x2000);
    EXPECT_GT(channel(0).voice->volume, 0);
}

TEST_F(Player, TonePortamentoNeitherRetriggersNorChangesInstrumentOrSample) {
    module.set(0, 0, 0, {C4, 1, 0, 0, 0});
    module.set(0, 1, 0, {C4 + 12, 2, 0, 3, 0x10});
    module.set(0, 2, 0, {0, 0, 0, 3, 0});
    module.set(0, 3, 0, {0, 0, 0, 3, 0});
    start();
    rows(1);
    XmSample* first = channel(0).sample;
    int32_t startPeriod = channel(0).period;
    uint32_t position = channel(0).voice->position;
    ticks(1);
    EXPECT_EQ(channel(0).sample, first);
    EXPECT_EQ(channel(0).instrument, 0);
    EXPECT_EQ(channel(0).period, startPeriod);
    EXPECT_GE(channel(0).voice->position, position);  // not restarted
    EXPECT_EQ(mixVoiceTable[32].sample, nullptr);     // no hand-over to the partner
    ticks(2);
    EXPECT_EQ(channel(0).period, startPeriod - 2 * 64);
    ticks(20);
    EXPECT_EQ(channel(0).period, xmPeriod(song, 48 + 12, 0));  // stops at the target
}

TEST_F(Player, ANewNoteHandsTheOldOneToThePartnerVoiceToFadeOut) {
    module.set(0, 0, 0, {C4, 1, 0, 0, 0});
    module.set(0, 1, 0, {C4, 1, 0, 0, 0});
    start();
    rows(1);
    MixVoice* voice = channel(0).voice;
    voice->position = 300;
    voice->rampGain1 = voice->gain1 * 256;
    ticks(1);
    MixVoice& partner = mixVoiceTable[32];
    EXPECT_EQ(partner.index, 32);
    EXPECT_EQ(partner.sample, channel(0).sample);
    EXPECT_EQ(partner.position, 300u);
    EXPECT_EQ(partner.gain1, 0);
    EXPECT_EQ(partner.gain2, 0);
    EXPECT_GT(partner.rampGain1, 0);  // ramps down from where it was
    EXPECT_EQ(voice->position, 0u);
    EXPECT_EQ(voice->rampGain1, 0);  // and the new note ramps up
}

TEST_F(Player, SpeedZeroMakesEveryTickARowTick) {
    module.set(0, 0, 0, {0, 0, 0, 15, 0});
    start();
    ticks(1);
    EXPECT_EQ(song->speed, 0);
    for (int row = 1; row < 5; ++row) {
        ticks(1);
        EXPECT_EQ(song->row, row);
        EXPECT_EQ(song->tick, 0);
    }
}

TEST_F(Player, OrderChangesBreaksAndJumps) {
    module.orders = {0, 1, 0, 1};
    module.restart = 1;
    module.set(0, 1, 0, {0, 0, 0, 13, 0x70});  // break to row 70: row 0 of the next order
    module.set(1, 2, 1, {0, 0, 0, 13, 0x05});  // break to row 5
    start();
    rows(2);
    ticks(1);  // the row tick after the break
    EXPECT_EQ(song->order, 1);
    EXPECT_EQ(song->row, 0);
    rows(3);
    EXPECT_EQ(song->order, 2);
    EXPECT_EQ(song->row, 5);
    rows(6);  // rows 5-7 of order 2, then the break on order 3 leaves the song: order 0
    EXPECT_EQ(song->order, 0);
    EXPECT_EQ(song->row, 5);
}

TEST_F(Player, JumpingPastTheSongGoesToOrderZeroButRunningOffTheEndToTheRestart) {
    module.orders = {0, 1, 1};
    module.restart = 1;
    module.set(0, 0, 0, {0, 0, 0, 11, 9});
    start();
    rows(1);
    EXPECT_EQ(song->nextOrder, 0);
    module.set(0, 0, 0, {});
    xmFreeSong(song);
    start();
    rows(8 * 3);
    EXPECT_EQ(song->order, 2);
    rows(1);
    EXPECT_EQ(song->order, 1);
}

TEST_F(Player, ABreakToARowThePatternLacksStartsItAtRowZero) {
    module.patterns[1].rows = 4;
    module.patterns[1].cells.resize(4 * module.channels);
    module.set(0, 0, 0, {0, 0, 0, 13, 0x06});
    start();
    rows(1);
    ticks(1);
    EXPECT_EQ(song->order, 1);
    EXPECT_EQ(song->row, 0);
}

TEST_F(Player, AJumpAndABreakOnOneRowGoToTheBreaksRowWhateverTheChannelOrder) {
    module.orders = {0, 1, 0, 1};
    module.set(0, 0, 0, {0, 0, 0, 13, 0x05});  // D05, then B03 in a later channel
    module.set(0, 0, 1, {0, 0, 0, 11, 3});
    module.set(1, 6, 0, {0, 0, 0, 11, 2});  // B02, then D03 in a later channel
    module.set(1, 6, 1, {0, 0, 0, 13, 0x03});
    start();
    rows(1);
    ticks(1);
    EXPECT_EQ(song->order, 3);
    EXPECT_EQ(song->row, 5);
    rows(2);
    EXPECT_EQ(song->order, 2);
    EXPECT_EQ(song->row, 3);
}

TEST_F(Player, PanZeroIsHardLeftAndPanSlidesMoveTheWayTheyName) {
    module.instruments[0].samples[0].pan = 0;
    module.instruments[1].samples[0].pan = 255;
    module.set(0, 0, 0, {C4, 1, 0, 0, 0});
    module.set(0, 0, 1, {C4, 2, 0, 0, 0});
    start();
    mixLoudness();  // the ramps up from silence
    song->channels[1].voice->sample = nullptr;
    auto [left, right] = mixLoudness();
    EXPECT_GT(left, 0);
    EXPECT_EQ(right, 0);  // a sample panned hard left plays only on the left
    xmFreeSong(song);

    module.instruments[0].samples[0].pan = 128;
    module.set(0, 0, 0, {C4, 1, 0xC0, 0, 0});  // volume column C0: hard left too
    module.set(0, 0, 1, {});
    start();
    mixLoudness();
    std::tie(left, right) = mixLoudness();
    EXPECT_GT(left, 0);
    EXPECT_EQ(right, 0);
    xmFreeSong(song);

    module.set(0, 0, 0, {C4, 1, 0, 25, 0x01});  // P01 slides towards the left
    module.set(0, 1, 0, {0, 0, 0, 25, 0});
    module.set(0, 0, 1, {C4, 1, 0, 25, 0xF0});  // PF0 towards the right
    module.set(0, 1, 1, {0, 0, 0, 25, 0});
    start();
    rows(2);
    EXPECT_EQ(channel(0).pan, 128 - 10);
    EXPECT_EQ(channel(1).pan, 255);
    EXPECT_GT(channel(0).voice->gain1, channel(0).voice->gain2);
    EXPECT_EQ(channel(1).voice->gain1, 0);
}

TEST_F(Player, SlidesKeepThePeriodInsideTheTable) {
    for (uint16_t flags : {1, 0}) {
        module.flags = flags;
        for (TestPattern& pattern : module.patterns)
            pattern = TestPattern{1, std::vector<XmCell>(module.channels)};
        module.restart = 1;
        module.speed = 31;
        module.set(0, 0, 0, {C4, 1, 0, 2, 0xFF});   // 2FF on every tick, for ever
        module.set(0, 0, 1, {C4, 1, 0, 14, 0x1F});  // E1F on every row
        module.set(1, 0, 0, {0, 0, 0, 2, 0xFF});
        module.set(1, 0, 1, {0, 0, 0, 14, 0x1F});
        start();
        int32_t highest = xmPeriod(song, 0, -128), lowest = xmPeriod(song, 119, 127);
        ticks(31 * 100);
        EXPECT_EQ(channel(0).period, highest);
        EXPECT_GT(channel(0).voice->frequency, 0);
        EXPECT_EQ(channel(1).period, lowest);
        xmFreeSong(song);
        song = nullptr;
    }
}

TEST_F(Player, VolumeEffects) {
    module.set(0, 0, 0, {C4, 1, 0, 12, 0x50});     // C50 kept above 64
    module.set(0, 0, 1, {C4, 1, 0x30, 16, 0x70});  // volume column 0x30; G70 capped
    module.set(0, 1, 1, {0, 0, 0, 10, 0x02});      // A02 slides down 2 a tick
    module.set(0, 2, 1, {0, 0, 0, 14, 0xA4});      // EA4 fine up 4
    start();
    rows(1);
    EXPECT_EQ(channel(0).volume, 0x50);
    EXPECT_EQ(channel(1).volume, 0x20);
    EXPECT_EQ(song->globalVolume, 64);
    rows(1);
    EXPECT_EQ(channel(1).volume, 0x20 - 2 * 5);
    rows(1);
    EXPECT_EQ(channel(1).volume, 0x20 - 10 + 4);
}

TEST_F(Player, PatternLoopRepeatsRows) {
    module.set(0, 1, 0, {0, 0, 0, 14, 0x60});
    module.set(0, 3, 0, {0, 0, 0, 14, 0x62});
    start();
    int visits = 0;
    for (int i = 0; i < 12; ++i) {
        rows(1);
        if (song->row == 1) ++visits;
    }
    EXPECT_EQ(visits, 3);
}

TEST_F(Player, SampleOffsetStartsTheVoiceThereOrStopsItPastTheLoop) {
    module.set(0, 0, 0, {C4, 1, 0, 9, 2});
    module.set(0, 1, 0, {C4, 1, 0, 9, 9});  // 9 x 256 is past the loop end (900)
    start();
    ticks(1);
    EXPECT_EQ(channel(0).voice->position, 512u);
    rows(1);
    EXPECT_EQ(channel(0).voice->position, 0u);
}

TEST_F(Player, ArpeggioAndVibratoMoveThePitchOnLaterTicks) {
    module.set(0, 0, 0, {C4, 1, 0, 0, 0x47});
    module.set(0, 0, 1, {C4, 1, 0, 4, 0x8F});
    start();
    ticks(1);
    int32_t base = channel(0).voice->frequency;
    EXPECT_EQ(channel(1).voice->frequency, base);
    ticks(1);
    EXPECT_EQ(channel(0).periodDelta, 4 * 64);
    ticks(1);
    EXPECT_EQ(channel(0).periodDelta, 7 * 64);
    ticks(1);
    EXPECT_EQ(channel(0).voice->frequency, base);
    EXPECT_NE(channel(1).voice->frequency, base);
}

TEST_F(Player, AnInstrumentBeyondTheSongPlaysTheEmptySample) {
    module.set(0, 0, 0, {C4, 9, 0, 0, 0});
    start();
    ticks(1);
    EXPECT_EQ(channel(0).sample, xmEmptySample());
    mixConstants.blockFrames = 884;
    fillBlock();  // and mixing it stops the voice without reading anything
    EXPECT_EQ(channel(0).voice->sample, nullptr);
}

}  // namespace
