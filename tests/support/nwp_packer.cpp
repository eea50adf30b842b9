#include "support/nwp_packer.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace nimbrel::test {
namespace {

constexpr unsigned Window = 4096;
constexpr unsigned Symbols = 314;
constexpr unsigned Nodes = 2 * Symbols - 1; // 627
constexpr unsigned RootNode = Nodes - 1;
constexpr unsigned RebuildAt = 0x8000;

// The position prefix codes, group by group: how many upper-bit values share a code
// length, how many of the 256 first-byte patterns each value owns, and that length.
struct PositionGroup {
    unsigned values, patterns, length;
};
constexpr PositionGroup PositionGroups[] = {{1, 32, 3}, {3, 16, 4}, {8, 8, 5},
                                            {12, 4, 6}, {24, 2, 7}, {16, 1, 8}};

// The prefix code (right-aligned) and its length for the upper 6 bits of a position.
std::pair<unsigned, unsigned> PositionPrefix(unsigned upper) {
    unsigned firstPattern = 0, value = 0;
    for (const auto& group : PositionGroups) {
        if (upper < value + group.values) {
            const unsigned pattern = firstPattern + (upper - value) * group.patterns;
            return {pattern >> (8 - group.length), group.length};
        }
        value += group.values;
        firstPattern += group.values * group.patterns;
    }
    throw std::logic_error("position out of range");
}

} // namespace

LzhCodeWriter::LzhCodeWriter() : frequency_(Nodes + 1), parent_(Nodes + Symbols), child_(Nodes) {
    for (unsigned s = 0; s < Symbols; ++s) {
        frequency_[s] = 1;
        child_[s] = s + Nodes;
        parent_[s + Nodes] = s;
    }
    unsigned first = 0;
    for (unsigned node = Symbols; node < Nodes; ++node, first += 2) {
        frequency_[node] = frequency_[first] + frequency_[first + 1];
        child_[node] = first;
        parent_[first] = parent_[first + 1] = node;
    }
    frequency_[Nodes] = 0xFFFF;
    parent_[RootNode] = 0;
}

void LzhCodeWriter::PutBits(unsigned code, unsigned length) {
    for (unsigned n = length; n-- > 0;) {
        pending_ = (pending_ << 1) | ((code >> n) & 1);
        if (++pendingBits_ == 8) {
            bytes_.push_back(static_cast<std::uint8_t>(pending_));
            pending_ = 0;
            pendingBits_ = 0;
        }
    }
}

void LzhCodeWriter::EncodeSymbol(unsigned symbol) {
    // Walk from the leaf up; each node is its parent's first (0) or second (1) child.
    std::vector<unsigned> path;
    for (unsigned node = parent_[symbol + Nodes]; node != RootNode; node = parent_[node])
        path.push_back(node - child_[parent_[node]]);
    for (auto bit = path.rbegin(); bit != path.rend(); ++bit)
        PutBits(*bit, 1);
    Count(symbol);
}

void LzhCodeWriter::Count(unsigned symbol) {
    if (frequency_[RootNode] == RebuildAt)
        Rebuild();
    auto relinkChildren = [this](unsigned node) {
        const unsigned first = child_[node];
        parent_[first] = node;
        if (first < Nodes)
            parent_[first + 1] = node;
    };
    unsigned node = parent_[symbol + Nodes];
    do {
        const unsigned count = ++frequency_[node];
        unsigned last = node;
        while (frequency_[last + 1] < count)
            ++last;
        if (last != node) {
            // Keep the order: trade places with the last node of the old count.
            frequency_[node] = frequency_[last];
            frequency_[last] = count;
            std::swap(child_[node], child_[last]);
            relinkChildren(node);
            relinkChildren(last);
            node = last;
        }
        node = parent_[node];
    } while (node != 0);
}

