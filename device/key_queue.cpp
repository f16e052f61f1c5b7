#include "device/keyboard.h"

void keyQueueDown(KeyQueue* queue, int32_t key) {
    if (queue->count == kKeyQueueSize) {
        keyQueueOther(queue);
        return;
    }
    int32_t slot = (queue->first + queue->count) % kKeyQueueSize;
    queue->presses[slot] = {key, 0};
    queue->count += 1;
    queue->textOpen = 1;
    queue->textSeen = 0;
}

void keyQueueOther(KeyQueue* queue) {
    queue->textOpen = 0;
}

void keyQueueText(KeyQueue* queue, uint32_t codePoint) {
    if (!queue->textOpen || queue->count == 0) return;
    KeyPress& newest = queue->presses[(queue->first + queue->count - 1) % kKeyQueueSize];
    // A dead key followed by a letter it does not combine with gives two code points: that
    // press is no one letter.
    newest.text = queue->textSeen ? 0 : codePoint;
    queue->textSeen = 1;
}

int keyQueueTake(KeyQueue* queue, KeyPress* press) {
    if (queue->count == 0) return 0;
    *press = queue->presses[queue->first];
    queue->first = (queue->first + 1) % kKeyQueueSize;
    queue->count -= 1;
    return 1;
}

uint32_t lowerNonAsciiLetter(uint32_t cp) {
    // The Latin and Cyrillic letters beyond ASCII, which the game's languages write; their
    // case pairs sit in runs where the capital is an even or an odd code point.
    bool evenCapital = false, oddCapital = false;
    if (cp >= 0xC0 && cp <= 0xFF) {
        if (cp == 0xD7 || cp == 0xF7) return 0;  // multiplication and division signs
        return cp <= 0xDE ? cp + 0x20 : cp;
    } else if (cp >= 0x100 && cp <= 0x17F) {
        if (cp == 0x178) return 0xFF;
        evenCapital = (cp <= 0x137 && cp != 0x130) || (cp >= 0x14A && cp <= 0x177);
        oddCapital = (cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E);
    } else if (cp >= 0x180 && cp <= 0x24F) {
        return cp;  // Latin Extended-B: letters of other languages, kept as they come
    } else if (cp >= 0x400 && cp <= 0x52F) {
        if (cp >= 0x482 && cp <= 0x489) return 0;  // signs and combining marks
        if (cp <= 0x40F) return cp + 0x50;
        if (cp <= 0x42F) return cp + 0x20;
        evenCapital = (cp >= 0x460 && cp <= 0x4BF) || cp >= 0x4D0;
        oddCapital = cp >= 0x4C1 && cp <= 0x4CE;
    } else {
        return 0;
    }
    bool capital = (evenCapital && cp % 2 == 0) || (oddCapital && cp % 2 == 1);
    return capital ? cp + 1 : cp;
}
