// Ogg Vorbis decoding that is safe on hostile bytes, packet by packet.
#pragma once

struct OggDecoder;

// Opens the stream for decoding; null when its headers cannot be read (the comment header is
// checked first). Sets *channels and *rate, and *declaredFrames to the length that the stream's
// last page claims (0 when it claims none): a hint for the size of the output, not a promise.
OggDecoder* openOggDecoder(const unsigned char* data, int length, int* channels, int* rate,
                           int* declaredFrames);
// Decodes up to maxFrames further frames as 16-bit samples, one array per channel; returns the
// number decoded, 0 at the end of the stream (or at a packet that cannot be decoded).
int decodeOggFrames(OggDecoder* decoder, short* const* channels, int maxFrames);
// Closes the decoder and frees whatever it left behind. Null is allowed.
void closeOggDecoder(OggDecoder* decoder);