void LzhCodeWriter::Rebuild() {
    std::vector<unsigned> frequency, child;
    for (unsigned node = 0; node < Nodes; ++node) {
        if (child_[node] >= Nodes) {
            frequency.push_back((frequency_[node] + 1) / 2);
            child.push_back(child_[node]);
        }
    }
    for (unsigned first = 0; frequency.size() < Nodes; first += 2) {
        const unsigned sum = frequency[first] + frequency[first + 1];
        std::size_t at = frequency.size();
        while (frequency[at - 1] > sum)
            --at;
        frequency.insert(frequency.begin() + static_cast<std::ptrdiff_t>(at), sum);
        child.insert(child.begin() + static_cast<std::ptrdiff_t>(at), first);
    }
    std::copy(frequency.begin(), frequency.end(), frequency_.begin());
    child_ = child;
    for (unsigned node = 0; node < Nodes; ++node) {
        parent_[child_[node]] = node;
        if (child_[node] < Nodes)
            parent_[child_[node] + 1] = node;
    }
}

void LzhCodeWriter::Literal(std::uint8_t byte) {
    EncodeSymbol(byte);
}

void LzhCodeWriter::Match(unsigned position, unsigned length) {
    if (position >= Window || length < 3 || length > 60)
        throw std::invalid_argument("bad match");
    EncodeSymbol(253 + length);
    const auto [prefix, prefixLength] = PositionPrefix(position >> 6);
    PutBits(prefix, prefixLength);
    PutBits(position & 63, 6);
}

Bytes LzhCodeWriter::Finish() {
    PutBits(1, 1);
    while (pendingBits_ != 0)
        PutBits(0, 1);
    return bytes_;
}

Bytes PackLzh(std::span<const std::uint8_t> data, const PackOptions& options) {
    // Greedy parse over hash chains of 3-byte prefixes.
    constexpr unsigned HashBits = 15;
    constexpr int ChainDepth = 48;
    std::vector<std::int32_t> head(1u << HashBits, -1);
    std::vector<std::int32_t> previous(data.size(), -1);
    auto hash = [&](std::size_t i) {
        return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & ((1u << HashBits) - 1);
    };
    auto insert = [&](std::size_t i) {
        if (i + 2 < data.size()) {
            const unsigned h = hash(i);
            previous[i] = head[h];
            head[h] = static_cast<std::int32_t>(i);
        }
    };

    LzhCodeWriter writer;
    const unsigned maxLength = std::clamp(options.maxMatchLength, 3u, 60u);
    std::size_t i = 0;
    while (i < data.size()) {
        std::size_t bestLength = 0, bestDistance = 0;
        if (options.useMatches && i + 2 < data.size()) {
            const std::size_t limit = std::min<std::size_t>(maxLength, data.size() - i);
            std::int32_t candidate = head[hash(i)];
            for (int depth = 0; candidate >= 0 && depth < ChainDepth; ++depth) {
                const std::size_t distance = i - static_cast<std::size_t>(candidate);
                if (distance > Window)
                    break;
                std::size_t length = 0;
                while (length < limit && data[candidate + length] == data[i + length])
                    ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = distance;
                    if (length == limit)
                        break;
                }
                candidate = previous[static_cast<std::size_t>(candidate)];
            }
        }
        if (bestLength >= 3) {
            writer.Match(static_cast<unsigned>(bestDistance - 1),
                         static_cast<unsigned>(bestLength));
            for (std::size_t k = 0; k < bestLength; ++k)
                insert(i + k);
            i += bestLength;
        } else {
            writer.Literal(data[i]);
            insert(i);
            ++i;
        }
    }
    return writer.Finish();
}

Bytes PackNwp(std::span<const std::uint8_t> data, const PackOptions& options) {
    Bytes file(NwpSignature.begin(), NwpSignature.end());
    const Bytes stream = PackLzh(data, options);
    file.insert(file.end(), stream.begin(), stream.end());
    return file;
}

unsigned ClosingBitPosition(std::span<const std::uint8_t> stream) {
    if (stream.empty() || stream.back() == 0)
        throw std::invalid_argument("not a closed stream");
    unsigned position = 7;
    for (unsigned last = stream.back(); (last & 1) == 0; last >>= 1)
        --position;
    return position;
}

Bytes ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteHostFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

} // namespace nimbrel::test
