// The eight sound-effect slots, the music playlist and the music thread that runs
// the mixer's pass every 10 ms.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "audio/mixer.h"

struct KeyNode;
struct KeyStore;

enum class SoundSlot {
    ButtonClick,
    Rollover,
    WordOk,
    WordReject,
    WordClick,
    StatClick,
    WindowClose,
    WordBonus,
};
constexpr int kSoundSlotCount = 8;
// Where a slot's sound sits in SoundAssets' arrays.
constexpr int slotIndex(SoundSlot slot) {
    return static_cast<int>(slot);
}

// Each slot and the member of the configuration's "sounds" object that names its file, in the
// order start-up loads them. tools/config/check_config.py reads these rows too.
struct SoundSlotKey {
    SoundSlot slot;
    const char* key;
};
constexpr SoundSlotKey kSoundSlotKeys[] = {
    {SoundSlot::ButtonClick, "buttonClick"}, {SoundSlot::WordOk, "wordOk"},
    {SoundSlot::WordReject, "wordReject"},   {SoundSlot::WordClick, "wordClick"},
    {SoundSlot::StatClick, "statClick"},     {SoundSlot::Rollover, "rollover"},
    {SoundSlot::WindowClose, "windowClose"}, {SoundSlot::WordBonus, "wordBonus"},
};
static_assert(sizeof kSoundSlotKeys / sizeof kSoundSlotKeys[0] == kSoundSlotCount,
              "every slot has its key");

struct MusicPlayer {
    std::string dataFolder = "data/";  // where the music archive and loose tracks are read
    int32_t lastTrack = 0;  // playlist index of the track picked last
    const char* musicArchive = nullptr;
    uint32_t musicArchiveSize = 0;
    const KeyNode* playlist = nullptr;  // "normal" inside "music"; null when absent
    tsMixer* mixer = nullptr;           // null when no output device could be opened
    tsSound track{};                    // samples of the playing track
    tsSoundDef trackDef{};
    std::atomic<int32_t> volume{0};  // percent; written by the main thread, read each pass

    std::vector<char> musicArchiveBytes;  // the storage musicArchive points into
    std::thread thread;                   // the music thread, joined by stopMusicThread
    std::atomic<bool> stopRequested{false};
};

// The sound half of the game's assets (the image half is gfx's ImageAssets): the sounds archive
// and the decoded slots.
struct SoundAssets {
    std::string dataFolder = "data/";  // where the sounds archive and loose sounds are read
    MusicPlayer* music = nullptr;
    const char* soundsArchive = nullptr;
    uint32_t soundsArchiveSize = 0;
    tsSound sounds[kSoundSlotCount]{};
    tsSoundDef defs[kSoundSlotCount]{};

    std::vector<char> soundsArchiveBytes;  // the storage soundsArchive points into
};

// Reads the sounds archive and decodes the slots.
void loadSoundAssets(SoundAssets* sounds, const KeyStore* config, MusicPlayer* music);
// Decodes one slot: data/sounds/<file> when it exists, else the sounds archive member.
void loadSound(SoundSlot slot, SoundAssets* sounds, const KeyStore* config, const char* key);
// Starts a slot's sound; null when no voice is free or there is no output (or no sounds).
tsVoice* playSound(const SoundAssets* sounds, SoundSlot slot);

// Opens the mixer on the window (the windowing library's handle), reads the music archive and
// finds the playlist.
void initAudio(MusicPlayer* music, const KeyStore* config, void* window);
// Starts the music thread (mixing every 10 ms); 0.
int startMusicThread(MusicPlayer* music);
// Stops and joins the music thread; nothing is mixed afterwards. Safe to call when not running.
void stopMusicThread(MusicPlayer* music);
// Until stopMusicThread: every 10 ms starts the next track once the last one has ended,
// applies the volume to the music and runs a mix pass. The next track is picked and
// decoded ahead, off this thread, so that a track change never holds up a pass.
void musicThreadMain(MusicPlayer* music);
// A random playlist entry other than the last one picked (a playlist of one entry repeats
// it); null when the playlist is missing or empty.
const char* pickNextTrack(MusicPlayer* music);
// Decodes data/music/<name> when it exists, else the music archive member.
tsSound loadTrack(const MusicPlayer* music, const char* name);

int32_t getMusicVolume(const MusicPlayer* music);
void setMusicVolume(MusicPlayer* music, int32_t percent);

// Stops the music thread, then releases the slots' sounds.
void freeSoundAssets(SoundAssets* sounds);
