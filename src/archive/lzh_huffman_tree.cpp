#include "archive/lzh_huffman_tree.h"

#include <array>

namespace nimbrel::lzh {

void HuffmanTree::Clear() {
    frequency.fill(0);
    parent.fill(0);
    child.fill(0);
}

void HuffmanTree::StartHuff() {
    for (unsigned i = 0; i < SymbolCount; ++i) {
        frequency[i] = 1;
        child[i] = static_cast<std::uint16_t>(i + TreeSize);
        parent[i + TreeSize] = static_cast<std::uint16_t>(i);
    }
    for (unsigned i = 0, j = SymbolCount; j <= Root; i += 2, ++j) {
        frequency[j] = static_cast<std::uint16_t>(frequency[i] + frequency[i + 1]);
        child[j] = static_cast<std::uint16_t>(i);
        parent[i] = parent[i + 1] = static_cast<std::uint16_t>(j);
    }
    frequency[TreeSize] = 0xFFFF;
    parent[Root] = 0;
}

void HuffmanTree::Reconst() {
    // The leaves, halved, in their old order, which is one of non-decreasing counts.
    std::array<std::uint16_t, SymbolCount> leafCount;
    std::array<std::uint16_t, SymbolCount> leafChild;
    unsigned leaves = 0;
    for (unsigned i = 0; i < TreeSize; ++i) {
        if (child[i] >= TreeSize) {
            leafCount[leaves] = static_cast<std::uint16_t>((frequency[i] + 1) / 2);
            leafChild[leaves] = child[i];
            ++leaves;
        }
    }
    // The tree rebuilt bottom-up: each inner node joins the next two nodes in order and
    // takes its place after every node whose count does not exceed its own. Inner nodes
    // come in non-decreasing order of count, so the nodes' order is a merge of the leaves
    // and the inner nodes, a leaf first where the counts are equal.
    unsigned nextLeaf = 0;
    unsigned nextInner = 0; // the inner node whose children start at 2 * nextInner
    for (unsigned at = 0; at < TreeSize; ++at) {
        const unsigned first = 2 * nextInner;
        const bool innerReady = first + 1 < at;
        if (innerReady) {
            const auto sum = static_cast<std::uint16_t>(frequency[first] + frequency[first + 1]);
            if (nextLeaf == SymbolCount || sum < leafCount[nextLeaf]) {
                frequency[at] = sum;
                child[at] = static_cast<std::uint16_t>(first);
                ++nextInner;
                continue;
            }
        }
        frequency[at] = leafCount[nextLeaf];
        child[at] = leafChild[nextLeaf];
        ++nextLeaf;
    }
    // Relink the parents.
    for (unsigned i = 0; i < TreeSize; ++i) {
        const unsigned k = child[i];
        parent[k] = static_cast<std::uint16_t>(i);
        if (k < TreeSize)
            parent[k + 1] = static_cast<std::uint16_t>(i);
    }
}

} // namespace nimbrel::lzh
