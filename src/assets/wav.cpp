#include "assets/wav.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "assets/regular_file.h"

// Format tags SDL's WAV reader decodes; an extensible header names one of them inside.
static const uint16_t tagPcm = 1;
static const uint16_t tagMsAdpcm = 2;
static const uint16_t tagFloat = 3;
static const uint16_t tagALaw = 6;
static const uint16_t tagMuLaw = 7;
static const uint16_t tagImaAdpcm = 0x11;
static const uint16_t tagExtensible = 0xFFFE;

static const uint32_t highestRate = 192000;
static const int mostChannels = 8;
// Sound data is read this many bytes at a time, so an end signal is acted on promptly.
static const size_t readPiece = 1 << 20;

static uint16_t le16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

static uint32_t le32(const unsigned char* p)
{
    return static_cast<uint32_t>(le16(p)) | static_cast<uint32_t>(le16(p + 2)) << 16;
}

static void putLE32(unsigned char* p, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

// The parts of the header the checks need: the fmt chunk's bytes and the data chunk's length.
struct WavHeader {
    std::vector<unsigned char> format;
    uint32_t dataBytes = 0;
};

// Walks the chunks from after "WAVE" up to the data chunk and leaves the file at its first
// byte. Empty on success, else the reason, to follow the file's name.
static std::string readChunks(std::FILE* file, long long fileBytes, WavHeader& header)
{
    long long at = 12;
    for (;;) {
        unsigned char chunk[8];
        if (fileBytes - at < 8 || std::fread(chunk, 8, 1, file) != 1) {
            return "has no sound data (no data chunk)";
        }
        at += 8;
        const uint32_t size = le32(chunk + 4);
        if (std::memcmp(chunk, "data", 4) == 0) {
            if (header.format.empty()) {
                return "has no format chunk before its sound data";
            }
            if (size > fileBytes - at) {
                return "has a data chunk of " + std::to_string(size) + " bytes, more than the " +
                       std::to_string(fileBytes - at) + " left in the file";
            }
            header.dataBytes = size;
            return "";
        }
        if (size > fileBytes - at) {
            return "has a chunk that runs past the end of the file";
        }
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            // 16 bytes of plain PCM, up to some 50 of an ADPCM format with its coefficients.
            if (size < 16 || size > 1024) {
                return "has a format chunk of " + std::to_string(size) + " bytes";
            }
            header.format.resize(size);
            if (std::fread(header.format.data(), size, 1, file) != 1) {
                return "could not be read whole";
            }
            at += size;
        } else {
            at += size;
            if (std::fseek(file, static_cast<long>(at), SEEK_SET) != 0) {
                return "could not be read whole";
            }
        }
        if (size % 2 == 1 && at < fileBytes) {  // chunks start on even offsets
            at += 1;
            std::fseek(file, static_cast<long>(at), SEEK_SET);
        }
    }
}

// Checks the format against what the game takes and the sound's length against the limit;
// empty when it passes, else the reason.
static std::string checkFormat(const WavHeader& header)
{
    const unsigned char* f = header.format.data();
    uint16_t tag = le16(f);
    if (tag == tagExtensible && header.format.size() >= 40) {
        tag = le16(f + 24);  // the first two bytes of the sub-format's GUID
    }
    const uint16_t channels = le16(f + 2);
    const uint32_t rate = le32(f + 4);
    const uint16_t blockAlign = le16(f + 12);
    const bool adpcm = tag == tagMsAdpcm || tag == tagImaAdpcm;
    if (!adpcm && tag != tagPcm && tag != tagFloat && tag != tagALaw && tag != tagMuLaw) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%04x", static_cast<unsigned>(le16(f)));
        return std::string("is in a sound format the game does not read (format tag ") + hex + ")";
    }
    if (channels < 1 || channels > mostChannels) {
        return "has " + std::to_string(channels) + " channels; the game takes 1 to " +
               std::to_string(mostChannels);
    }
    if (rate < 1 || rate > highestRate) {
        return "has a sample rate of " + std::to_string(rate) + " Hz; the game takes 1 to " +
               std::to_string(highestRate) + " Hz";
    }
    if (blockAlign == 0) {
        return "has a block size of 0";
    }
    // At most the frames the data can hold: an ADPCM block of 4-bit samples holds two a byte
    // per channel and the two of its header.
    const uint64_t blocks = (static_cast<uint64_t>(header.dataBytes) + blockAlign - 1) / blockAlign;
    const uint64_t frames =
        adpcm ? blocks * (blockAlign * 2u / channels + 2) : header.dataBytes / blockAlign;
    if (frames == 0) {
        return "holds no sound";
    }
    if (frames > static_cast<uint64_t>(soundSecondsLimit) * rate) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.1f", static_cast<double>(frames) / rate);
        return std::string("holds ") + seconds + " s of sound, more than the " +
               std::to_string(soundSecondsLimit) + " s allowed";
    }
    return "";
}

