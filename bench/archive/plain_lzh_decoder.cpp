#include "plain_lzh_decoder.h"

#include "archive/lzh_constants.h"

#include <cstring>

namespace nimbrel::bench {
namespace {

using namespace lzh;

struct PlainDecoder {
    std::span<const std::uint8_t> in;
    std::size_t inAt = 0;
    std::vector<std::uint8_t> out;
    unsigned getbuf = 0, getlen = 0;
    bool eof = false;
    std::uint16_t freq[TreeSize + 1];
    std::uint16_t prnt[TreeSize + SymbolCount];
    std::uint16_t son[TreeSize];
    std::uint8_t text[RingBufferSize];

    int ReadByte() { return inAt < in.size() ? in[inAt++] : -1; }

    // Tops the bit buffer up to at least 8 bits; past the input's end with zero bits.
    void Refill() {
        if (getlen < 8) {
            int c = ReadByte();
            if (c < 0) {
                c = 0;
                eof = true;
            }
            getbuf = (getbuf | (unsigned(c) << (8 - getlen))) & 0xFFFF;
            getlen += 8;
        }
    }

    unsigned GetBit() {
        Refill();
        unsigned bit = getbuf >> 15;
        getbuf = (getbuf << 1) & 0xFFFF;
        getlen--;
        return bit;
    }

    unsigned GetByte() {
        Refill();
        unsigned byte = getbuf >> 8;
        getbuf = (getbuf << 8) & 0xFFFF;
        getlen -= 8;
        return byte;
    }

    void StartHuff() {
        for (unsigned i = 0; i < SymbolCount; i++) {
            freq[i] = 1;
            son[i] = std::uint16_t(i + TreeSize);
            prnt[i + TreeSize] = std::uint16_t(i);
        }
        for (unsigned i = 0, j = SymbolCount; j <= Root; i += 2, j++) {
            freq[j] = std::uint16_t(freq[i] + freq[i + 1]);
            son[j] = std::uint16_t(i);
            prnt[i] = prnt[i + 1] = std::uint16_t(j);
        }
        freq[TreeSize] = 0xFFFF;
        prnt[Root] = 0;
    }

    void Reconst() {
        unsigned j = 0;
        for (unsigned i = 0; i < TreeSize; i++)
            if (son[i] >= TreeSize) {
                freq[j] = std::uint16_t((freq[i] + 1) / 2);
                son[j] = son[i];
                j++;
            }
        for (unsigned i = 0, j = SymbolCount; j < TreeSize; i += 2, j++) {
            unsigned f = freq[i] + freq[i + 1];
            unsigned k = j - 1;
            while (f < freq[k])
                k--;
            k++;
            std::memmove(&freq[k + 1], &freq[k], (j - k) * 2);
            std::memmove(&son[k + 1], &son[k], (j - k) * 2);
            freq[k] = std::uint16_t(f);
            son[k] = std::uint16_t(i);
        }
        for (unsigned i = 0; i < TreeSize; i++) {
            unsigned k = son[i];
            prnt[k] = std::uint16_t(i);
            if (k < TreeSize)
                prnt[k + 1] = std::uint16_t(i);
        }
    }

    void Update(unsigned c) {
        if (freq[Root] == FrequencyLimit)
            Reconst();
        c = prnt[c + TreeSize];
        do {
            unsigned k = ++freq[c];
            unsigned l = c + 1;
            if (k > freq[l]) {
                while (k > freq[++l]) {
                }
                l--;
                freq[c] = freq[l];
                freq[l] = std::uint16_t(k);
                unsigned i = son[c];
                prnt[i] = std::uint16_t(l);
                if (i < TreeSize)
                    prnt[i + 1] = std::uint16_t(l);
                unsigned j = son[l];
                son[l] = std::uint16_t(i);
                prnt[j] = std::uint16_t(c);
                if (j < TreeSize)
                    prnt[j + 1] = std::uint16_t(c);
                son[c] = std::uint16_t(j);
                c = l;
            }
        } while ((c = prnt[c]) != 0);
    }

    // -1 at the end of the stream.
    int DecodeChar() {
        unsigned c = son[Root];
        while (c < TreeSize) {
            c = son[c + GetBit()];
            if (eof && getbuf == 0)
                return -1;
        }
        c -= TreeSize;
        Update(c);
        return int(c);
    }

    unsigned DecodePosition() {
        unsigned i = GetByte();
        unsigned c = unsigned(PositionUpperBits[i]) << 6;
        for (unsigned j = PositionCodeLength[i] - 2u; j > 0; j--)
            i = ((i << 1) + GetBit()) & 0xFFFF;
        return c | (i & 63);
    }

    void Run() {
        StartHuff();
        std::memset(text, ' ', RingStart);
        std::memset(text + RingStart, 0, RingBufferSize - RingStart);
        unsigned r = RingStart;
        for (;;) {
            int c = DecodeChar();
            if (c < 0)
                return;
            if (c < 256) {
                out.push_back(std::uint8_t(c));
                text[r++] = std::uint8_t(c);
                r &= RingMask;
            } else {
                unsigned i = (r - DecodePosition() - 1) & RingMask;
                unsigned j = unsigned(c) - 253;
                for (unsigned k = 0; k < j; k++) {
                    std::uint8_t b = text[(i + k) & RingMask];
                    out.push_back(b);
                    text[r++] = b;
                    r &= RingMask;
                }
            }
            if (getbuf == 0x8000 && (eof || (getlen == 8 && inAt == in.size())))
                return;
        }
    }
};

} // namespace

std::vector<std::uint8_t> PlainLzhDecode(std::span<const std::uint8_t> stream) {
    PlainDecoder decoder;
    decoder.in = stream;
    decoder.out.reserve(stream.size() * 2);
    decoder.Run();
    return std::move(decoder.out);
}

} // namespace nimbrel::bench
