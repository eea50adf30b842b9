#pragma once
// The adaptive Huffman tree of literals and match lengths: node frequencies kept in
// non-decreasing order by node index, so that a node whose count grows past its
// neighbour's trades places with the last node of the smaller count.
#include "archive/lzh_constants.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace nimbrel::lzh {

struct HuffmanTree {
    // Frequency of each node; entry TreeSize is a sentinel holding 0xFFFF.
    std::array<std::uint16_t, TreeSize + 1> frequency;
    // 0..TreeSize-1: the parent of each node; TreeSize + s: the leaf node of symbol s.
    std::array<std::uint16_t, TreeSize + SymbolCount> parent;
    // An inner node's first child (the second is the next index); for a leaf, TreeSize + symbol.
    std::array<std::uint16_t, TreeSize> child;

    void Clear();
    void StartHuff();
    // Halves every leaf count and rebuilds the inner nodes, once the root reaches the limit.
    void Reconst();
    // Counts one more occurrence of `symbol`.
    void Update(unsigned symbol);

private:
    // Moves the node whose count has just become `count` past the nodes of its old count,
    // exchanging subtrees with the last of them; answers the node's new index.
    std::size_t SwapWithLastBelow(std::size_t node, std::uint16_t count);
};

inline void HuffmanTree::Update(unsigned symbol) {
    if (frequency[Root] == FrequencyLimit)
        Reconst();
    std::size_t node = parent[symbol + TreeSize];
    do {
        // The counts never decrease along the indices: the new count passes the next node's
        // exactly when the old one equals it. The root stays at or below the limit.
        if (frequency[node] >= frequency[node + 1]) [[unlikely]]
            node = SwapWithLastBelow(node, static_cast<std::uint16_t>(frequency[node] + 1));
        else
            ++frequency[node];
        node = parent[node];
    } while (node != 0);
}

inline std::size_t HuffmanTree::SwapWithLastBelow(std::size_t node, std::uint16_t count) {
    // The last node above `node` whose count is below the new one; the sentinel stops the scan.
    std::size_t last = node + 1;
    while (count > frequency[last + 1])
        ++last;
    frequency[node] = frequency[last];
    frequency[last] = count;

    const unsigned moved = child[node];
    parent[moved] = static_cast<std::uint16_t>(last);
    if (moved < TreeSize)
        parent[moved + 1] = static_cast<std::uint16_t>(last);
    const unsigned other = child[last];
    child[last] = static_cast<std::uint16_t>(moved);
    parent[other] = static_cast<std::uint16_t>(node);
    if (other < TreeSize)
        parent[other + 1] = static_cast<std::uint16_t>(node);
    child[node] = static_cast<std::uint16_t>(other);
    return last;
}

} // namespace nimbrel::lzh