// A WAV of just the checked fmt chunk and the data chunk, the data read from file in pieces.
static bool readPlainWav(std::FILE* file, const WavHeader& header, std::vector<unsigned char>& wav)
{
    const size_t formatBytes = header.format.size() + header.format.size() % 2;
    const size_t headBytes = 12 + 8 + formatBytes + 8;
    wav.assign(headBytes + header.dataBytes, 0);
    unsigned char* p = wav.data();
    std::memcpy(p, "RIFF", 4);
    putLE32(p + 4, static_cast<uint32_t>(wav.size() - 8));
    std::memcpy(p + 8, "WAVEfmt ", 8);
    putLE32(p + 16, static_cast<uint32_t>(header.format.size()));
    std::memcpy(p + 20, header.format.data(), header.format.size());
    std::memcpy(p + 20 + formatBytes, "data", 4);
    putLE32(p + 24 + formatBytes, header.dataBytes);
    for (size_t done = 0; done < header.dataBytes;) {
        const size_t piece = std::min(readPiece, header.dataBytes - done);
        if (std::fread(p + headBytes + done, piece, 1, file) != 1) {
            return false;
        }
        done += piece;
    }
    return true;
}

// Decodes a checked WAV with SDL and converts it to 16-bit samples at rate and channels;
// empty when it did, else the reason.
static std::string decodeChecked(std::vector<unsigned char>& wav, int rate, int channels,
                                 std::vector<int16_t>& samples)
{
    SDL_AudioSpec decodedAs;
    Uint8* decoded = nullptr;
    Uint32 decodedBytes = 0;
    SDL_RWops* source = SDL_RWFromConstMem(wav.data(), static_cast<int>(wav.size()));
    if (SDL_LoadWAV_RW(source, 1, &decodedAs, &decoded, &decodedBytes) == nullptr) {
        return std::string("could not be decoded: ") + SDL_GetError();
    }
    std::vector<unsigned char>().swap(wav);  // the file's bytes are done with
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, decodedAs.format, decodedAs.channels, decodedAs.freq, AUDIO_S16SYS,
                          static_cast<Uint8>(channels), rate) < 0) {
        SDL_FreeWAV(decoded);
        return std::string("could not be converted to the output's format: ") + SDL_GetError();
    }
    const Uint32 frame = SDL_AUDIO_BITSIZE(decodedAs.format) / 8 * decodedAs.channels;
    const size_t whole = decodedBytes - decodedBytes % frame;
    if (whole == 0) {
        SDL_FreeWAV(decoded);
        return "holds no sound";
    }
    // SDL's converter counts its working buffer in an int; the limits above keep it far below.
    const size_t work = whole * static_cast<size_t>(cvt.len_mult);
    if (work > INT_MAX) {
        SDL_FreeWAV(decoded);
        return "is too large to convert";
    }
    std::vector<Uint8> buffer(work);
    std::memcpy(buffer.data(), decoded, whole);
    SDL_FreeWAV(decoded);
    cvt.buf = buffer.data();
    cvt.len = static_cast<int>(whole);
    if (SDL_ConvertAudio(&cvt) < 0) {
        return std::string("could not be converted to the output's format: ") + SDL_GetError();
    }
    const size_t count = static_cast<size_t>(cvt.len_cvt) / (2 * channels) * channels;
    if (count == 0) {
        return "holds no sound";
    }
    const int16_t* first = reinterpret_cast<const int16_t*>(buffer.data());
    samples.assign(first, first + count);
    return "";
}

bool decodeWav(const char* path, int rate, int channels, std::vector<int16_t>& samples,
               std::string& whyNot)
{
    samples.clear();
    std::FILE* file = openRegularFile(path, assetSizeLimit, whyNot);
    if (file == nullptr) {
        return false;
    }
    std::string reason;
    WavHeader header;
    unsigned char riff[12];
    std::fseek(file, 0, SEEK_END);
    const long long fileBytes = std::ftell(file);
    std::rewind(file);
    std::vector<unsigned char> wav;
    if (fileBytes < 12 || std::fread(riff, 12, 1, file) != 1 || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0) {
        reason = "is not a WAV file (no RIFF WAVE header)";
    } else if ((reason = readChunks(file, fileBytes, header)).empty() &&
               (reason = checkFormat(header)).empty() && !readPlainWav(file, header, wav)) {
        reason = "could not be read whole";
    }
    std::fclose(file);
    if (reason.empty()) {
        reason = decodeChecked(wav, rate, channels, samples);
    }
    if (!reason.empty()) {
        samples.clear();
        whyNot = std::string(path) + " " + reason + "; not read";
        return false;
    }
    return true;
}
